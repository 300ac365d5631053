// Peak level and spectrum of what is being heard.
#include <algorithm>
#include <cmath>

#include "manualclocktest.h"

using namespace audiolib;

namespace {

class MeterTest : public audiotest::ManualClockTest {
protected:
    Handle openSine(double freq, double amplitude, const char* name)
    {
        const auto path = audiotest::writeWav(name, audiotest::sine(freq, 1.0, 44100, 2, amplitude), 44100, 2);
        const Handle h = streamCreateFile(path, 0);
        EXPECT_NE(h, 0u);
        return h;
    }
};

}  // namespace

TEST_F(MeterTest, FullScaleSineReads128HalfScaleAbout64)
{
    const Handle full = openSine(1000, 1.0, "full.wav");
    ASSERT_TRUE(play(full, false));
    render(4410);
    const std::int32_t level = getLevel(full);
    EXPECT_EQ(level & 0xFFFF, 128);
    EXPECT_EQ((level >> 16) & 0xFFFF, 128);
    // The level is of the stream itself: its volume does not change it.
    setAttributes(full, kRateUnchanged, 10, kPanUnchanged);
    render(1024);
    EXPECT_EQ(getLevel(full) & 0xFFFF, 128);
    streamFree(full);

    const Handle half = openSine(1000, 0.5, "half.wav");
    ASSERT_TRUE(play(half, false));
    render(4410);
    EXPECT_NEAR(getLevel(half) & 0xFFFF, 64, 1);
    ASSERT_TRUE(stop(half));
    EXPECT_EQ(getLevel(half), -1) << "no level of a stopped channel";
    streamFree(half);
    EXPECT_EQ(getLevel(half), -1);
    EXPECT_EQ(lastError(), kErrorHandle);
}

TEST_F(MeterTest, SpectrumPeaksAtTheSineBinAndReadsAboutOne)
{
    // Bin 40 of a 512-point transform at 44100 Hz is centred on 3445.3 Hz.
    const double freq = 40.0 * 44100.0 / 512.0;
    const Handle h = openSine(freq, 1.0, "bin40.wav");
    ASSERT_TRUE(play(h, false));
    render(4410);
    float fft[256];
    ASSERT_EQ(getData(h, fft, 1024 | kDataFft256), 1024);
    const int peakBin = int(std::max_element(fft, fft + 256) - fft);
    EXPECT_EQ(peakBin, 40);
    EXPECT_NEAR(fft[40], 1.0f, 0.05f);
    EXPECT_LT(fft[10], 0.01f);
    EXPECT_LT(fft[100], 0.01f);
    streamFree(h);

    const Handle quiet = openSine(freq, 0.0, "silence.wav");
    ASSERT_TRUE(play(quiet, false));
    render(4410);
    ASSERT_EQ(getData(quiet, fft, 1024 | kDataFft256), 1024);
    EXPECT_EQ(*std::max_element(fft, fft + 256), 0.0f);
    streamFree(quiet);
}

TEST_F(MeterTest, RawDataIsTheLastPcmHeard)
{
    const Handle h = openSine(441, 0.5, "raw.wav");
    ASSERT_TRUE(play(h, false));
    render(1000);
    std::int16_t pcm[400];
    ASSERT_EQ(getData(h, pcm, sizeof pcm), int(sizeof pcm));
    // The last of 1000 frames heard is frame 999 of the sine.
    const double expected = 0.5 * std::sin(2.0 * M_PI * 441.0 * 999.0 / 44100.0) * 32767.0;
    EXPECT_NEAR(pcm[398], expected, 2.0);
    EXPECT_EQ(pcm[398], pcm[399]);
    streamFree(h);
}
