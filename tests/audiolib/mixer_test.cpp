// Volume, pan, global stream volume, volume curve and playback rate, measured on the mix.
#include <cmath>

#include "manualclocktest.h"

using namespace audiolib;

namespace {

class MixerTest : public audiotest::ManualClockTest {
protected:
    // A stereo file of a constant level on each side.
    Handle openConstant(float left, float right, int frames = 44100, int rate = 44100)
    {
        std::vector<float> samples(std::size_t(frames) * 2);
        for (int i = 0; i < frames; ++i) {
            samples[std::size_t(i) * 2] = left;
            samples[std::size_t(i) * 2 + 1] = right;
        }
        const auto path = audiotest::writeWav("const.wav", samples, rate, 2);
        const Handle h = streamCreateFile(path, 0);
        EXPECT_NE(h, 0u) << lastError();
        return h;
    }
    // Level of each side after the stream has run a little.
    std::pair<float, float> levels(std::uint32_t frames = 2048)
    {
        const auto mix = render(frames);
        return {mix[mix.size() - 2], mix[mix.size() - 1]};
    }
};

constexpr float kTol = 2.0f / 32767.0f;

}  // namespace

TEST_F(MixerTest, VolumeScalesLinearly)
{
    const Handle h = openConstant(0.5f, -0.5f);
    ASSERT_TRUE(play(h, false));
    auto [l, r] = levels();
    EXPECT_NEAR(l, 0.5f, kTol);
    EXPECT_NEAR(r, -0.5f, kTol);
    ASSERT_TRUE(setAttributes(h, kRateUnchanged, 40, kPanUnchanged));
    std::tie(l, r) = levels();
    EXPECT_NEAR(l, 0.2f, kTol);
    EXPECT_NEAR(r, -0.2f, kTol);
    int rate = 0, volume = 0, pan = 1;
    ASSERT_TRUE(getAttributes(h, &rate, &volume, &pan));
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(volume, 40);
    EXPECT_EQ(pan, 0);
    ASSERT_TRUE(setAttributes(h, kRateUnchanged, 0, kPanUnchanged));
    std::tie(l, r) = levels();
    EXPECT_EQ(l, 0.0f);
    streamFree(h);
}

TEST_F(MixerTest, PanAttenuatesTheOtherSideOnly)
{
    const Handle h = openConstant(0.5f, 0.5f);
    ASSERT_TRUE(play(h, false));
    ASSERT_TRUE(setAttributes(h, kRateUnchanged, kVolumeUnchanged, -100));
    auto [l, r] = levels();
    EXPECT_NEAR(l, 0.5f, kTol);
    EXPECT_NEAR(r, 0.0f, kTol);
    ASSERT_TRUE(setAttributes(h, kRateUnchanged, kVolumeUnchanged, 50));
    std::tie(l, r) = levels();
    EXPECT_NEAR(l, 0.25f, kTol);
    EXPECT_NEAR(r, 0.5f, kTol);
    // The sentinels leave everything as it was; out-of-range values change nothing.
    EXPECT_FALSE(setAttributes(h, kRateUnchanged, 101, kPanUnchanged));
    EXPECT_EQ(lastError(), kErrorParameter);
    EXPECT_FALSE(setAttributes(h, kRateUnchanged, kVolumeUnchanged, -102));
    int volume = 0, pan = 0;
    getAttributes(h, nullptr, &volume, &pan);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 50);
    streamFree(h);
}

