// Drawn menu: exact pixels of drop-down and top-level items (selection frame and fill, gutter,
// separator, check mark, caption and shortcut places), greyed images, the +40 width and the
// style reaching every drop-down menu.
#include "controls/mainmenuxp.h"
#include "controls/menuxppainter.h"
#include "controls/syscolors.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <gtest/gtest.h>

using namespace controls;

namespace {

constexpr int kW = 200;
constexpr int kH = 22;

// An item with a caption and a few flags (the rest as a menu gives them by default).
MenuItemInfo info(const QString& caption, bool selected = false, bool checked = false, bool enabled = true)
{
    MenuItemInfo item;
    item.caption = caption;
    item.selected = selected;
    item.checked = checked;
    item.enabled = enabled;
    return item;
}

MenuItemInfo separator()
{
    MenuItemInfo item;
    item.separator = true;
    return item;
}

MenuItemInfo withBitmap(MenuItemInfo item, const QImage& bitmap)
{
    item.bitmap = bitmap;
    return item;
}

QImage drawSub(const MenuItemInfo& item, int colorBits = 32)
{
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(QColor(1, 2, 3));
    QPainter p(&img);
    MenuXPPainter(colorBits).DrawSubItem(p, {0, 0, kW, kH}, item);
    return img;
}

QColor px(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// Left and right x of pixels of the given colour within the rows, or -1.
std::pair<int, int> extentOf(const QImage& img, const QColor& color, int x0, int x1)
{
    int left = -1, right = -1;
    for (int x = x0; x < x1; ++x)
        for (int y = 0; y < img.height(); ++y)
            if (px(img, x, y) == color) {
                if (left < 0)
                    left = x;
                right = x;
            }
    return {left, right};
}

}  // namespace

TEST(SysColorMapping, ComesFromTheApplicationPalette)
{
    const QPalette saved = QApplication::palette();
    QPalette pal = saved;
    pal.setColor(QPalette::Active, QPalette::Button, QColor(11, 11, 11));
    pal.setColor(QPalette::Active, QPalette::Dark, QColor(22, 22, 22));
    pal.setColor(QPalette::Active, QPalette::Light, QColor(33, 33, 33));
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(44, 44, 44));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(55, 55, 55));
    QApplication::setPalette(pal);
    EXPECT_EQ(sysColor(SysColor::BtnFace), QColor(11, 11, 11));
    EXPECT_EQ(sysColor(SysColor::BtnShadow), QColor(22, 22, 22));
    EXPECT_EQ(sysColor(SysColor::BtnHighlight), QColor(33, 33, 33));
    EXPECT_EQ(sysColor(SysColor::ActiveCaption), QColor(44, 44, 44));
    EXPECT_EQ(sysColor(SysColor::InactiveCaptionText), QColor(55, 55, 55));

    // The menu follows the mapping.
    MenuItemInfo item;
    item.caption = "Open";
    const QImage img = drawSub(item);
    EXPECT_EQ(px(img, 0, 0), QColor(11, 11, 11));
    const QImage low = drawSub(info("Open", true), 8);
    EXPECT_EQ(px(low, 1, 1), QColor(44, 44, 44));
    QApplication::setPalette(saved);
    EXPECT_GT(vScrollBarWidth(), 0);
}

TEST(MenuXPItem, UnselectedItemHasGutterCaptionAndShortcutInPlace)
{
    MenuItemInfo item;
    item.caption = "Save";
    item.shortcut = "Ctrl+S";
    const QImage img = drawSub(item);
    const QColor face = sysColor(SysColor::BtnFace), white(255, 255, 255), black(0, 0, 0);
    EXPECT_EQ(px(img, 0, 0), face);
    EXPECT_EQ(px(img, 19, 21), face);
    EXPECT_EQ(px(img, 20, 0), white);
    EXPECT_EQ(px(img, 199, 21), white);
    EXPECT_EQ(px(img, 2, 2), face);  // no check mark, no image
    // Text is drawn antialiased; its darkest pixels mark where it sits.
    int left = -1, right = -1;
    for (int x = 20; x < kW; ++x)
        for (int y = 0; y < kH; ++y)
            if (qGray(img.pixel(x, y)) < 128) {
                if (left < 0)
                    left = x;
                right = x;
            }
    EXPECT_GE(left, 29);
    EXPECT_LE(left, 31);
    EXPECT_LE(right, kW - 10 - 1);
    EXPECT_GE(right, kW - 10 - 4);
    for (int x = 20; x < kW; ++x)
        EXPECT_EQ(px(img, x, 0), white) << x;  // the text starts a pixel below the top
}

