// User streams and user DSP procedures: called with the right block sizes, in priority order,
// changing the sound in place; effects by kind share the same chain.
#include <cstring>
#include <vector>

#include "manualclocktest.h"
#include "audiolib/dsp/effectrecords.h"

using namespace audiolib;

namespace {

struct Feed {
    std::vector<std::uint32_t> lengths;
    Handle handle = 0;
    std::int16_t value = 1000;
    std::uint32_t limitBytes = 0xFFFFFFFFu;  // ends after this many
    std::uint32_t given = 0;
    bool dry = false;  // nothing to give for now, without ending
};

std::uint32_t feedProc(Handle h, void* buffer, std::uint32_t length, void* user)
{
    auto* f = static_cast<Feed*>(user);
    f->lengths.push_back(length);
    f->handle = h;
    if (f->dry)
        return 0;
    std::uint32_t n = std::min(length, f->limitBytes - f->given);
    n -= n % 4;
    auto* s = static_cast<std::int16_t*>(buffer);
    for (std::uint32_t i = 0; i < n / 2; ++i)
        s[i] = f->value;
    f->given += n;
    return f->given >= f->limitBytes ? (n | kStreamProcEnd) : n;
}

struct DspLog {
    std::vector<std::uint32_t> lengths;
    std::vector<int>* order = nullptr;
    int id = 0;
    bool channelMatches = true;
    Handle expected = 0;
};

void halve(DspHandle, Handle channel, void* buffer, std::uint32_t length, void* user)
{
    auto* log = static_cast<DspLog*>(user);
    log->lengths.push_back(length);
    log->channelMatches = log->channelMatches && channel == log->expected;
    if (log->order)
        log->order->push_back(log->id);
    auto* s = static_cast<std::int16_t*>(buffer);
    for (std::uint32_t i = 0; i < length / 2; ++i)
        s[i] = std::int16_t(s[i] / 2);
}

class ProcedureTest : public audiotest::ManualClockTest {};

}  // namespace

TEST_F(ProcedureTest, UserStreamIsAskedForWholeFramesAndPlays)
{
    Feed feed;
    const Handle h = streamCreate(44100, 2, kSpeakerFront, &feedProc, &feed);
    ASSERT_NE(h, 0u) << lastError();
    EXPECT_EQ(getLength(h), -1);
    EXPECT_EQ(lastError(), kErrorNotAvailable);
    ASSERT_TRUE(play(h, false));
    const auto mix = render(10000);
    EXPECT_EQ(feed.handle, h);
    ASSERT_FALSE(feed.lengths.empty());
    for (std::uint32_t len : feed.lengths) {
        EXPECT_EQ(len % 4, 0u);
        EXPECT_GT(len, 0u);
    }
    EXPECT_NEAR(mix[mix.size() - 1], 1000.0f / 32768.0f, 1e-4f);
    EXPECT_EQ(getPosition(h), 10000 * 4);
    streamFree(h);
}

TEST_F(ProcedureTest, UserStreamThatEndsFiresItsEndSync)
{
    Feed feed;
    feed.limitBytes = 3000 * 4;
    const Handle h = streamCreate(44100, 2, 0, &feedProc, &feed);
    ASSERT_NE(h, 0u);
    int ended = 0;
    setSyncProc(h, kSyncEnd | kSyncOnce, 0, [](SyncHandle, Handle, std::uint32_t, void* u) { ++*static_cast<int*>(u); },
                &ended);
    ASSERT_TRUE(play(h, false));
    render(2999);
    EXPECT_EQ(ended, 0);
    render(2);
    EXPECT_EQ(ended, 1);
    streamFree(h);
}

TEST_F(ProcedureTest, UserStreamWithNothingForNowStallsAndRecovers)
{
    Feed feed;
    const Handle h = streamCreate(44100, 2, 0, &feedProc, &feed);
    ASSERT_TRUE(play(h, false));
    render(100);
    feed.dry = true;
    render(44100);  // drains what was buffered, then waits
    EXPECT_EQ(isActive(h), kStalled);
    const std::int64_t stalledAt = getPosition(h);
    render(1000);
    EXPECT_EQ(getPosition(h), stalledAt);
    feed.dry = false;
    const auto mix = render(2000);
    EXPECT_EQ(isActive(h), kPlaying);
    EXPECT_GT(getPosition(h), stalledAt);
    EXPECT_NEAR(mix.back(), 1000.0f / 32768.0f, 1e-4f);
    streamFree(h);
}

