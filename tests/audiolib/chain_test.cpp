// Effects, tempo, pitch and BPM measured end to end through channels on the mix.
#include <cmath>

#include "manualclocktest.h"
#include "audiolib/dsp/effectrecords.h"

using namespace audiolib;

namespace {

class ChainTest : public audiotest::ManualClockTest {
protected:
    Handle openSine(double freq, double seconds, double amplitude, std::uint32_t flags = 0)
    {
        const std::string name = "chain" + std::to_string(int(freq)) + "_" + std::to_string(int(seconds * 10)) + ".wav";
        const auto path = audiotest::writeWav(name, audiotest::sine(freq, seconds, 44100, 2, amplitude), 44100, 2);
        const Handle h = streamCreateFile(path, flags);
        EXPECT_NE(h, 0u) << lastError();
        return h;
    }
    // Frames rendered until the channel stops (bounded).
    std::int64_t framesUntilEnd(Handle h, std::int64_t limit)
    {
        std::int64_t n = 0;
        while (isActive(h) != kStopped && n < limit) {
            render(256);
            n += 256;
        }
        return n;
    }
    double gainDb(double freq, float bandGainDb)
    {
        const Handle h = openSine(freq, 1.0, 0.1);
        const FxHandle band = setDspFx(h, kFxPeakEq, 0);
        EXPECT_NE(band, 0u);
        dsp::PeakEqParams eq{0, 44100, 2.5f, 0.0f, 1000.0f, bandGainDb};
        EXPECT_TRUE(dspFxSetParameters(band, &eq, sizeof eq));
        EXPECT_TRUE(play(h, false));
        const auto mix = render(22050);
        streamFree(h);
        return 20.0 * std::log10(audiotest::rms(mix, 0, 11025, 22050) / (0.1 / std::sqrt(2.0)));
    }
};

std::string clickTrack(double bpm, double seconds)
{
    std::vector<float> s(std::size_t(seconds * 44100) * 2, 0.0f);
    const std::size_t period = std::size_t(44100 * 60.0 / bpm);
    for (std::size_t start = 0; start + 882 < s.size() / 2; start += period)
        for (std::size_t i = 0; i < 882; ++i) {
            const float v = float(0.8 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 44100.0) * (1.0 - double(i) / 882.0));
            s[(start + i) * 2] = s[(start + i) * 2 + 1] = v;
        }
    return audiotest::writeWav("click" + std::to_string(int(bpm)) + ".wav", s, 44100, 2);
}

}  // namespace

TEST_F(ChainTest, EqualiserBandRaisesItsCentreAndLeavesTwoOctavesAwayAlone)
{
    EXPECT_NEAR(gainDb(1000, 0.0f), 0.0, 0.2);
    EXPECT_NEAR(gainDb(1000, 12.0f), 12.0, 1.0);
    EXPECT_NEAR(gainDb(4000, 12.0f), 0.0, 1.0);
    EXPECT_NEAR(gainDb(250, 12.0f), 0.0, 1.0);
}

TEST_F(ChainTest, TempoPlusTenPercentShortensPlayingTimeByNinePointOne)
{
    const Handle source = openSine(440, 4.0, 0.5, kStreamDecode);
    const Handle tempo = tempoCreate(source, 0);
    ASSERT_NE(tempo, 0u) << lastError();
    EXPECT_EQ(tempoGetResampledHandle(tempo), tempo);
    EXPECT_EQ(tempoGetSource(tempo), source);
    ASSERT_TRUE(tempoSet(tempo, 10.0f, kTempoRateUnchanged, kPitchUnchanged));
    EXPECT_NEAR(tempoGetApproxPercents(tempo), 110.0f, 0.5f);
    EXPECT_EQ(getLength(tempo), getLength(source));
    ASSERT_TRUE(play(tempo, false));
    const double frames = double(framesUntilEnd(tempo, 44100 * 6));
    EXPECT_NEAR(frames / (4.0 * 44100), 1.0 / 1.1, 0.01);
    EXPECT_GE(getPosition(source), getLength(source) - 4 * 2048) << "the source heard to its end";
    tempoFree(tempo);
    streamFree(source);
}

TEST_F(ChainTest, PitchPlusTwelveDoublesTheFrequency)
{
    const Handle source = openSine(440, 2.0, 0.5, kStreamDecode);
    const Handle tempo = tempoCreate(source, 0);
    ASSERT_NE(tempo, 0u);
    ASSERT_TRUE(tempoSet(tempo, kTempoUnchanged, kTempoRateUnchanged, 12.0f));
    float t = -1, p = 0;
    int r = 0;
    ASSERT_TRUE(tempoGet(tempo, &t, &r, &p));
    EXPECT_FLOAT_EQ(t, 0.0f);
    EXPECT_FLOAT_EQ(p, 12.0f);
    ASSERT_TRUE(play(tempo, false));
    const auto mix = render(44100);
    EXPECT_NEAR(audiotest::zeroCrossingHz(mix, 0, 11025, 44100, 44100), 880.0, 880.0 * 0.02);
    tempoFree(tempo);
    streamFree(source);
}

TEST_F(ChainTest, SeekingTheTempoSourceFlushesAndPositionsFollowWhatIsHeard)
{
    const Handle source = openSine(440, 4.0, 0.5, kStreamDecode);
    const Handle tempo = tempoCreate(source, 0);
    ASSERT_NE(tempo, 0u);
    int fired = 0;
    ASSERT_NE(setSyncProc(source, kSyncPosition | kSyncOnce, 3 * 44100 * 4,
                          [](SyncHandle, Handle, std::uint32_t, void* u) { ++*static_cast<int*>(u); }, &fired),
              0u);
    ASSERT_TRUE(play(tempo, false));
    render(44100);
    // A second heard at unchanged tempo is a second of the source, whatever was decoded ahead.
    EXPECT_NEAR(double(getPosition(source)) / 4, 44100.0, 44100.0 * 0.03);
    ASSERT_TRUE(setPosition(source, 2 * 44100 * 4));
    EXPECT_EQ(getPosition(source), 2 * 44100 * 4);
    render(22050);
    EXPECT_EQ(fired, 0);
    EXPECT_NEAR(double(getPosition(source)) / 4, 2.5 * 44100, 44100.0 * 0.03);
    render(22050 + 4410);
    EXPECT_EQ(fired, 1) << "the position sync on the source fires when that part is heard";
    EXPECT_EQ(tempoCreate(source, 0), 0u) << "one tempo stream per source";
    tempoFree(tempo);
    EXPECT_EQ(tempoGetResampledHandle(tempo), 0u);
    streamFree(source);
}

TEST_F(ChainTest, BpmOfAClickTrack)
{
    const Handle h = streamCreateFile(clickTrack(120, 12.0), kStreamDecode);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(bpmPercentsToBpm(h, 0.0f), 0.0f) << "never measured";
    const float bpm = bpmDecodeGet(h, 0.0, 12.0, 0, 3);
    EXPECT_NEAR(bpm, 120.0f, 1.0f);
    EXPECT_NEAR(bpmPercentsToBpm(h, 10.0f), bpm * 1.1f, 0.01f);
    EXPECT_NEAR(bpmDecodeGet(h, 0.0, 1.0e300, 0, 3), 120.0f, 1.0f) << "an end past the track measures to its end";
    ASSERT_TRUE(bpmFree(h));
    EXPECT_EQ(bpmPercentsToBpm(h, 10.0f), 0.0f);
    EXPECT_LT(bpmDecodeGet(h, 5.0, 2.0, 0, 3), 0.0f);
    EXPECT_EQ(lastError(), kErrorParameter);
    streamFree(h);
}
