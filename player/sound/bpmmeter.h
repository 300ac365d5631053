// The BPM measurements on a worker thread: the one a start prepares (its stream opened from the
// file) and the one a click asks for (30 seconds of audio decoded and analysed), so that the main
// timer's mix points and the schedule go on meanwhile; the result comes back on the
// user-interface thread.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace player {

class SoundDeck;

class BpmMeter {
public:
    BpmMeter();
    // Waits for a measurement that is still running.
    ~BpmMeter();
    BpmMeter(const BpmMeter&) = delete;
    BpmMeter& operator=(const BpmMeter&) = delete;

    // From the start of a measurement until its result has been handed over.
    bool running() const { return m_running.load(std::memory_order_relaxed); }
    // Measures deck.GetBPM(startSeconds, lengthSeconds, mode) on a worker (mode 2 opens the
    // deck's BPM stream first). done runs on this object's (the user-interface) thread when it
    // ends, with the result, or with nothing when discardRunning() was called meanwhile. False,
    // starting nothing, while one runs. The deck must outlive the measurement (wait() or the
    // destructor).
    bool start(SoundDeck& deck, float startSeconds, float lengthSeconds, int mode,
               std::function<void(std::optional<int>)> done);
    // The running measurement's result no longer applies (another track has started).
    void discardRunning() { ++m_generation; }
    // Blocks until the worker has finished; its result is still handed over through the event loop.
    void wait();

private:
    std::unique_ptr<QObject> m_receiver;  // results are queued to it; deleting it drops them
    std::atomic<bool> m_running{false};
    unsigned m_generation = 0;  // user-interface thread only
    std::thread m_worker;
};

}  // namespace player
