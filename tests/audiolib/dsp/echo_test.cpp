// Echo and second echo: where the repeats land, how they decay, swapping sides, and that a change
// of delay while running needs no new memory.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

// Index of the largest absolute sample of a channel in frames [from, to).
int loudestFrame(const std::vector<float>& x, int channels, int channel, int from, int to)
{
    int best = from;
    for (int i = from; i < to; ++i)
        if (std::fabs(x[static_cast<std::size_t>(i) * channels + channel]) >
            std::fabs(x[static_cast<std::size_t>(best) * channels + channel]))
            best = i;
    return best;
}

std::vector<float> impulse(double seconds, int channels, int channel = -1)
{
    std::vector<float> x = silence(seconds, channels);
    for (int c = 0; c < channels; ++c)
        if (channel < 0 || c == channel)
            x[static_cast<std::size_t>(c)] = 1.0f;
    return x;
}

class EchoRepeats : public ::testing::Test {
protected:
    std::vector<float> run(EchoParams p, std::vector<float> x)
    {
        auto fx = createEffect(kEffectEcho);
        fx->prepare(kRate, 2);
        EXPECT_TRUE(fx->setParameters(&p, sizeof p));
        processInBlocks(*fx, x, 2);
        return x;
    }
};

TEST_F(EchoRepeats, EachSideRepeatsAfterItsOwnDelay)
{
    const std::vector<float> y = run(EchoParams{50, 0, 100, 250, 0}, impulse(0.5, 2));
    EXPECT_NEAR(y[0], 0.5f, 1e-6);  // dry part at wet/dry 50 %
    EXPECT_EQ(loudestFrame(y, 2, 0, 1, y.size() / 2), 4410);
    EXPECT_EQ(loudestFrame(y, 2, 1, 1, y.size() / 2), 11025);
    EXPECT_NEAR(y[4410 * 2], 0.5f, 1e-6);
}

TEST_F(EchoRepeats, FeedbackRepeatsDecayByItsShare)
{
    const std::vector<float> y = run(EchoParams{100, 50, 100, 100, 0}, impulse(0.5, 2));
    EXPECT_NEAR(y[4410 * 2], 1.0f, 1e-6);
    EXPECT_NEAR(y[8820 * 2], 0.5f, 1e-6);
    EXPECT_NEAR(y[13230 * 2], 0.25f, 1e-6);
}

TEST_F(EchoRepeats, SwapSendsEachRepeatToTheOtherSide)
{
    // An impulse on the left only: first repeat left, the next one on the right, then left again.
    const std::vector<float> y = run(EchoParams{100, 50, 100, 100, -1}, impulse(0.5, 2, 0));
    EXPECT_NEAR(y[4410 * 2 + 0], 1.0f, 1e-6);
    EXPECT_NEAR(y[4410 * 2 + 1], 0.0f, 1e-6);
    EXPECT_NEAR(y[8820 * 2 + 0], 0.0f, 1e-6);
    EXPECT_NEAR(y[8820 * 2 + 1], 0.5f, 1e-6);
    EXPECT_NEAR(y[13230 * 2 + 0], 0.25f, 1e-6);
}

TEST_F(EchoRepeats, FullFeedbackStaysBoundedAndZeroRecordIsDry)
{
    std::vector<float> y = run(EchoParams{100, 100, 1, 1, 0}, noise(3.0, 2, 0.5));
    EXPECT_TRUE(allFinite(y));
    EXPECT_LT(peak(y, 2, 0), 100.0);
    const std::vector<float> in = sine(440, 0.2, 2);
    y = run(EchoParams{}, in);
    EXPECT_EQ(y, in);
}

TEST(Echo2Repeats, DelayMixesAndSignedFeedback)
{
    auto fx = createEffect(kEffectEcho2);
    fx->prepare(kRate, 2);
    Echo2Params p{1.0f, -0.5f, -0.5f, 0.1f};
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    std::vector<float> y = impulse(0.5, 2);
    processInBlocks(*fx, y, 2);
    EXPECT_NEAR(y[0], 1.0f, 1e-6);
    EXPECT_NEAR(y[4410 * 2], -0.5f, 1e-6);
    EXPECT_NEAR(y[8820 * 2], 0.25f, 1e-6);  // wet -0.5 times feedback -0.5
    EXPECT_NEAR(y[8820 * 2 + 1], 0.25f, 1e-6);
    // Longest delay in range works without a new allocation.
    p.delaySeconds = 6.0f;
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    fx->reset();
    std::vector<float> longer = impulse(6.5, 1);
    auto mono = createEffect(kEffectEcho2);
    mono->prepare(kRate, 1);
    ASSERT_TRUE(mono->setParameters(&p, sizeof p));
    processInBlocks(*mono, longer, 1);
    EXPECT_NEAR(longer[6 * kRate], -0.5f, 1e-6);
}

TEST(Echo2Repeats, OutOfRangeRecordIsClampedAndBounded)
{
    auto fx = createEffect(kEffectEcho2);
    fx->prepare(kRate, 2);
    Echo2Params p{5.0f, 5.0f, 1.0f, -3.0f};  // feedback 1 would grow for ever
    ASSERT_TRUE(fx->setParameters(&p, sizeof p));
    Echo2Params back{};
    ASSERT_TRUE(fx->getParameters(&back, sizeof back));
    EXPECT_EQ(back.dryMix, 2.0f);
    EXPECT_GT(back.delaySeconds, 0.0f);
    std::vector<float> y = noise(5.0, 2, 0.5);
    processInBlocks(*fx, y, 2);
    EXPECT_TRUE(allFinite(y));
    EXPECT_LT(peak(y, 2, 0), 1000.0);
}

}  // namespace
