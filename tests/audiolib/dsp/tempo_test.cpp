// Tempo processor: playing time under a tempo change, pitch of a tone under a pitch change,
// playback rate, the "unchanged" values, seeking.
#include "audiolib/dsp/tempoprocessor.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

class TempoChange : public ::testing::Test {
protected:
    // Feeds the whole source in blocks, flushes and collects everything that comes out.
    static std::vector<float> run(TempoProcessor& tp, const std::vector<float>& source, int channels = 2)
    {
        std::vector<float> out;
        std::vector<float> chunk(4096 * static_cast<std::size_t>(channels));
        const int frames = static_cast<int>(source.size()) / channels;
        auto drain = [&] {
            int got;
            while ((got = tp.receiveFrames(chunk.data(), 4096)) > 0)
                out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got) * channels);
        };
        for (int i = 0; i < frames; i += 1000) {
            tp.putFrames(source.data() + static_cast<std::size_t>(i) * channels, std::min(1000, frames - i));
            drain();
        }
        tp.flush();
        drain();
        return out;
    }
    static double seconds(const std::vector<float>& x, int channels = 2)
    {
        return static_cast<double>(x.size()) / channels / kRate;
    }
};

TEST_F(TempoChange, TenPercentFasterShortensByAboutNinePercent)
{
    TempoProcessor tp(kRate, 2);
    tp.setTempoPercent(10.0f);
    const std::vector<float> out = run(tp, sine(440, 10.0));
    EXPECT_NEAR(seconds(out), 10.0 / 1.1, 0.06);
    // The tone's pitch stays.
    EXPECT_NEAR(zeroCrossingHz(out, 2, 0, kRate, 3 * kRate), 440.0, 2.0);
    EXPECT_NEAR(tp.speedPercent(), 110.0f, 1e-4);
}

TEST_F(TempoChange, TwelveSemitonesUpDoublesTheFrequencyAtTheSameLength)
{
    TempoProcessor tp(kRate, 2);
    tp.setPitchSemitones(12.0f);
    const std::vector<float> out = run(tp, sine(440, 5.0));
    EXPECT_NEAR(zeroCrossingHz(out, 2, 0, kRate, 3 * kRate), 880.0, 3.0);
    EXPECT_NEAR(zeroCrossingHz(out, 2, 1, kRate, 3 * kRate), 880.0, 3.0);
    EXPECT_NEAR(seconds(out), 5.0, 0.06);
}

TEST_F(TempoChange, RateChangesSpeedAndPitchTogether)
{
    TempoProcessor tp(kRate, 2);
    tp.setRateHz(48510);  // 10 % faster playback of a 44100 Hz source
    const std::vector<float> out = run(tp, sine(400, 10.0));
    EXPECT_NEAR(seconds(out), 10.0 / 1.1, 0.06);
    EXPECT_NEAR(zeroCrossingHz(out, 2, 0, kRate, 3 * kRate), 440.0, 2.0);
    tp.setRateHz(0);  // back to the source's own rate
    EXPECT_EQ(tp.rateHz(), kRate);
}

TEST_F(TempoChange, UnchangedValuesKeepEachSettingAndMinusOneSemitoneIsReal)
{
    TempoProcessor tp(kRate, 2);
    tp.set(20.0f, 50000, 3.0f);
    tp.set(TempoProcessor::kTempoUnchanged, TempoProcessor::kRateUnchanged, TempoProcessor::kPitchUnchanged);
    EXPECT_EQ(tp.tempoPercent(), 20.0f);
    EXPECT_EQ(tp.rateHz(), 50000);
    EXPECT_EQ(tp.pitchSemitones(), 3.0f);
    tp.setPitchSemitones(-1.0f);
    EXPECT_EQ(tp.pitchSemitones(), -1.0f);
    tp.set(NAN, -7, NAN);
    EXPECT_EQ(tp.tempoPercent(), 20.0f);
    EXPECT_EQ(tp.rateHz(), 50000);
    tp.setTempoPercent(-99.0f);  // would nearly stop time: clamped
    EXPECT_EQ(tp.tempoPercent(), TempoProcessor::kMinTempoPercent);
}

TEST_F(TempoChange, ClearForgetsWhatWasHeldAndLatencyIsKnown)
{
    TempoProcessor tp(kRate, 2);
    tp.setTempoPercent(-20.0f);
    EXPECT_GT(tp.latencyFrames(), 0);
    const std::vector<float> loud = sine(440, 1.0, 2, 0.9);
    tp.putFrames(loud.data(), kRate);
    EXPECT_GT(tp.framesReady(), 0);
    tp.clear();
    EXPECT_EQ(tp.framesReady(), 0);
    // After the seek only the new (silent) material comes out.
    const std::vector<float> out = run(tp, silence(2.0));
    EXPECT_LT(peak(out, 2, 0), 1e-6);
    EXPECT_GT(seconds(out), 2.0);
}

}  // namespace
