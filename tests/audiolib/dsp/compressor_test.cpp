// Compressor: its gain moves the output by exactly its dB at any level (also as the deck's mute),
// loud signals are held down, and the record reads back for the deck's read-modify-write.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

class CompressorGain : public ::testing::Test {
protected:
    void SetUp() override { m_fx->prepare(kRate, 2); }

    void setGain(float gainDb)
    {
        CompressorParams p{};
        ASSERT_TRUE(m_fx->getParameters(&p, sizeof p));
        p.gainDb = gainDb;
        ASSERT_TRUE(m_fx->setParameters(&p, sizeof p));
    }
    // Steady output level change in dB for a 1 kHz sine of the given amplitude.
    double change(double amp)
    {
        std::vector<float> x = sine(1000, 1.0, 2, amp);
        const std::vector<float> in = x;
        processInBlocks(*m_fx, x, 2);
        return db(rms(x, 2, 0, kRate / 2) / rms(in, 2, 0, kRate / 2));
    }

    std::unique_ptr<Effect> m_fx = createEffect(kEffectCompressor);
};

TEST_F(CompressorGain, QuietSignalsTakeTheGainExactly)
{
    setGain(10.0f);
    EXPECT_NEAR(change(0.01), 10.0, 0.2);
    m_fx->reset();
    setGain(0.0f);
    EXPECT_NEAR(change(0.01), 0.0, 0.2);
}

TEST_F(CompressorGain, TheGainMovesQuietAndLoudSignalsByExactlyItsDb)
{
    // Quiet, just below the knee, and loud enough to be held down: the gain (and the deck's mute
    // at -30) comes on top of what the compressor does, whatever the level.
    for (const double amp : {0.01, 0.2, 0.37, 1.0}) {
        for (const float gainDb : {-30.0f, -20.0f, 10.0f}) {
            m_fx->reset();
            setGain(0.0f);
            const double base = change(amp);
            m_fx->reset();
            setGain(gainDb);
            EXPECT_NEAR(change(amp) - base, gainDb, 0.2) << "amplitude " << amp << ", gain " << gainDb;
        }
    }
}

TEST_F(CompressorGain, AGainStepWhilePlayingGlidesInsteadOfClicking)
{
    // A low tone whose own steepest step between samples is about 0.007.
    std::vector<float> x = dsptest::sine(100, 0.5, 2, 0.5);
    const int half = 11025 + 110;  // a quarter period past a zero crossing: the tone's peak
    m_fx->process(x.data(), half);
    setGain(-30.0f);  // the deck's mute, at a moment the tone is near its peak
    const int rest = static_cast<int>(x.size() / 2) - half;
    m_fx->process(x.data() + half * 2, rest);
    double steepest = 0;
    for (int i = 1; i < half + rest; ++i)
        steepest = std::max(steepest, static_cast<double>(std::fabs(x[i * 2] - x[(i - 1) * 2])));
    EXPECT_LT(steepest, 0.012);
    // Fully there, measured against the tone before the step (which the compressor holds down).
    EXPECT_NEAR(db(rms(x, 2, 0, half + rest - 4410) / rms(x, 2, 0, half - 4410, half)), -30.0, 0.5);
}

TEST_F(CompressorGain, LoudSignalsAreHeldDown)
{
    // A full-scale tone is brought down by several dB; its peaks stay below full scale.
    const double c = change(1.0);
    EXPECT_LT(c, -4.0);
    EXPECT_GT(c, -10.0);
    m_fx->reset();
    std::vector<float> x = sine(1000, 0.5, 2, 1.0);
    processInBlocks(*m_fx, x, 2);
    EXPECT_LT(peak(x, 2, 0, kRate / 10), 1.0);
}

TEST_F(CompressorGain, GainChangeKeepsTheOtherFieldsAndBadValuesAreClamped)
{
    CompressorParams before{};
    ASSERT_TRUE(m_fx->getParameters(&before, sizeof before));
    setGain(-12.0f);
    CompressorParams after{};
    ASSERT_TRUE(m_fx->getParameters(&after, sizeof after));
    EXPECT_EQ(after.gainDb, -12.0f);
    EXPECT_EQ(after.thresholdDb, before.thresholdDb);
    EXPECT_EQ(after.ratio, before.ratio);

    // A record of zeros except the gain (a caller that never read first) still compresses sanely.
    CompressorParams zeros{};
    zeros.gainDb = NAN;
    ASSERT_TRUE(m_fx->setParameters(&zeros, sizeof zeros));
    ASSERT_TRUE(m_fx->getParameters(&after, sizeof after));
    EXPECT_EQ(after.gainDb, 0.0f);
    EXPECT_GE(after.ratio, 1.0f);
    EXPECT_GT(after.attackMs, 0.0f);
    std::vector<float> x = noise(0.5, 2, 1.0);
    processInBlocks(*m_fx, x, 2);
    EXPECT_TRUE(allFinite(x));
}

}  // namespace
