// Display texts, the position bar and seeking arithmetic, the wheel, the level meter.
#include "player/sequencing/displayformat.h"
#include "player/meters/maintimermeter.h"

#include "engine/audioengine.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayTextTest, Formats)
{
    EXPECT_EQ(player::clockText(7, 5, 9), "07:05:09");
    EXPECT_EQ(player::memoryText(player::memoryUsedPercent(250, 1000)), "75%");
    EXPECT_EQ(player::memoryUsedPercent(5, 0), 0) << "unknown total";
    EXPECT_EQ(player::autoLevelText(true, 1.256, "off"), "1.26");
    EXPECT_EQ(player::deckStateLine(100, 37, engine::STATE_PLAY, engine::STATE_END),
              "Volumes. A: 100, B: 37, State: A: play, B: end");
}

TEST(DisplayTextTest, TimeLabelsCountDownAndUp)
{
    auto labels = player::timeLabels(65400, 185000, 0);
    EXPECT_EQ(labels.main, "\u2013 01:59.6");
    EXPECT_EQ(labels.second, "01:05.4");
    labels = player::timeLabels(65400, 185000, 1);
    EXPECT_EQ(labels.main, "01:05.4");
    EXPECT_EQ(labels.second, "\u2013 01:59.6");
    labels = player::timeLabels(190000, 185000, 0);
    EXPECT_EQ(labels.main, "\u2013 00:00.0") << "past a short-measured end: no wrap-around";
}

TEST(PositionBarTest, BarSeekAndSkip)
{
    EXPECT_EQ(player::positionBarValue(500, 1000, true), 500);
    EXPECT_EQ(player::positionBarValue(500, 1000, false), 0);
    EXPECT_EQ(player::positionBarValue(500, 0, true), 0);
    EXPECT_EQ(player::positionBarValue(2000, 1000, true), 1000);

    // A 40-minute track sought from the far right lands near its end (the product overflows
    // 32 bits: 1000 x 2,400,000).
    const std::int32_t forty = 40 * 60 * 1000;
    const int bar = player::positionBarFromMouse(300 - 12, 300);
    EXPECT_EQ(bar, 1000);
    EXPECT_EQ(player::seekMsFromBar(bar, forty), forty);
    EXPECT_EQ(player::seekMsFromBar(999, forty), 2397600);
    EXPECT_EQ(player::seekMsFromBar(500, INT32_MAX), INT32_MAX / 2);
    EXPECT_EQ(player::positionBarFromMouse(12, 300), 0);
    EXPECT_EQ(player::positionBarFromMouse(150, 300), 500);
    EXPECT_EQ(player::positionBarFromMouse(-40, 300), 0);
    EXPECT_EQ(player::positionBarFromMouse(10, 20), 0) << "a bar narrower than its margins";

    EXPECT_FALSE(player::skipFiveSeconds(1000, 0, 1));
    auto skip = player::skipFiveSeconds(3000, 100000, -1);
    ASSERT_TRUE(skip);
    EXPECT_EQ(skip->positionMs, 0);
    EXPECT_EQ(skip->barValue, 0);
    skip = player::skipFiveSeconds(98000, 100000, 1);
    EXPECT_EQ(skip->positionMs, 99999);
    EXPECT_EQ(skip->barValue, 1000);
    skip = player::skipFiveSeconds(forty - 10000, forty, 1);
    EXPECT_EQ(skip->positionMs, forty - 5000);
    EXPECT_EQ(skip->barValue, 998);
}

TEST(PositionBarTest, RateSliderAndWheel)
{
    const auto r = player::rateSliderRange(44100);
    EXPECT_EQ(r.minimum, 441);
    EXPECT_EQ(r.maximum, 1323);
    EXPECT_EQ(r.position, 882);
    EXPECT_EQ(player::rateSliderRange(22050).minimum, 220);

    EXPECT_EQ(player::wheelSteps(std::uint64_t{120} << 16), 1);
    EXPECT_EQ(player::wheelSteps(std::uint64_t{0xFF88} << 16 | 0x8), -1) << "signed high word";
    EXPECT_EQ(player::wheelSteps(std::uint64_t{240} << 16), 2);
    EXPECT_EQ(player::wheelSteps(std::uint64_t{60} << 16), 0);
}

TEST(LevelMeterTest, LevelsAndPicture)
{
    EXPECT_EQ(player::meterLevel(0), 0);
    EXPECT_EQ(player::meterLevel(64), 55);
    EXPECT_EQ(player::meterLevel(127), 109);
    EXPECT_EQ(player::meterLevel(128), 109) << "never above 109 pixels";
    EXPECT_EQ(player::meterLevel(-5), 0);

    const QImage picture = player::levelMeterPicture(13, 109);
    QImage frame(13, 109, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    player::paintLevelMeter(frame, picture, 40);
    // Above the level: white inside a black outline; from the level down: the picture's rows.
    EXPECT_EQ(frame.pixel(6, 10), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(0, 10), qRgb(0, 0, 0));
    for (int y = 69; y < 109; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(frame.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
    EXPECT_NE(picture.pixel(6, 107), picture.pixel(6, 2)) << "the meter's colour changes with height";

    player::paintLevelMeter(frame, picture, 0);
    EXPECT_EQ(frame.pixel(6, 100), qRgb(255, 255, 255));
    player::paintLevelMeter(frame, picture, 500);
    EXPECT_EQ(frame.pixel(6, 1), picture.pixel(6, 1));
}

}  // namespace