TEST(MenuXPItem, SelectedItemIsFramedAndFilled)
{
    const QImage img = drawSub(info("Save", true));
    const QColor frame(0, 0, 128), fill(182, 189, 210);
    for (auto [x, y] : {std::pair(0, 0), {199, 0}, {0, 21}, {199, 21}, {100, 0}, {0, 10}})
        EXPECT_EQ(px(img, x, y), frame) << x << "," << y;
    EXPECT_EQ(px(img, 1, 1), fill);
    EXPECT_EQ(px(img, 198, 20), fill);
    EXPECT_EQ(extentOf(img, QColor(1, 2, 3), 0, kW).first, -1);  // every pixel painted

    // Few colours: the caption colour fills and the text is white.
    const QImage low = drawSub(info("Save", true), 8);
    EXPECT_EQ(px(low, 1, 1), sysColor(SysColor::ActiveCaption));
    EXPECT_NE(extentOf(low, QColor(255, 255, 255), 25, kW).first, -1);
}

TEST(MenuXPItem, SeparatorIsAnEtchedLineFromTheGutterEdge)
{
    const QImage img = drawSub(separator());
    const QColor shadow = sysColor(SysColor::BtnShadow), light = sysColor(SysColor::BtnHighlight);
    EXPECT_EQ(px(img, 20, 4), shadow);
    EXPECT_EQ(px(img, 199, 4), shadow);
    EXPECT_EQ(px(img, 20, 5), light);
    EXPECT_EQ(px(img, 19, 4), sysColor(SysColor::BtnFace));
    EXPECT_EQ(px(img, 20, 3), QColor(255, 255, 255));
    EXPECT_EQ(px(img, 20, 6), QColor(255, 255, 255));
}

TEST(MenuXPItem, CheckMarkAndImagesInTheGlyphBox)
{
    const QImage checked = drawSub(info("Loop", false, true));
    // The mark's first row and column touch the box corner at (2, 2).
    EXPECT_EQ(extentOf(checked, QColor(0, 0, 0), 0, 20), std::pair(2, 8));
    EXPECT_EQ(px(checked, 8, 2), QColor(0, 0, 0));
    EXPECT_EQ(px(checked, 2, 4), QColor(0, 0, 0));
    EXPECT_EQ(px(checked, 2, 2), sysColor(SysColor::BtnFace));
    const QImage selected = drawSub(info("Loop", true, true));
    EXPECT_EQ(px(selected, 7, 1), QColor(0, 0, 0));  // box moves to (1, 1)

    QImage bitmap(16, 16, QImage::Format_RGB32);
    bitmap.fill(QColor(255, 0, 255));
    bitmap.setPixel(5, 5, qRgb(100, 100, 100));
    bitmap.setPixel(6, 5, qRgb(200, 200, 200));
    const QImage enabled = drawSub(withBitmap(info("Cut"), bitmap));
    EXPECT_EQ(px(enabled, 2, 2), sysColor(SysColor::BtnFace));  // transparent
    const QImage disabled = drawSub(withBitmap(info("Cut", false, false, false), bitmap));
    // 16 × 16 stretched over 16 × 20 rows from (2, 2): column 5 is x = 7.
    bool midTone = false, lightTone = false;
    for (int y = 2; y < 22; ++y) {
        midTone |= px(disabled, 7, y) == QColor(170, 170, 170);
        lightTone |= px(disabled, 8, y) == QColor(230, 230, 230);
    }
    EXPECT_TRUE(midTone);
    EXPECT_TRUE(lightTone);
}