TEST_F(MixerTest, GlobalStreamVolumeAndCurveApplyToEveryStream)
{
    const Handle a = openConstant(0.25f, 0.25f);
    const Handle b = openConstant(0.25f, 0.25f);
    ASSERT_TRUE(play(a, false));
    ASSERT_TRUE(play(b, false));
    auto [l, r] = levels();
    EXPECT_NEAR(l, 0.5f, kTol) << "two streams add";
    ASSERT_TRUE(setConfig(kOptionStreamVolume, 50));
    EXPECT_EQ(getConfig(kOptionStreamVolume), 50);
    std::tie(l, r) = levels();
    EXPECT_NEAR(l, 0.25f, kTol);
    ASSERT_TRUE(setConfig(kOptionStreamVolume, 100));
    ASSERT_TRUE(setConfig(kOptionLogCurve, 1));
    ASSERT_TRUE(setAttributes(a, kRateUnchanged, 50, kPanUnchanged));
    ASSERT_TRUE(setAttributes(b, kRateUnchanged, 0, kPanUnchanged));
    std::tie(l, r) = levels();
    EXPECT_NEAR(l, 0.25f * 0.1f, kTol) << "volume 50 is -20 dB on the logarithmic curve";
    EXPECT_FALSE(setConfig(kOptionStreamVolume, 101));
    EXPECT_EQ(getConfig(99), -1);
    streamFree(a);
    streamFree(b);
}

TEST_F(MixerTest, RateChangesPlayingTimeAndOtherRatesAreResampled)
{
    const Handle fast = openConstant(0.5f, 0.5f, 44100);
    ASSERT_TRUE(setAttributes(fast, 88200, kVolumeUnchanged, kPanUnchanged));
    ASSERT_TRUE(play(fast, false));
    render(22000);
    EXPECT_EQ(isActive(fast), kPlaying);
    render(200);
    EXPECT_EQ(isActive(fast), kStopped) << "double rate plays a second in half a second";
    streamFree(fast);

    const Handle other = openConstant(0.5f, 0.5f, 48000, 48000);
    ChannelInfo info{};
    ASSERT_TRUE(getChannelInfo(other, &info));
    EXPECT_EQ(info.rateHz, 48000);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.bitsPerSample, 16);
    ASSERT_TRUE(play(other, false));
    const auto mix = render(44000);
    EXPECT_NEAR(mix[mix.size() - 2], 0.5f, kTol);
    EXPECT_EQ(isActive(other), kPlaying);
    render(200);
    EXPECT_EQ(isActive(other), kStopped) << "a 48 kHz second lasts a second on a 44.1 kHz device";
    streamFree(other);
}

TEST_F(MixerTest, PauseHoldsPositionAndStopKeepsIt)
{
    const Handle h = openConstant(0.5f, 0.5f);
    ASSERT_TRUE(play(h, false));
    render(1000);
    ASSERT_TRUE(pause(h));
    EXPECT_EQ(isActive(h), kPaused);
    const auto silent = render(1000);
    EXPECT_EQ(audiotest::peak(silent, 0, 0, 1000), 0.0f);
    EXPECT_EQ(getPosition(h), 1000 * 4);
    ASSERT_TRUE(resume(h));
    render(500);
    EXPECT_EQ(getPosition(h), 1500 * 4);
    ASSERT_TRUE(stop(h));
    EXPECT_EQ(isActive(h), kStopped);
    EXPECT_EQ(getPosition(h), 1500 * 4);
    ASSERT_TRUE(play(h, true));
    EXPECT_EQ(getPosition(h), 0);
    streamFree(h);
}

TEST_F(MixerTest, RearSpeakersOnAStereoDeviceFailFrontPlaysAsStereo)
{
    const auto path = audiotest::writeWav("spk.wav", audiotest::sine(440, 0.2, 44100, 2, 0.5), 44100, 2);
    EXPECT_EQ(streamCreateFile(path, kSpeakerRear), 0u);
    EXPECT_EQ(lastError(), kErrorSpeaker);
    const Handle front = streamCreateFile(path, kSpeakerFront);
    ASSERT_NE(front, 0u);
    ASSERT_TRUE(play(front, false));
    const auto mix = render(4410);
    EXPECT_GT(audiotest::peak(mix, 0, 0, 4410), 0.45f);
    EXPECT_GT(audiotest::peak(mix, 1, 0, 4410), 0.45f);
    streamFree(front);
}
