// The automatic level's arithmetic over crafted blocks: peaks, clamping, negative gains, quiet
// stretches, block boundaries and the guards for unusable settings.
#include "engine/autoamp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace engine {
namespace {

class AutoAmpProcTest : public ::testing::Test {
protected:
    // The working values as a running deck would hold them (no pending reset).
    void setState(std::int32_t target, std::int32_t quiet, float rate, std::int32_t window, float gain)
    {
        m_state.target = target;
        m_state.quiet = quiet;
        m_state.rate = rate;
        m_state.window = window;
        m_state.gain = gain;
        m_state.counter = 0;
        m_state.peak = 0;
        m_state.quietRun = 0;
        m_state.resetPending = false;
    }

    void run(std::vector<std::int16_t>& block)
    {
        AutoAmpProc(1, 1, block.data(), static_cast<std::uint32_t>(block.size() * 2), &m_state);
    }

    AutoAmpState m_state;
};

TEST_F(AutoAmpProcTest, LoudSampleIsClampedAndPullsTheGainDown)
{
    setState(30000, 800, 0.05f, 1000, 2.0f);
    std::vector<std::int16_t> block = {20000, -20000};
    run(block);
    EXPECT_EQ(block[0], 32767);
    // First sample: 2.0 - 2 * 0.05 * 40000 / 30000.
    const float afterFirst = static_cast<float>(2.0 - 2.0 * 0.05 * 40000.0 / 30000.0);
    // Second sample, taken with the lowered gain, is still above the target.
    const double out2 = std::nearbyint(-20000.0 * afterFirst);
    EXPECT_EQ(block[1], static_cast<std::int16_t>(out2 < -32768 ? -32768 : out2));
    const float afterSecond = static_cast<float>(afterFirst - 2.0 * 0.05 * -out2 / 30000.0);
    EXPECT_FLOAT_EQ(m_state.gain.load(), afterSecond);
    EXPECT_EQ(m_state.counter.load(), 0);
    EXPECT_EQ(m_state.peak.load(), 0);
}

TEST_F(AutoAmpProcTest, NegativeGainSilencesInsteadOfInverting)
{
    setState(30000, 0, 0.05f, 1000, -0.5f);
    std::vector<std::int16_t> block = {1000, -1000};
    run(block);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[1], 0);
    EXPECT_FLOAT_EQ(m_state.gain.load(), 0.0f);
    EXPECT_EQ(m_state.counter.load(), 2);
}

TEST_F(AutoAmpProcTest, BlocksShorterThanOneSampleChangeNothing)
{
    setState(30000, 800, 0.05f, 1, 1.5f);
    std::int16_t sample = 1000;
    AutoAmpProc(1, 1, &sample, 0, &m_state);
    AutoAmpProc(1, 1, &sample, 1, &m_state);
    EXPECT_EQ(sample, 1000);
    EXPECT_FLOAT_EQ(m_state.gain.load(), 1.5f);
    EXPECT_EQ(m_state.counter.load(), 0);
}

TEST_F(AutoAmpProcTest, QuietStretchRecoversTowardUnityFromTheSecondWindowOn)
{
    setState(30000, 800, 0.05f, 100, 0.5f);
    std::vector<std::int16_t> silence(100, 0);
    run(silence);
    // At the first window end the quiet run only equals the window, and there is no peak.
    EXPECT_FLOAT_EQ(m_state.gain.load(), 0.5f);
    EXPECT_EQ(m_state.quietRun.load(), 100);
    silence.assign(100, 0);
    run(silence);
    EXPECT_FLOAT_EQ(m_state.gain.load(), 0.75f);
    silence.assign(100, 0);
    run(silence);
    EXPECT_FLOAT_EQ(m_state.gain.load(), 0.875f);
}

TEST_F(AutoAmpProcTest, WindowEndLiftsByTargetOverPeakAcrossBlocks)
{
    setState(30000, 800, 0.05f, 10, 1.0f);
    std::vector<std::int16_t> first(6, 10000);
    std::vector<std::int16_t> second(4, 10000);
    run(first);
    EXPECT_FLOAT_EQ(m_state.gain.load(), 1.0f);
    EXPECT_EQ(m_state.counter.load(), 6);
    EXPECT_EQ(m_state.peak.load(), 10000);
    run(second);
    EXPECT_FLOAT_EQ(m_state.gain.load(), static_cast<float>(1.0 + 30000.0 * 0.05 / 10000.0));
    EXPECT_EQ(m_state.counter.load(), 0);
    EXPECT_EQ(m_state.peak.load(), 0);
}

TEST_F(AutoAmpProcTest, UnusableSettingsLeaveTheBlockAlone)
{
    setState(0, 0, 0.0f, 0, 1.0f);
    std::vector<std::int16_t> block = {30000, -30000, 5};
    const auto before = block;
    run(block);
    EXPECT_EQ(block, before);
    setState(-5, 0, 0.05f, 10, 3.0f);
    run(block);
    EXPECT_EQ(block, before);
    setState(30000, 0, std::nanf(""), 10, 3.0f);
    run(block);
    EXPECT_EQ(block, before);
}

TEST_F(AutoAmpProcTest, WithoutAWindowTheCounterStopsAtItsTop)
{
    // A delay of 0 gives window 0: no adjustment ever, and the count of a long quiet stretch
    // must neither wrap nor trigger one.
    setState(30000, 0, 0.05f, 0, 1.0f);
    m_state.counter = std::numeric_limits<std::int32_t>::max() - 1;
    std::vector<std::int16_t> block(4, 1000);
    run(block);
    EXPECT_EQ(m_state.counter.load(), std::numeric_limits<std::int32_t>::max());
    EXPECT_FLOAT_EQ(m_state.gain.load(), 1.0f);
    EXPECT_EQ(block[3], 1000);
}

TEST_F(AutoAmpProcTest, OutputStaysInRangeWhateverTheGain)
{
    setState(100000, 0, 0.0f, 1000, 3.0f);  // a target above full scale
    std::vector<std::int16_t> block = {20000, -20000};
    run(block);
    EXPECT_EQ(block[0], 32767);
    EXPECT_EQ(block[1], -32768);

    setState(30000, 0, 0.05f, 1000, 1.0e30f);
    block = {-32768, 0, 1};
    run(block);
    EXPECT_EQ(block[0], -32768);
    for (std::int16_t s : block)
        EXPECT_LE(s, 32767);
}

TEST_F(AutoAmpProcTest, ResetRestartsFromUnityAtTheNextBlock)
{
    setState(30000, 800, 0.05f, 10, 0.25f);
    m_state.counter = 7;
    m_state.peak = 5000;
    m_state.reset(AutoAmpSettings{20000, 500, 0.1f, 0.5f});
    EXPECT_FLOAT_EQ(m_state.gain.load(), 1.0f);
    std::vector<std::int16_t> block = {1000};
    run(block);
    EXPECT_EQ(block[0], 1000);  // gain 1.0, not the old 0.25
    EXPECT_EQ(m_state.counter.load(), 1);
    EXPECT_EQ(m_state.peak.load(), 1000);
    EXPECT_EQ(m_state.target.load(), 20000);
    EXPECT_FALSE(m_state.resetPending.load());
}

}  // namespace
}  // namespace engine
