// The icons, drawn: a dark blue disc with a red centre for the program, a page with a note for
// media files, a page with lines for playlists.
#include "player/icons.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

namespace player {

namespace {

const QColor kBlue(0x1a, 0x2a, 0x6c);
const QColor kRed(0xb2, 0x1f, 0x1f);

QPixmap blank(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A sheet of paper with a folded corner, in a size x size picture; returns the writing area.
QRectF page(QPainter& p, int size)
{
    const double s = size / 32.0;
    QPainterPath sheet;
    sheet.moveTo(6 * s, 2 * s);
    sheet.lineTo(20 * s, 2 * s);
    sheet.lineTo(27 * s, 9 * s);
    sheet.lineTo(27 * s, 30 * s);
    sheet.lineTo(6 * s, 30 * s);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), std::max(1.0, s)));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(QPointF(20 * s, 2 * s), QPointF(20 * s, 9 * s));
    p.drawLine(QPointF(20 * s, 9 * s), QPointF(27 * s, 9 * s));
    return QRectF(9 * s, 11 * s, 15 * s, 16 * s);
}

}  // namespace

QPixmap MainIcon(int size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(size / 16.0, size / 16.0, size * 14 / 16.0, size * 14 / 16.0));
    p.setBrush(kRed);
    p.drawEllipse(QRectF(size * 5 / 16.0, size * 5 / 16.0, size * 6 / 16.0, size * 6 / 16.0));
    return pm;
}

QPixmap MediaFileIcon(int size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = page(p, size);
    // A quaver: a head and a stem with its flag.
    const double u = area.width() / 15.0;
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(area.left() + 2 * u, area.bottom() - 5 * u, 6 * u, 4.5 * u));
    p.setPen(QPen(kBlue, 1.6 * u));
    p.drawLine(QPointF(area.left() + 7.5 * u, area.bottom() - 3 * u), QPointF(area.left() + 7.5 * u, area.top() + u));
    p.drawLine(QPointF(area.left() + 7.5 * u, area.top() + u), QPointF(area.left() + 12 * u, area.top() + 5 * u));
    return pm;
}

QPixmap PlaylistIcon(int size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = page(p, size);
    const double step = area.height() / 5.0;
    for (int i = 0; i < 5; ++i) {
        const double y = area.top() + step * (i + 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(area.left() + step * 0.4, y), step * 0.25, step * 0.25);
        p.setPen(QPen(kBlue, std::max(1.0, step * 0.3)));
        p.drawLine(QPointF(area.left() + step, y), QPointF(area.right(), y));
    }
    return pm;
}

std::string PngBytes(const QPixmap& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes.toStdString();
}

}  // namespace player
