// Spectrum painter: level colours, column heights from magnitudes, falling columns and peaks,
// the exact pixels of a frame in both modes, and inputs outside the expected ranges.
#include "controls/tspectrum.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using controls::TSpectrum;

namespace {

// The player's settings on a 400 × 60 box.
TSpectrum playerSpectrum()
{
    TSpectrum s(400, 60);
    s.Mode = 1;
    s.SetMaxLevel(47);
    s.Step = 2;
    s.BarWidth = 2;
    s.PeakColor = QColor(13, 170, 255);
    s.BarColor = QColor(255, 255, 12);
    return s;
}

std::array<float, 257> fftWith(std::initializer_list<std::pair<int, float>> values)
{
    std::array<float, 257> fft{};
    for (auto [i, v] : values)
        fft[static_cast<size_t>(i)] = v;
    return fft;
}

QColor px(const TSpectrum& s, int x, int y)
{
    return QColor(s.frame().pixel(x, y));
}

}  // namespace

TEST(SpectrumColours, GreenThroughYellowToRed)
{
    TSpectrum s(10, 10);
    EXPECT_EQ(s.LevelColors[23].red, 0);  // all zero until the first SetMaxLevel
    s.SetMaxLevel(47);
    auto rg = [&s](int h) { return std::pair(s.LevelColors[static_cast<size_t>(h)].red, s.LevelColors[static_cast<size_t>(h)].green); };
    EXPECT_EQ(rg(0), std::pair(0, 255));
    EXPECT_EQ(rg(23), std::pair(249, 255));
    EXPECT_EQ(rg(24), std::pair(255, 250));
    EXPECT_EQ(rg(47), std::pair(255, 0));
    EXPECT_EQ(rg(48), std::pair(0, 0));  // not filled for N = 47
    s.SetMaxLevel(100);
    EXPECT_EQ(rg(100), std::pair(255, 0));  // past red stays red
    s.SetMaxLevel(500);
    EXPECT_EQ(s.MaxLevel, 100);
}

TEST(SpectrumFrame, BarsWithThePlayersSettings)
{
    TSpectrum s = playerSpectrum();
    // Column i reads value i × 2 + 5.
    const auto loud = fftWith({{5, 1.0f}, {7, 0.05f}, {9, 0.0019f}});
    s.Draw(loud, 1, -1);
    EXPECT_EQ(s.Levels[0], 47);
    EXPECT_EQ(s.Levels[1], 25);
    EXPECT_EQ(s.Levels[2], 0);
    // Base line is y = 59; bars 2 wide at x = 1 + 3i, their bottom row left out.
    const QColor red(255, 0, 70), black(0, 0, 0);
    EXPECT_EQ(px(s, 1, 12), red);
    EXPECT_EQ(px(s, 2, 58), red);
    EXPECT_EQ(px(s, 1, 11), black);
    EXPECT_EQ(px(s, 1, 59), black);
    EXPECT_EQ(px(s, 3, 30), black);  // the gap column
    EXPECT_EQ(px(s, 4, 34), QColor(255, 239, 70));
    EXPECT_EQ(px(s, 5, 58), QColor(255, 239, 70));
    EXPECT_EQ(px(s, 4, 33), black);
    EXPECT_EQ(px(s, 7, 58), black);  // height 0 draws nothing

    // Silence: the bar falls 3, the peak 1, and the peak line shows above the bar.
    const std::array<float, 257> silence{};
    s.Draw(silence, 1, -1);
    EXPECT_EQ(s.Levels[0], 44);
    EXPECT_EQ(s.Peaks[0], 46);
    EXPECT_EQ(px(s, 1, 13), QColor(13, 170, 255));
    EXPECT_EQ(px(s, 2, 13), QColor(13, 170, 255));
    EXPECT_EQ(px(s, 3, 13), black);
    EXPECT_EQ(px(s, 1, 14), black);
    EXPECT_EQ(px(s, 1, 15), QColor(255, 11, 70));  // outline in the colour of the peak's height
    for (int frame = 0; frame < 60; ++frame)
        s.Draw(silence, 1, -1);
    EXPECT_EQ(s.Levels[0], 0);
    EXPECT_EQ(s.Peaks[0], 0);
}

