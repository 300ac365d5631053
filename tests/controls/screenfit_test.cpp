// Stored window geometry fitted to the screen: sizes cut to the available area, positions moved
// into it, and the extremes of a damaged value (huge, negative, at the ends of the int range).
#include "controls/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <climits>

using controls::fitRect;
using controls::fitSize;

TEST(ScreenFit, SizesAreCutToTheAreaAndKeptAtLeastOnePixel)
{
    const QRect area(0, 24, 1280, 776);
    EXPECT_EQ(fitSize(QSize(799, 573), area), QSize(799, 573));
    EXPECT_EQ(fitSize(QSize(100000, 100000), area), QSize(1280, 776));
    EXPECT_EQ(fitSize(QSize(100000, 300), area), QSize(1280, 300));
    EXPECT_EQ(fitSize(QSize(INT_MAX, INT_MIN), area), QSize(1280, 1));
    EXPECT_EQ(fitSize(QSize(0, -5), area), QSize(1, 1));
    EXPECT_EQ(fitSize(QSize(100000, 100000), QRect()), QSize(100000, 100000)) << "no screen: left alone";
}

TEST(ScreenFit, RectanglesAreMovedTheLeastIntoTheArea)
{
    const QRect area(100, 24, 1280, 776);  // a panel on the left and one on top
    EXPECT_EQ(fitRect(QRect(200, 50, 400, 300), area), QRect(200, 50, 400, 300)) << "inside: unchanged";
    EXPECT_EQ(fitRect(QRect(-5000, 50, 400, 300), area), QRect(100, 50, 400, 300));
    EXPECT_EQ(fitRect(QRect(1300, 700, 400, 300), area), QRect(980, 500, 400, 300));
    EXPECT_EQ(fitRect(QRect(500, 500, 100000, 100000), area), area);
    EXPECT_EQ(fitRect(QRect(INT_MAX - 400, INT_MIN, 300, 200), area), QRect(1080, 24, 300, 200));
}

TEST(ScreenFit, TheAreaIsTheWindowsScreenLessItsPanels)
{
    QWidget window;
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(controls::availableScreenArea(&window), window.screen()->availableGeometry());
    EXPECT_EQ(controls::availableScreenArea(nullptr, QPoint(-99999, -99999)), primary->availableGeometry())
        << "a point on no screen: the primary one";
}
