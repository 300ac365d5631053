// The splash picture's JPEG decoding, over the bundled picture and over damaged bytes.
#include "player/splash.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace player;

TEST(SplashPicture, BundledJpegDecodes)
{
    const QImage image = DecodeJpeg(SplashJpeg());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 160));
    // A gradient, not a blank: the corners differ.
    EXPECT_NE(image.pixel(0, 0), image.pixel(319, 159));
}

TEST(SplashPicture, DamagedBytesGiveNoPictureAndNoCrash)
{
    const std::span<const unsigned char> good = SplashJpeg();
    EXPECT_TRUE(DecodeJpeg({}).isNull());
    const std::vector<unsigned char> noise(500, 0x5A);
    EXPECT_TRUE(DecodeJpeg(noise).isNull());
    // Cut anywhere: either no picture or one of the right size (libjpeg fills a short tail).
    for (std::size_t n = 0; n < good.size(); n += 37) {
        const QImage image = DecodeJpeg(good.first(n));
        EXPECT_TRUE(image.isNull() || image.size() == QSize(320, 160)) << n;
    }
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        std::vector<unsigned char> bytes(good.begin(), good.end());
        for (int k = 0; k < 8; ++k)
            bytes[rng() % bytes.size()] = static_cast<unsigned char>(rng());
        const QImage image = DecodeJpeg(bytes);
        EXPECT_TRUE(image.isNull() || (image.width() <= 8192 && image.height() <= 8192));
    }
}
