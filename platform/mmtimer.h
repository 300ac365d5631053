// Multimedia timers: periodic callbacks with 1 ms resolution on a thread of their own (the fade-out
// runs on one), and a manual clock with the same interface for deterministic tests.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

using TimerId = std::uint32_t;  // 0 = no timer
using TimerCallback = std::function<void(TimerId)>;

// Code that needs a multimedia timer takes a MultimediaTimers& so that tests can hand it a
// ManualMultimediaTimers.
//
// start(periodMs, callback): the callback runs every periodMs milliseconds until the timer is
// killed; returns the timer's id, or 0 when periodMs is below 1 or the callback is empty.
// kill(id): stops the timer. From the timer's own callback it returns at once (the callback
// finishes, no further call follows). From any other thread it returns only when no callback of
// that timer runs any more, so the caller may free what the callback uses; never call it while
// holding a lock the callback takes. False for an unknown or already killed id.
class MultimediaTimers {
public:
    virtual ~MultimediaTimers() = default;
    virtual TimerId start(int periodMs, TimerCallback callback) = 0;
    virtual bool kill(TimerId id) = 0;

    // The real timers of the process.
    static MultimediaTimers& system();
};

// Real timers: one thread per timer, sleeping to absolute CLOCK_MONOTONIC deadlines
// (start + n * period), so that the period does not drift with the callback's run time. A timer
// that falls more than one period behind skips the missed ticks instead of firing in a burst.
class ThreadedMultimediaTimers final : public MultimediaTimers {
public:
    ThreadedMultimediaTimers() = default;
    ~ThreadedMultimediaTimers() override;  // kills every timer still running
    TimerId start(int periodMs, TimerCallback callback) override;
    bool kill(TimerId id) override;

private:
    struct Timer;
    static void run(std::shared_ptr<Timer> timer);

    std::mutex m_mutex;
    std::map<TimerId, std::shared_ptr<Timer>> m_timers;
    TimerId m_nextId = 1;
};

// Virtual time for tests: nothing runs until advance(), which moves the clock forward and runs
// every callback that falls due, in deadline order (ties in start order), on the calling thread.
// A timer started at virtual time t first fires at t + period.
class ManualMultimediaTimers final : public MultimediaTimers {
public:
    TimerId start(int periodMs, TimerCallback callback) override;
    bool kill(TimerId id) override;

    void advance(std::chrono::milliseconds delta);
    std::chrono::milliseconds now() const;
    std::size_t activeCount() const;

private:
    struct Timer {
        std::int64_t periodMs = 0;
        std::int64_t dueMs = 0;
        std::shared_ptr<TimerCallback> callback;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;  // signalled when a callback ends
    std::map<TimerId, Timer> m_timers;
    TimerId m_running = 0;           // id whose callback runs now (0: none)
    std::thread::id m_runningThread;
    std::int64_t m_nowMs = 0;
    TimerId m_nextId = 1;
};

}  // namespace platform
