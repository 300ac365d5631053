// The fade-out of the outgoing deck: its volume falls one step per period on a multimedia timer
// (100 steps over the fade time, from the volume it had when the fade began), then the deck is
// stopped and marked ended.
//
// PlaybackSequencer owns one FadeOut, which holds the user-stop flag, and starts it from
// PlayTrack, aStop and the mix and fade decision. It never touches a widget: onFinished runs on
// the timer's thread (or on the caller's for an immediate stop or an abort) and the window posts
// its list repaint from there to its own thread; onFinished must not wait for that thread.
#pragma once

#include "platform/mmtimer.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace player {

class SequencerDeck;

class FadeOut {
public:
    static constexpr int kSteps = 100;

    explicit FadeOut(platform::MultimediaTimers& timers);
    ~FadeOut();  // aborts a running fade
    FadeOut(const FadeOut&) = delete;
    FadeOut& operator=(const FadeOut&) = delete;

    // Called once at the end of every fade, with the deck that faded.
    void setOnFinished(std::function<void(SequencerDeck*)> callback) { m_onFinished = std::move(callback); }

    // Fades deck out over fadeMs; 0 or less stops it at once. Nothing happens while a fade runs.
    // False only when the timer could not be created; the deck is then stopped at once (better
    // than leaving the old item playing under the new one).
    bool start(SequencerDeck* deck, std::int32_t fadeMs);
    // Ends a running fade now: kills the timer (waiting for a callback in progress) and stops the
    // deck, unless the deck has started something else meanwhile.
    void abort();

    bool running() const { return m_running.load(std::memory_order_acquire); }
    SequencerDeck* deck() const { return m_deck.load(std::memory_order_acquire); }
    int periodMs() const { return m_periodMs.load(std::memory_order_relaxed); }
    int stepsLeft() const { return m_steps.load(std::memory_order_relaxed); }
    // The multimedia timer of the fade running or last run to its end (0 before the first and
    // after an abort); the diagnostics window shows it.
    platform::TimerId timerId() const { return m_timerId.load(std::memory_order_acquire); }

    // While set, a finished fade leaves its deck stopped instead of ended.
    void setUserStop(bool on) { m_userStop.store(on, std::memory_order_relaxed); }
    bool userStop() const { return m_userStop.load(std::memory_order_relaxed); }

    // The period of a fade: a hundredth of it, at least 1 ms.
    static int periodFor(std::int32_t fadeMs);
    // The volume of a fade from fromVolume with stepsLeft of its steps to go (from 100: 99, 98 ... 0).
    static int stepVolume(int fromVolume, int stepsLeft);

private:
    void tick(platform::TimerId id);
    void finish();
    // Sleeps 1 ms at a time while a tick runs; maxWaits -1: until none runs.
    void waitForTicks(int maxWaits);

    platform::MultimediaTimers& m_timers;
    std::function<void(SequencerDeck*)> m_onFinished;
    std::atomic<SequencerDeck*> m_deck{nullptr};
    std::atomic<std::uint32_t> m_startNumber{0};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_claimed{false};  // the fade's finish has been taken by one thread
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_userStop{false};
    std::atomic<int> m_steps{0};
    std::atomic<int> m_fromVolume{100};  // the deck's volume when the fade began
    std::atomic<int> m_periodMs{0};
    std::atomic<platform::TimerId> m_timerId{0};
    std::atomic<int> m_ticking{0};  // ticks running now, on the timer's thread
};

}  // namespace player
