// Equaliser band: boost and cut at the centre, the band's reach, and records that must not break it.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

class PeakEqBand : public ::testing::Test {
protected:
    // Level change in dB of a sine at hz through a band with the given record.
    double gainAt(double hz, PeakEqParams p, int rate = kRate)
    {
        auto fx = createEffect(kEffectPeakEq);
        fx->prepare(rate, 2);
        EXPECT_TRUE(fx->setParameters(&p, sizeof p));
        std::vector<float> x = sine(hz, 1.0, 2, 0.25, rate);
        const std::vector<float> in = x;
        processInBlocks(*fx, x, 2);
        EXPECT_TRUE(allFinite(x));
        const int settle = rate / 4;  // past the filter's start
        return db(rms(x, 2, 1, settle) / rms(in, 2, 1, settle));
    }
    static PeakEqParams band(float centerHz, float gainDb)
    {
        return PeakEqParams{3, kRate, 2.5f, 0.0f, centerHz, gainDb};
    }
};

TEST_F(PeakEqBand, RaisesItsCentreByTheGainAndLeavesTwoOctavesAwayAlone)
{
    EXPECT_NEAR(gainAt(1000, band(1000, 12)), 12.0, 1.0);
    EXPECT_NEAR(gainAt(4000, band(1000, 12)), 0.0, 0.5);
    EXPECT_NEAR(gainAt(250, band(1000, 12)), 0.0, 0.5);
    EXPECT_NEAR(gainAt(60, band(60, 12)), 12.0, 1.0);  // a narrow low band stays accurate
}

TEST_F(PeakEqBand, CutsByTheGain)
{
    EXPECT_NEAR(gainAt(3000, band(3000, -10)), -10.0, 1.0);
    EXPECT_NEAR(gainAt(12000, band(3000, -10)), 0.0, 0.5);
}

TEST_F(PeakEqBand, BandwidthIsInSemitonesBetweenHalfGainPoints)
{
    // 12 semitones wide: at half an octave from the centre the boost is half its dB.
    PeakEqParams p = band(1000, 12);
    p.bandwidth = 12.0f;
    EXPECT_NEAR(gainAt(1000 * std::sqrt(2.0), p), 6.0, 1.0);
    // An explicit Q takes precedence over the bandwidth.
    p.q = 0.5f;
    EXPECT_GT(gainAt(4000, p), 2.0);
}

TEST_F(PeakEqBand, UnusableRecordsLeaveTheSignalIntact)
{
    PeakEqParams zero{};
    EXPECT_NEAR(gainAt(1000, zero), 0.0, 0.01);  // a band at 0 Hz (unset centre) is flat
    EXPECT_NEAR(gainAt(10000, band(20000, 12), 22050), 0.0, 0.01);  // above Nyquist: flat
    PeakEqParams nan = band(NAN, NAN);
    EXPECT_NEAR(gainAt(1000, nan), 0.0, 0.01);
    // No bandwidth given: the usual width, not a notch of zero width.
    PeakEqParams noWidth = band(1000, 12);
    noWidth.bandwidth = 0.0f;
    EXPECT_NEAR(gainAt(1000, noWidth), 12.0, 1.0);
}

TEST_F(PeakEqBand, ReadsBackWhatWasSetWithClampedGain)
{
    auto fx = createEffect(kEffectPeakEq);
    PeakEqParams p = band(600, 40);
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    PeakEqParams back{};
    ASSERT_TRUE(fx->getParameters(&back, sizeof back));
    EXPECT_EQ(back.band, 3);
    EXPECT_EQ(back.centerHz, 600.0f);
    EXPECT_EQ(back.gainDb, 24.0f);
    EXPECT_FALSE(fx->setParameters(&p, sizeof p - 1));
    EXPECT_FALSE(fx->getParameters(&back, sizeof back + 4));
}

}  // namespace
