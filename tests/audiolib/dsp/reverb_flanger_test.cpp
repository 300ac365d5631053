// Reverb: the tail falls by 60 dB in about the reverb time, high frequencies die sooner with a
// small ratio, the mix and input gain act as levels. Flanger: it audibly changes a signal and stays
// bounded.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

class ReverbTail : public ::testing::Test {
protected:
    // Output of a 50 ms noise burst followed by silence.
    std::vector<float> tail(ReverbParams p, double seconds = 3.0)
    {
        auto fx = createEffect(kEffectReverb);
        fx->prepare(kRate, 2);
        EXPECT_TRUE(fx->setParameters(&p, sizeof p));
        std::vector<float> x = noise(0.05, 2, 0.5);
        x.resize(static_cast<std::size_t>(seconds * kRate) * 2, 0.0f);
        processInBlocks(*fx, x, 2);
        return x;
    }
    // Decay rate of the tail in dB per second, between two windows after the burst.
    static double decayDbPerSecond(const std::vector<float>& y, double t1, double t2)
    {
        const int w = kRate / 20;
        const double a = rms(y, 2, 0, static_cast<int>(t1 * kRate), static_cast<int>(t1 * kRate) + w);
        const double b = rms(y, 2, 0, static_cast<int>(t2 * kRate), static_cast<int>(t2 * kRate) + w);
        return db(b / a) / (t2 - t1);
    }
};

TEST_F(ReverbTail, DecaysBySixtyDbPerReverbTime)
{
    const std::vector<float> oneSecond = tail(ReverbParams{0, 0, 1000, 0.999f});
    EXPECT_NEAR(decayDbPerSecond(oneSecond, 0.2, 0.7), -60.0, 6.0);
    const std::vector<float> twoSeconds = tail(ReverbParams{0, 0, 2000, 0.999f});
    EXPECT_NEAR(decayDbPerSecond(twoSeconds, 0.2, 1.2), -30.0, 3.0);
}

TEST_F(ReverbTail, SmallHighFrequencyRatioDarkensTheTail)
{
    const std::vector<float> bright = tail(ReverbParams{0, 0, 1500, 0.999f});
    const std::vector<float> dark = tail(ReverbParams{0, 0, 1500, 0.1f});
    const int from = static_cast<int>(0.4 * kRate), to = static_cast<int>(0.6 * kRate);
    const double brightRatio = toneAmplitude(bright, 2, 0, 8000, from, to) / rms(bright, 2, 0, from, to);
    const double darkRatio = toneAmplitude(dark, 2, 0, 8000, from, to) / rms(dark, 2, 0, from, to);
    EXPECT_LT(darkRatio, brightRatio * 0.5);
}

TEST_F(ReverbTail, MixAndInputGainAreLevels)
{
    // Mix at its floor: the dry signal only, scaled by the input gain.
    std::vector<float> y = tail(ReverbParams{-6, -96, 1000, 0.5f}, 0.5);
    EXPECT_NEAR(rms(y, 2, 0, kRate / 10), 0.0, 1e-9);
    EXPECT_GT(rms(y, 2, 0, 0, kRate / 20), 0.1);
    // The tail follows the mix: -20 dB of mix gives a tail 20 dB lower.
    const std::vector<float> loud = tail(ReverbParams{0, 0, 1000, 0.5f}, 0.5);
    const std::vector<float> soft = tail(ReverbParams{0, -20, 1000, 0.5f}, 0.5);
    EXPECT_NEAR(db(rms(soft, 2, 0, kRate / 10) / rms(loud, 2, 0, kRate / 10)), -20.0, 0.1);
}

TEST(FlangerSweep, ChangesTheSoundAndStaysBounded)
{
    auto fx = createEffect(kEffectFlanger);
    fx->prepare(kRate, 2);
    FlangerParams p{2.0f, kRate, 120.0f, 1.0f};
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    std::vector<float> x = noise(2.0, 2, 0.5);
    const std::vector<float> in = x;
    processInBlocks(*fx, x, 2);
    EXPECT_TRUE(allFinite(x));
    EXPECT_LT(peak(x, 2, 0), 1.5);
    double diff = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        diff += (x[i] - in[i]) * (x[i] - in[i]);
    EXPECT_GT(std::sqrt(diff / x.size()), 0.1 * rms(in, 2, 0));

    // A sine whose period puts it in a comb notch for part of the sweep: its level moves, so
    // the comb really sweeps (a fixed delay would give a constant level).
    fx->reset();
    std::vector<float> tone = sine(300, 2.0, 2, 0.5);
    processInBlocks(*fx, tone, 2);
    double lo = 1e9, hi = 0;
    for (int w = 0; w < 40; ++w) {
        const double r = rms(tone, 2, 0, w * kRate / 20, (w + 1) * kRate / 20);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_GT(db(hi / lo), 1.0);
}

TEST(FlangerSweep, WetDryZeroLeavesTheSignalAlone)
{
    auto fx = createEffect(kEffectFlanger);
    fx->prepare(kRate, 2);
    FlangerParams p{};
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    std::vector<float> x = sine(1000, 0.2, 2);
    const std::vector<float> in = x;
    processInBlocks(*fx, x, 2);
    EXPECT_EQ(x, in);
}

}  // namespace