TEST(SpectrumFrame, LinesWithPeakDotsAndWideBarsWithTheirFill)
{
    TSpectrum s(200, 60);
    s.SetMaxLevel(47);
    const auto loud = fftWith({{5, 1.0f}});
    s.Draw(loud, 1, -1);
    const QColor white(255, 255, 255), black(0, 0, 0);
    EXPECT_EQ(px(s, 1, 59), white);
    EXPECT_EQ(px(s, 1, 13), white);
    EXPECT_EQ(px(s, 1, 12), white);  // the peak dot at the line's left-out end
    EXPECT_EQ(px(s, 1, 11), black);
    const std::array<float, 257> silence{};
    s.Draw(silence, 1, -1);
    EXPECT_EQ(px(s, 1, 13), white);  // peak 46
    EXPECT_EQ(px(s, 1, 14), black);
    EXPECT_EQ(px(s, 1, 16), white);  // level 44

    TSpectrum bars(200, 60);
    bars.Mode = 1;
    bars.SetMaxLevel(47);
    bars.ShowPeaks = false;
    bars.Draw(loud, 0, 0);  // bar 0: x 0..4, y 13..59
    EXPECT_EQ(QColor(bars.frame().pixel(0, 30)), QColor(255, 0, 70));
    EXPECT_EQ(QColor(bars.frame().pixel(4, 30)), QColor(255, 0, 70));
    EXPECT_EQ(QColor(bars.frame().pixel(2, 30)), white);
    EXPECT_EQ(QColor(bars.frame().pixel(2, 13)), QColor(255, 0, 70));
    EXPECT_EQ(QColor(bars.frame().pixel(5, 30)), black);
}

TEST(SpectrumFrame, OtherModesOnlyClearAndCopyTheBackground)
{
    TSpectrum s(50, 20);
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 200));
    s.SetBackground(true, picture);
    s.Mode = 2;
    s.BackColor = QColor(20, 20, 20);
    const auto loud = fftWith({{5, 1.0f}, {6, 1.0f}});
    QImage target(50, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    s.Draw(painter, loud, 0, 0);
    painter.end();
    EXPECT_EQ(QColor(target.pixel(5, 5)), QColor(0, 0, 200));
    EXPECT_EQ(QColor(target.pixel(30, 15)), QColor(0, 0, 0));  // the rest of the background bitmap
    s.UseBackground = false;
    s.Draw(loud, 0, 0);
    EXPECT_EQ(QColor(s.frame().pixel(5, 5)), QColor(20, 20, 20));
    EXPECT_EQ(s.Levels[0], 100);  // levels are still followed
}

TEST(SpectrumInput, OutOfRangeValuesAndIndicesAreBounded)
{
    TSpectrum s = playerSpectrum();
    std::array<float, 257> fft{};
    fft[5] = std::numeric_limits<float>::quiet_NaN();
    fft[7] = std::numeric_limits<float>::infinity();
    fft[9] = -1.0f;
    fft[11] = 1e30f;
    fft[256] = 1.0f;  // the 257th value is never read
    s.Draw(fft, 1, -1);
    EXPECT_EQ(s.Levels[0], 0);
    EXPECT_EQ(s.Levels[1], 47);
    EXPECT_EQ(s.Levels[2], 47);
    EXPECT_EQ(s.Levels[3], 47);
    EXPECT_EQ(s.Levels[125], 0);  // reads value 255
    EXPECT_EQ(s.Levels[126], 0);  // would read 257
    EXPECT_EQ(s.Levels[128], 0);

    // A short frame, a negative stride and a height past the colour table.
    const float few[6] = {0, 0, 0, 0, 0, 1.0f};
    s.Step = -3;
    s.MaxLevel = 1000;
    s.Draw(std::span<const float>(few, 6), 1, -1);
    EXPECT_EQ(s.Levels[0], 100);
    EXPECT_EQ(s.Levels[1], 44);  // reads index 2: silence, falling from 47

    s.Step = 251;  // column 1 would read the 257th value, which is never read
    const int peak = s.Peaks[1];
    s.Draw(fft, 1, -1);
    EXPECT_EQ(s.Peaks[1], peak - 1);
}
