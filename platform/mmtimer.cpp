// Multimedia timers on their own threads, and the manual clock for tests.
#include "platform/mmtimer.h"

#include <algorithm>

namespace platform {

struct ThreadedMultimediaTimers::Timer {
    TimerId id = 0;
    std::chrono::milliseconds period{1};
    TimerCallback callback;
    std::mutex mutex;
    std::condition_variable wake;
    bool killed = false;  // guarded by mutex
    std::thread thread;
};

MultimediaTimers& MultimediaTimers::system()
{
    static ThreadedMultimediaTimers timers;
    return timers;
}

ThreadedMultimediaTimers::~ThreadedMultimediaTimers()
{
    std::map<TimerId, std::shared_ptr<Timer>> timers;
    {
        std::lock_guard lock(m_mutex);
        timers.swap(m_timers);
    }
    for (auto& [id, timer] : timers) {
        {
            std::lock_guard lock(timer->mutex);
            timer->killed = true;
        }
        timer->wake.notify_all();
        if (timer->thread.joinable()) {
            if (timer->thread.get_id() == std::this_thread::get_id())
                timer->thread.detach();
            else
                timer->thread.join();
        }
    }
}

TimerId ThreadedMultimediaTimers::start(int periodMs, TimerCallback callback)
{
    if (periodMs < 1 || !callback)
        return 0;
    auto timer = std::make_shared<Timer>();
    timer->period = std::chrono::milliseconds(periodMs);
    timer->callback = std::move(callback);
    std::lock_guard lock(m_mutex);
    timer->id = m_nextId++;
    if (m_nextId == 0)
        m_nextId = 1;
    // The thread is started under the mutex so that kill() always finds a joinable thread.
    timer->thread = std::thread(&ThreadedMultimediaTimers::run, timer);
    m_timers.emplace(timer->id, timer);
    return timer->id;
}

void ThreadedMultimediaTimers::run(std::shared_ptr<Timer> timer)
{
    using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC
    auto deadline = Clock::now() + timer->period;
    std::unique_lock lock(timer->mutex);
    for (;;) {
        while (!timer->killed && Clock::now() < deadline)
            timer->wake.wait_until(lock, deadline);
        if (timer->killed)
            return;
        lock.unlock();
        timer->callback(timer->id);
        lock.lock();
        deadline += timer->period;
        const auto now = Clock::now();
        if (now > deadline + timer->period) {
            // Far behind (the machine stalled, or the callback is slower than the period).
            const auto missed = (now - deadline) / timer->period;
            deadline += missed * timer->period;
        }
    }
}

bool ThreadedMultimediaTimers::kill(TimerId id)
{
    std::shared_ptr<Timer> timer;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_timers.find(id);
        if (it == m_timers.end())
            return false;
        timer = it->second;
        m_timers.erase(it);
    }
    {
        std::lock_guard lock(timer->mutex);
        timer->killed = true;
    }
    timer->wake.notify_all();
    if (timer->thread.get_id() == std::this_thread::get_id())
        timer->thread.detach();  // killed from its own callback: the loop ends after it returns
    else
        timer->thread.join();
    return true;
}

TimerId ManualMultimediaTimers::start(int periodMs, TimerCallback callback)
{
    if (periodMs < 1 || !callback)
        return 0;
    std::lock_guard lock(m_mutex);
    const TimerId id = m_nextId++;
    Timer timer;
    timer.periodMs = periodMs;
    timer.dueMs = m_nowMs + periodMs;
    timer.callback = std::make_shared<TimerCallback>(std::move(callback));
    m_timers.emplace(id, std::move(timer));
    return id;
}

bool ManualMultimediaTimers::kill(TimerId id)
{
    std::unique_lock lock(m_mutex);
    if (m_timers.erase(id) == 0)
        return false;
    if (m_runningThread != std::this_thread::get_id())
        m_idle.wait(lock, [&] { return m_running != id; });
    return true;
}

void ManualMultimediaTimers::advance(std::chrono::milliseconds delta)
{
    std::unique_lock lock(m_mutex);
    const std::int64_t target = m_nowMs + std::max<std::int64_t>(0, delta.count());
    for (;;) {
        // Earliest due timer; the map is ordered by id, so ties go to the earlier start.
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->second.dueMs <= target && (next == m_timers.end() || it->second.dueMs < next->second.dueMs))
                next = it;
        }
        if (next == m_timers.end())
            break;
        const TimerId id = next->first;
        m_nowMs = std::max(m_nowMs, next->second.dueMs);
        next->second.dueMs += next->second.periodMs;
        auto callback = next->second.callback;  // survives a kill from inside
        m_running = id;
        m_runningThread = std::this_thread::get_id();
        lock.unlock();
        (*callback)(id);
        lock.lock();
        m_running = 0;
        m_runningThread = {};
        m_idle.notify_all();
    }
    m_nowMs = target;
}

std::chrono::milliseconds ManualMultimediaTimers::now() const
{
    std::lock_guard lock(m_mutex);
    return std::chrono::milliseconds(m_nowMs);
}

std::size_t ManualMultimediaTimers::activeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_timers.size();
}

}  // namespace platform
