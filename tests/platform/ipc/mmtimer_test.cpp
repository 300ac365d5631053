// Multimedia timers: refusal of short periods, absolute deadlines, killing from inside and from
// outside, and the manual clock's order of callbacks.
#include "platform/mmtimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;

TEST(ThreadedTimer, RefusesPeriodsBelowOneMillisecondAndEmptyCallbacks)
{
    ThreadedMultimediaTimers timers;
    EXPECT_EQ(timers.start(0, [](TimerId) {}), 0u);
    EXPECT_EQ(timers.start(-5, [](TimerId) {}), 0u);
    EXPECT_EQ(timers.start(10, nullptr), 0u);
    EXPECT_FALSE(timers.kill(0));
    EXPECT_FALSE(timers.kill(12345));
}

TEST(ThreadedTimer, KeepsItsPeriodWhenTheCallbackTakesTime)
{
    // With a deadline counted from the end of each callback, 12 ms of work on a 20 ms period
    // could give at most 31 ticks in a second instead of 50; the 8 ms of slack per tick absorb
    // the wake-up delays of a loaded machine.
    ThreadedMultimediaTimers timers;
    std::atomic<int> ticks{0};
    const auto owner = std::this_thread::get_id();
    std::atomic<bool> onOtherThread{true};
    const TimerId id = timers.start(20, [&](TimerId) {
        if (std::this_thread::get_id() == owner)
            onOtherThread = false;
        ++ticks;
        std::this_thread::sleep_for(12ms);
    });
    ASSERT_NE(id, 0u);
    std::this_thread::sleep_for(1000ms);
    EXPECT_TRUE(timers.kill(id));
    EXPECT_GE(ticks.load(), 40);
    EXPECT_LE(ticks.load(), 51);
    EXPECT_TRUE(onOtherThread.load());
    EXPECT_FALSE(timers.kill(id)) << "a second kill";
}

namespace {

bool waitFor(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(ThreadedTimer, KillFromInsideItsCallbackStopsIt)
{
    ThreadedMultimediaTimers timers;
    std::atomic<int> ticks{0};
    std::atomic<bool> killResult{false};
    const TimerId id = timers.start(1, [&](TimerId self) {
        if (++ticks == 3)
            killResult = timers.kill(self);
    });
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(waitFor([&] { return ticks.load() >= 3; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks.load(), 3);
    EXPECT_TRUE(killResult.load());
    EXPECT_FALSE(timers.kill(id));
}

TEST(ThreadedTimer, KillFromAnotherThreadWaitsForTheRunningCallback)
{
    ThreadedMultimediaTimers timers;
    std::atomic<bool> inside{false};
    std::atomic<int> ticks{0};
    const TimerId id = timers.start(1, [&](TimerId) {
        inside = true;
        std::this_thread::sleep_for(50ms);
        ++ticks;
        inside = false;
    });
    ASSERT_NE(id, 0u);
    while (!inside)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(timers.kill(id));
    EXPECT_FALSE(inside.load()) << "kill returned while the callback still ran";
    const int after = ticks.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks.load(), after);
}

TEST(ThreadedTimer, DestroyingTheFactoryStopsItsTimers)
{
    std::atomic<int> ticks{0};
    {
        ThreadedMultimediaTimers timers;
        timers.start(1, [&](TimerId) { ++ticks; });
        timers.start(2, [&](TimerId) { ++ticks; });
        ASSERT_TRUE(waitFor([&] { return ticks.load() > 0; }));
    }
    const int after = ticks.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ticks.load(), after);
}

TEST(ManualTimer, DueCallbacksRunInDeadlineOrderOnTheAdvancingThread)
{
    ManualMultimediaTimers timers;
    std::vector<std::pair<char, std::int64_t>> log;
    const auto owner = std::this_thread::get_id();
    bool otherThread = false;
    const TimerId a = timers.start(3, [&](TimerId) {
        otherThread |= std::this_thread::get_id() != owner;
        log.emplace_back('a', timers.now().count());
    });
    const TimerId b = timers.start(5, [&](TimerId) { log.emplace_back('b', timers.now().count()); });
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(timers.start(0, [](TimerId) {}), 0u);

    timers.advance(2ms);
    EXPECT_TRUE(log.empty());
    timers.advance(13ms);  // to 15 in one step: every tick still comes, in time order
    const std::vector<std::pair<char, std::int64_t>> expected{{'a', 3},  {'b', 5},  {'a', 6}, {'a', 9},
                                                              {'b', 10}, {'a', 12}, {'a', 15}, {'b', 15}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(timers.now(), 15ms);
    EXPECT_FALSE(otherThread);
}

TEST(ManualTimer, KillAndStartFromInsideCallbacks)
{
    ManualMultimediaTimers timers;
    std::vector<std::pair<char, std::int64_t>> log;
    int fades = 0;
    timers.start(10, [&](TimerId self) {
        log.emplace_back('f', timers.now().count());
        if (++fades == 2) {
            EXPECT_TRUE(timers.kill(self));
            // Started at virtual time 20, due at 24 and 28, both within this advance.
            timers.start(4, [&](TimerId) { log.emplace_back('n', timers.now().count()); });
        }
    });
    timers.advance(30ms);
    const std::vector<std::pair<char, std::int64_t>> expected{{'f', 10}, {'f', 20}, {'n', 24}, {'n', 28}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(timers.activeCount(), 1u);
}

TEST(ManualTimer, KillFromAnotherThreadWaitsForTheCallback)
{
    ManualMultimediaTimers timers;
    std::atomic<bool> inside{false};
    std::atomic<bool> finished{false};
    const TimerId id = timers.start(1, [&](TimerId) {
        inside = true;
        std::this_thread::sleep_for(50ms);
        finished = true;
    });
    std::thread advancer([&] { timers.advance(1ms); });
    while (!inside)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(timers.kill(id));
    EXPECT_TRUE(finished.load());
    advancer.join();
}
