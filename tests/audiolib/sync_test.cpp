// Syncs fire at the frame that is heard, positions follow what is heard, and a sync procedure
// may stop and free its own channel.
#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

#include "manualclocktest.h"
#include "platform/window.h"

using namespace audiolib;
using audiotest::ManualClockTest;

namespace {

struct Fired {
    int count = 0;
    Handle channel = 0;
    std::int64_t renderedAt = -1;
};

void recordSync(SyncHandle, Handle channel, std::uint32_t, void* user)
{
    auto* f = static_cast<Fired*>(user);
    ++f->count;
    f->channel = channel;
    f->renderedAt = renderedFrames();
}

void freeOwnChannel(SyncHandle, Handle channel, std::uint32_t, void* user)
{
    stop(channel);
    *static_cast<bool*>(user) = streamFree(channel);
}

class SyncTest : public ManualClockTest {
protected:
    Handle openTone(int frames)
    {
        const auto path = audiotest::writeWav("tone" + std::to_string(frames) + ".wav",
                                              audiotest::sine(440, double(frames) / 44100, 44100, 2, 0.5), 44100, 2);
        const Handle h = streamCreateFile(path, 0);
        EXPECT_NE(h, 0u) << lastError();
        return h;
    }
};

class Receiver : public platform::MessageWindow {
public:
    Receiver() : MessageWindow("AudioLibSyncTest", "receiver") {}
    std::vector<std::pair<std::uint32_t, platform::LParam>> got;

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam, platform::LParam lParam) override
    {
        got.emplace_back(msg, lParam);
        return 0;
    }
};

}  // namespace

TEST_F(SyncTest, EndSyncFiresWhenTheLastFrameIsHeard)
{
    const Handle h = openTone(10000);
    Fired fired;
    ASSERT_NE(setSyncProc(h, kSyncEnd | kSyncOnce, 0, &recordSync, &fired), 0u);
    ASSERT_TRUE(play(h, false));
    render(9999);
    EXPECT_EQ(fired.count, 0);
    EXPECT_EQ(isActive(h), kPlaying);
    render(1);
    EXPECT_EQ(fired.count, 1);
    EXPECT_EQ(fired.channel, h);
    EXPECT_EQ(isActive(h), kStopped);
    render(5000);
    EXPECT_EQ(fired.count, 1) << "a one-time sync fires once";
    streamFree(h);
}

TEST_F(SyncTest, PositionSyncFiresAtItsFrameAndPositionIsWhatWasHeard)
{
    const Handle h = openTone(44100);
    Fired fired;
    ASSERT_NE(setSyncProc(h, kSyncPosition | kSyncOnce, 4410 * 4 + 2, &recordSync, &fired), 0u);
    ASSERT_TRUE(play(h, false));
    render(4410);
    EXPECT_EQ(getPosition(h), 4410 * 4);
    EXPECT_EQ(fired.count, 0);
    render(1);
    EXPECT_EQ(fired.count, 1) << "byte positions round down to the frame";
    EXPECT_EQ(getPosition(h), 4411 * 4);
    streamFree(h);
}

TEST_F(SyncTest, RepeatingPositionSyncFiresAgainAfterSeekingBack)
{
    const Handle h = openTone(44100);
    Fired fired;
    ASSERT_NE(setSyncProc(h, kSyncPosition, 1000 * 4, &recordSync, &fired), 0u);
    ASSERT_TRUE(play(h, false));
    render(2000);
    EXPECT_EQ(fired.count, 1);
    ASSERT_TRUE(setPosition(h, 500 * 4));
    render(2000);
    EXPECT_EQ(fired.count, 2);
    ASSERT_TRUE(setPosition(h, 3000 * 4));
    render(2000);
    EXPECT_EQ(fired.count, 2) << "jumping past a position does not fire it";
    streamFree(h);
}

TEST_F(SyncTest, RemovedSyncNeverFires)
{
    const Handle h = openTone(5000);
    Fired fired;
    const SyncHandle s = setSyncProc(h, kSyncEnd | kSyncOnce, 0, &recordSync, &fired);
    ASSERT_TRUE(removeSync(h, s));
    EXPECT_FALSE(removeSync(h, s));
    ASSERT_TRUE(play(h, false));
    render(8000);
    EXPECT_EQ(fired.count, 0);
    streamFree(h);
}