TEST_F(ProcedureTest, PausedUserStreamResumesWithFreshInput)
{
    Feed feed;
    const Handle h = streamCreate(44100, 2, 0, &feedProc, &feed);
    ASSERT_TRUE(play(h, false));
    render(2000);
    ASSERT_TRUE(pause(h));
    const std::size_t calls = feed.lengths.size();
    render(44100);
    EXPECT_EQ(feed.lengths.size(), calls) << "a paused live input is not read ahead";
    feed.value = 3000;
    ASSERT_TRUE(resume(h));
    const auto mix = render(10);
    EXPECT_NEAR(mix[0], 3000.0f / 32768.0f, 1e-4f) << "nothing stale from before the pause";
    streamFree(h);
}

TEST_F(ProcedureTest, DspGetsEachMixBlockAsSixteenBitStereoInPriorityOrder)
{
    Feed feed;
    feed.value = 16000;
    const Handle h = streamCreate(44100, 2, 0, &feedProc, &feed);
    std::vector<int> order;
    DspLog low{{}, &order, 1, true, h}, high{{}, &order, 2, true, h};
    ASSERT_NE(setDsp(h, &halve, &low, 0), 0u);
    const DspHandle highHandle = setDsp(h, &halve, &high, 10000);
    ASSERT_NE(highHandle, 0u);
    ASSERT_TRUE(play(h, false));
    order.clear();
    const auto mix = render(1500);  // one block of 1024 frames, one of 476
    ASSERT_EQ(high.lengths.size(), 2u);
    EXPECT_EQ(high.lengths[0], 1024u * 4);
    EXPECT_EQ(high.lengths[1], 476u * 4);
    EXPECT_TRUE(high.channelMatches);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 1})) << "higher priority first";
    EXPECT_NEAR(mix.back(), 4000.0f / 32768.0f, 2e-4f) << "both halved the block in place";
    ASSERT_TRUE(removeDsp(h, highHandle));
    EXPECT_FALSE(removeDsp(h, highHandle));
    const auto after = render(100);
    EXPECT_NEAR(after.back(), 8000.0f / 32768.0f, 2e-4f);
    streamFree(h);
}

TEST_F(ProcedureTest, EffectsByKindKeepTheirParameters)
{
    Feed feed;
    const Handle h = streamCreate(44100, 2, 0, &feedProc, &feed);
    EXPECT_EQ(setFx(h, 42), 0u);
    EXPECT_EQ(lastError(), kErrorFxKind);
    const FxHandle comp = setFx(h, kFxCompressor);
    ASSERT_NE(comp, 0u);
    dsp::CompressorParams p{};
    ASSERT_TRUE(fxGetParameters(comp, &p, sizeof p));
    p.gainDb = -6.0f;
    ASSERT_TRUE(fxSetParameters(comp, &p, sizeof p));
    dsp::CompressorParams back{};
    ASSERT_TRUE(fxGetParameters(comp, &back, sizeof back));
    EXPECT_FLOAT_EQ(back.gainDb, -6.0f);
    EXPECT_FALSE(fxSetParameters(comp, &p, sizeof p - 1)) << "a record of the wrong size";
    EXPECT_EQ(lastError(), kErrorParameter);
    const FxHandle band = setDspFx(h, kFxPeakEq, 0);
    ASSERT_NE(band, 0u);
    dsp::PeakEqParams eq{0, 44100, 2.5f, 0.0f, 1000.0f, 6.0f};
    EXPECT_TRUE(dspFxSetParameters(band, &eq, sizeof eq));
    ASSERT_TRUE(removeFx(h, comp));
    EXPECT_FALSE(fxGetParameters(comp, &back, sizeof back));
    EXPECT_EQ(lastError(), kErrorHandle);
    EXPECT_TRUE(removeDspFx(h, band));
    streamFree(h);
    EXPECT_FALSE(dspFxSetParameters(band, &eq, sizeof eq));
}
