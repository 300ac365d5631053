// Calls from two threads at once (the user interface starting and freeing streams, the fade-out
// timer changing volumes and stopping) against the real-time "no sound" clock: no deadlock, no
// lost end notification, no call on a freed stream that does anything but fail.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "audiolib/audiolib.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiotest.h"

using namespace audiolib;
using namespace std::chrono_literals;

namespace {

struct Counter {
    std::atomic<int> ends{0};
};

void countEnd(SyncHandle, Handle, std::uint32_t, void* user) { static_cast<Counter*>(user)->ends.fetch_add(1); }

}  // namespace

TEST(Threads, InterfaceAndFadeThreadsAtOnce)
{
    setManualClock(false);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    setConfig(kOptionBufferMs, 100);
    const auto path = audiotest::writeWav("threads.wav", audiotest::sine(300, 0.15, 44100, 2, 0.5), 44100, 2);
    std::atomic<Handle> current{0};
    std::atomic<bool> done{false};
    Counter counter;
    int playedToEnd = 0;

    std::thread fader([&] {
        setDevice(kDeviceNoSound);
        std::mt19937 rng(1);
        while (!done.load()) {
            const Handle h = current.load();
            if (h) {
                setAttributes(h, kRateUnchanged, int(rng() % 101), kPanUnchanged);
                getPosition(h);
                getLevel(h);
                if (rng() % 50 == 0)
                    stop(h);
            }
            std::this_thread::sleep_for(1ms);
        }
    });

    std::mt19937 rng(2);
    for (int round = 0; round < 40; ++round) {
        const Handle h = streamCreateFile(path, 0);
        ASSERT_NE(h, 0u) << lastError();
        const FxHandle band = setDspFx(h, kFxPeakEq, 0);
        dsp::PeakEqParams eq{0, 44100, 2.5f, 0.0f, 1000.0f, 6.0f};
        dspFxSetParameters(band, &eq, sizeof eq);
        setFx(h, kFxCompressor);
        setSyncProc(h, kSyncEnd | kSyncOnce, 0, &countEnd, &counter);
        ASSERT_TRUE(play(h, false));
        current.store(h);
        const bool letItEnd = rng() % 2 == 0;
        if (letItEnd) {
            for (int i = 0; i < 100 && isActive(h) != kStopped; ++i)
                std::this_thread::sleep_for(5ms);
            // The fader may have stopped it first: then it never ends by itself.
            if (getPosition(h) >= getLength(h))
                ++playedToEnd;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 30));
            setPosition(h, getLength(h) / 2);
        }
        current.store(0);
        ASSERT_TRUE(streamFree(h));
        EXPECT_FALSE(setAttributes(h, kRateUnchanged, 50, kPanUnchanged));
    }
    done.store(true);
    fader.join();
    std::this_thread::sleep_for(20ms);  // the sync thread delivers what is queued
    EXPECT_GE(counter.ends.load(), playedToEnd);
    EXPECT_LE(counter.ends.load(), 40);
    EXPECT_GT(renderedFrames(), 0);
    freeDevice();
    setConfig(kOptionBufferMs, 500);
    setManualClock(true);
}

namespace {

// A line input whose procedure is slow: it is still running on the decoding thread when the
// interface thread frees its stream (and the owner frees what the procedure reads right after).
struct SlowFeed {
    std::atomic<bool> inside{false};
    std::atomic<bool> freed{false};
    std::atomic<int> callsOnFeeder{0};
    std::atomic<int> calledAfterFree{0};
    std::thread::id interfaceThread;
};

std::uint32_t slowFeedProc(Handle, void* buffer, std::uint32_t lengthBytes, void* user)
{
    auto* feed = static_cast<SlowFeed*>(user);
    if (feed->freed.load())
        feed->calledAfterFree.fetch_add(1);
    const bool onFeeder = std::this_thread::get_id() != feed->interfaceThread;
    if (onFeeder) {
        feed->callsOnFeeder.fetch_add(1);
        feed->inside.store(true);
        std::this_thread::sleep_for(20ms);
    }
    std::memset(buffer, 0, lengthBytes);
    if (feed->freed.load())
        feed->calledAfterFree.fetch_add(1);  // was still running when streamFree returned
    if (onFeeder)
        feed->inside.store(false);
    return lengthBytes;
}

}  // namespace

TEST(Threads, UserStreamProcedureIsNeverRunningAfterItsStreamIsFreed)
{
    setManualClock(false);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    setConfig(kOptionBufferMs, 1000);
    SlowFeed feed;
    feed.interfaceThread = std::this_thread::get_id();
    for (int round = 0; round < 3; ++round) {
        feed.freed.store(false);
        const Handle h = streamCreate(44100, 2, 0, &slowFeedProc, &feed);
        ASSERT_NE(h, 0u) << lastError();
        ASSERT_TRUE(play(h, false));
        // Free while the decoding thread is inside the procedure.
        for (int i = 0; i < 400 && !feed.inside.load(); ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(feed.inside.load()) << "the decoding thread never called the procedure";
        ASSERT_TRUE(streamFree(h));
        feed.freed.store(true);
        std::this_thread::sleep_for(60ms);
        EXPECT_EQ(feed.calledAfterFree.load(), 0) << "round " << round;
    }
    EXPECT_GT(feed.callsOnFeeder.load(), 0);
    freeDevice();
    setConfig(kOptionBufferMs, 500);
    setManualClock(true);
}