TEST_F(SyncTest, ProcedureMayStopAndFreeItsOwnChannel)
{
    const Handle h = openTone(3000);
    bool freed = false;
    ASSERT_NE(setSyncProc(h, kSyncEnd | kSyncOnce, 0, &freeOwnChannel, &freed), 0u);
    ASSERT_TRUE(play(h, false));
    render(4000);
    EXPECT_TRUE(freed);
    EXPECT_EQ(isActive(h), kStopped);
    EXPECT_EQ(lastError(), kErrorHandle);
    render(1000);  // the mixer carries on without it
}

TEST_F(SyncTest, MessageSyncPostsToTheDeviceWindow)
{
    freeDevice();  // this test needs a device that knows the window
    Receiver window;
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, window.handle()));
    const Handle h = openTone(2000);
    ASSERT_NE(setSyncMessage(h, kSyncEnd | kSyncOnce | kSyncMessage, 0, kSyncMessageId, 77), 0u);
    ASSERT_TRUE(play(h, false));
    render(3000);
    for (int i = 0; i < 50 && window.got.empty(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(window.got.size(), 1u);
    EXPECT_EQ(window.got[0].first, kSyncMessageId);
    EXPECT_EQ(window.got[0].second, 77);
    streamFree(h);
}

// With the real-time clock and a long buffer, the position read while playing is what is being
// heard, not what has been decoded ahead.
TEST(HeardPosition, FollowsTheClockNotTheDecoder)
{
    setManualClock(false);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    setConfig(kOptionBufferMs, 1000);
    const auto path = audiotest::writeWav("heard.wav", audiotest::sine(440, 3.0, 44100, 2, 0.5), 44100, 2);
    const Handle h = streamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(play(h, false));
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double heldMs = double(getPosition(h)) / 4 / 44.1;
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_NEAR(heldMs, elapsedMs, 60.0);
    streamFree(h);
    freeDevice();
    setConfig(kOptionBufferMs, 500);
    setManualClock(true);
}

// A seek while playing goes on from the new place at once: the output never waits on the decoder.
TEST(HeardPosition, SeekWhilePlayingNeverStalls)
{
    setManualClock(false);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    const auto path = audiotest::writeWav("seekplay.wav", audiotest::sine(440, 3.0, 44100, 2, 0.5), 44100, 2);
    const Handle h = streamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(play(h, false));
    for (std::int64_t target : {88200LL, 22050LL, 110000LL}) {
        ASSERT_TRUE(setPosition(h, target * 4));
        EXPECT_EQ(isActive(h), kPlaying) << target;
        EXPECT_GE(getPosition(h), target * 4);
        EXPECT_LT(getPosition(h), (target + 4410) * 4);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    streamFree(h);
    freeDevice();
    setManualClock(true);
}

namespace {

std::atomic<int> g_deviceFreedBySync{-1};

void freeDeviceAtEnd(SyncHandle, Handle, std::uint32_t, void*)
{
    setDevice(kDeviceNoSound);
    g_deviceFreedBySync.store(freeDevice() ? 1 : 0);
}

}  // namespace

// A sync procedure may even free the device whose sync thread runs it: that thread still has to
// finish its round inside the device afterwards.
TEST(SyncThread, ProcedureMayFreeTheDeviceItRunsOn)
{
    setManualClock(false);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    const auto path = audiotest::writeWav("freedevice.wav", audiotest::sine(440, 0.05, 44100, 2, 0.5), 44100, 2);
    const Handle h = streamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    g_deviceFreedBySync.store(-1);
    ASSERT_NE(setSyncProc(h, kSyncEnd | kSyncOnce, 0, &freeDeviceAtEnd, nullptr), 0u);
    ASSERT_TRUE(play(h, false));
    for (int i = 0; i < 400 && g_deviceFreedBySync.load() < 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(g_deviceFreedBySync.load(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the sync thread ends its round
    EXPECT_FALSE(setAttributes(h, kRateUnchanged, 50, kPanUnchanged)) << "its streams went with it";
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0)) << "the number is free again";
    freeDevice();
    setManualClock(true);
}
