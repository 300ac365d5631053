// The drawing rules every drawn control relies on: lines leave out their end point in every
// direction, rectangles their right and bottom edges.
#include "controls/wingdi.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace controls::gdi;

namespace {

// The painted pixels of an 8 × 8 image as "x,y" strings, in row order.
std::vector<std::string> painted(const std::function<void(QPainter&)>& draw)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    draw(p);
    p.end();
    std::vector<std::string> out;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                out.push_back(std::to_string(x) + "," + std::to_string(y));
    return out;
}

using Pixels = std::vector<std::string>;

}  // namespace

TEST(WinGdiLines, EndPointIsLeftOutInEveryDirection)
{
    EXPECT_EQ(painted([](QPainter& p) { line(p, {1, 1}, {4, 1}, Qt::black); }), (Pixels{"1,1", "2,1", "3,1"}));
    EXPECT_EQ(painted([](QPainter& p) { line(p, {4, 1}, {1, 1}, Qt::black); }), (Pixels{"2,1", "3,1", "4,1"}));
    EXPECT_EQ(painted([](QPainter& p) { line(p, {2, 3}, {2, 0}, Qt::black); }), (Pixels{"2,1", "2,2", "2,3"}));
    EXPECT_EQ(painted([](QPainter& p) { line(p, {0, 0}, {3, 3}, Qt::black); }), (Pixels{"0,0", "1,1", "2,2"}));
    EXPECT_TRUE(painted([](QPainter& p) { line(p, {3, 3}, {3, 3}, Qt::black); }).empty());
    // A polyline leaves out only its last point.
    EXPECT_EQ(painted([](QPainter& p) { polyline(p, {{0, 2}, {0, 0}, {2, 0}}, Qt::black); }),
              (Pixels{"0,0", "1,0", "0,1", "0,2"}));
}

TEST(WinGdiRects, RightAndBottomEdgesAreOutside)
{
    EXPECT_EQ(painted([](QPainter& p) { fillRect(p, {1, 1, 3, 2}, Qt::black); }), (Pixels{"1,1", "2,1"}));
    EXPECT_EQ(painted([](QPainter& p) { frameRect(p, {0, 0, 3, 3}, Qt::black); }),
              (Pixels{"0,0", "1,0", "2,0", "0,1", "2,1", "0,2", "1,2", "2,2"}));
    EXPECT_TRUE(painted([](QPainter& p) { rectangle(p, {2, 2, 2, 5}, Qt::black, Qt::red); }).empty());
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    rectangle(p, {0, 0, 4, 4}, Qt::black, Qt::red);
    p.end();
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(1, 2), qRgb(255, 0, 0));
}
