// Painting of the drawn menu's items, pixel for pixel on the rules of wingdi.h.
#include "controls/menuxppainter.h"

#include "controls/syscolors.h"

#include <QPainter>

namespace controls {

namespace {

const QColor kFrame(0, 0, 128);
const QColor kFill(182, 189, 210);
const QColor kDropDownBack(255, 255, 255);
const QRgb kTransparent = qRgb(255, 0, 255);

}  // namespace

MenuXPPainter::MenuXPPainter(int colorBits) : m_lowColor(colorBits < 9) {}

QColor MenuXPPainter::selectionFill() const
{
    return m_lowColor ? sysColor(SysColor::ActiveCaption) : kFill;
}

QColor MenuXPPainter::textColor(const MenuItemInfo& item) const
{
    if (!item.enabled)
        return sysColor(SysColor::InactiveCaptionText);
    if (item.selected && m_lowColor)
        return QColor(255, 255, 255);
    return QColor(0, 0, 0);
}

void MenuXPPainter::DrawHighlight(QPainter& p, const gdi::WinRect& r) const
{
    gdi::frameRect(p, r, kFrame);
    gdi::fillRect(p, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, selectionFill());
}

void MenuXPPainter::DrawTopItem(QPainter& p, const gdi::WinRect& r, const MenuItemInfo& item) const
{
    if (item.selected)
        DrawHighlight(p, r);
    else
        gdi::fillRect(p, r, sysColor(SysColor::BtnFace));
    // Top-level items carry no check marks or images here: their glyph would fall left of them.
    MenuItemInfo caption = item;
    caption.checked = false;
    caption.bitmap = QImage();
    DrawCaption(p, {r.left + 2, r.top, r.right, r.bottom}, caption);
}

void MenuXPPainter::DrawSubItem(QPainter& p, const gdi::WinRect& r, const MenuItemInfo& item) const
{
    if (item.selected) {
        DrawHighlight(p, r);
    } else {
        gdi::fillRect(p, {r.left, r.top, r.left + kGutterWidth, r.bottom}, sysColor(SysColor::BtnFace));
        gdi::fillRect(p, {r.left + kGutterWidth, r.top, r.right, r.bottom}, kDropDownBack);
    }
    DrawCaption(p, {r.left + 25, r.top, r.right, r.bottom}, item);
}

void MenuXPPainter::DrawCaption(QPainter& p, gdi::WinRect c, const MenuItemInfo& item) const
{
    gdi::WinRect t{c.left, c.top + 1, c.right, c.bottom};
    if (item.separator) {
        t.left -= 5;
        t.top += 3;
        gdi::etchedTopEdge(p, t, sysColor(SysColor::BtnShadow), sysColor(SysColor::BtnHighlight));
    } else {
        t.left += 4;
        p.setPen(textColor(item));
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
        if (!t.isEmpty())
            p.drawText(t.toQRect(), flags, item.caption);
        if (!item.shortcut.isEmpty()) {
            t.right -= 10;
            if (!t.isEmpty())
                p.drawText(t.toQRect(), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, item.shortcut);
        }
    }
    DrawGlyph(p, {c.left - 25, c.top, c.right, c.bottom}, item);
}

void MenuXPPainter::DrawGlyph(QPainter& p, const gdi::WinRect& g, const MenuItemInfo& item) const
{
    const gdi::WinRect box = item.selected ? gdi::WinRect{g.left + 1, g.top + 1, g.left + 16, g.bottom - 1}
                                           : gdi::WinRect{g.left + 2, g.top + 2, g.left + 16, g.bottom};
    if (item.checked)
        p.drawImage(box.left, box.top, checkMark());
    if (item.bitmap.isNull() || box.isEmpty())
        return;
    QImage image = item.bitmap.convertToFormat(QImage::Format_ARGB32);
    if (!item.enabled)
        image = DrawGrayedImage(image);
    else
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (kTransparent & 0xFFFFFF))
                    line[x] = 0;
        }
    p.drawImage(QRect(box.left, box.top, 16, box.height()), image);
}

QImage MenuXPPainter::DrawGrayedImage(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            if ((px & 0xFFFFFF) == (kTransparent & 0xFFFFFF) || qAlpha(px) == 0) {
                line[x] = 0;  // the gutter shows through
                continue;
            }
            const int c = (qRed(px) + qGreen(px) + qBlue(px)) / 3;
            const int level = c > 160 ? 230 : c + 70;
            line[x] = qRgb(level, level, level);
        }
    }
    return image;
}

QImage MenuXPPainter::checkMark()
{
    static const char* const kRows[] = {
        "......#",
        ".....##",
        "#...###",
        "##.###.",
        "#####..",
        ".###...",
        "..#....",
    };
    QImage mark(7, 7, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (kRows[y][x] == '#')
                mark.setPixel(x, y, qRgb(0, 0, 0));
    return mark;
}

}  // namespace controls