TEST(MenuXPItem, GreyingRules)
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(100, 100, 100));
    image.setPixel(1, 0, qRgb(255, 200, 100));  // average 185
    image.setPixel(2, 0, qRgb(160, 160, 161));  // average 160: not above
    image.setPixel(3, 0, qRgb(255, 0, 255));
    const QImage g = MenuXPPainter::DrawGrayedImage(image);
    EXPECT_EQ(g.pixel(0, 0), qRgb(170, 170, 170));
    EXPECT_EQ(g.pixel(1, 0), qRgb(230, 230, 230));
    EXPECT_EQ(g.pixel(2, 0), qRgb(230, 230, 230));
    EXPECT_EQ(qAlpha(g.pixel(3, 0)), 0);
}

TEST(MenuXPItem, TopLevelItemOnButtonFace)
{
    QImage img(60, 20, QImage::Format_RGB32);
    QPainter p(&img);
    MenuXPPainter(32).DrawTopItem(p, {0, 0, 60, 20}, info("&File", false, true));
    p.end();
    EXPECT_EQ(px(img, 0, 0), sysColor(SysColor::BtnFace));
    EXPECT_EQ(px(img, 59, 19), sysColor(SysColor::BtnFace));
    int left = -1;
    for (int x = 0; x < 60 && left < 0; ++x)
        for (int y = 0; y < 20; ++y)
            if (qGray(img.pixel(x, y)) < 128) {
                left = x;
                break;
            }
    EXPECT_GE(left, 6);  // 2 + 4, and no check mark left of it
    EXPECT_LE(left, 8);
}

TEST(MainMenuXPTest, EveryDropDownAtAnyDepthIsDrawnAndWider)
{
    TMainMenuXP bar;
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeMenuBar));
    EXPECT_FALSE(bar.isNativeMenuBar());
    QMenu* file = bar.addMenu("&File");
    QMenu* recent = file->addMenu("Recent");
    QMenu* deeper = recent->addMenu("More");
    file->addAction("Open");
    EXPECT_EQ(file->style(), bar.xpStyle());
    EXPECT_EQ(recent->style(), bar.xpStyle());
    EXPECT_EQ(deeper->style(), bar.xpStyle());

    QStyleOptionMenuItem option;
    option.initFrom(file);
    option.text = "Open\tCtrl+O";
    option.menuItemType = QStyleOptionMenuItem::Normal;
    const QSize measured = bar.xpStyle()->baseStyle()->sizeFromContents(QStyle::CT_MenuItem, &option, {50, 16}, file);
    const QSize drawn = bar.xpStyle()->sizeFromContents(QStyle::CT_MenuItem, &option, {50, 16}, file);
    EXPECT_EQ(drawn.width(), measured.width() + 40);
    EXPECT_EQ(drawn.height(), measured.height());
    const QSize top = bar.xpStyle()->sizeFromContents(QStyle::CT_MenuBarItem, &option, {50, 16}, &bar);
    EXPECT_EQ(top, bar.xpStyle()->baseStyle()->sizeFromContents(QStyle::CT_MenuBarItem, &option, {50, 16}, &bar));
}

TEST(MainMenuXPTest, ARealDropDownIsPaintedByThePainter)
{
    TMainMenuXP bar;
    QMenu* file = bar.addMenu("&File");
    QAction* open = file->addAction("Open");
    file->addSeparator();
    file->adjustSize();
    const QImage img = file->grab().toImage();
    const QRect item = file->actionGeometry(open);
    ASSERT_FALSE(item.isEmpty());
    const int y = item.center().y();
    EXPECT_EQ(QColor(img.pixel(item.left() + 5, y)), sysColor(SysColor::BtnFace));
    EXPECT_EQ(QColor(img.pixel(item.left() + 20, item.top())), QColor(255, 255, 255));
    EXPECT_EQ(QColor(img.pixel(item.right() - 2, y)), QColor(255, 255, 255));
}
