// The fade-out of the outgoing deck on a multimedia timer. Runs partly on the timer's thread:
// everything shared with the user-interface thread is atomic, and the deck is reached only
// through its start-guarded calls.
#include "player/sequencing/fadeout.h"

#include "engine/audioengine.h"
#include "player/sequencing/sequencingdeck.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace player {

FadeOut::FadeOut(platform::MultimediaTimers& timers) : m_timers(timers) {}

FadeOut::~FadeOut()
{
    abort();
    // A timer that killed itself from its tick may still be returning from it on its thread.
    waitForTicks(-1);
}

void FadeOut::waitForTicks(int maxWaits)
{
    for (int i = 0; m_ticking.load(std::memory_order_acquire) > 0 && i != maxWaits; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

int FadeOut::periodFor(std::int32_t fadeMs)
{
    return std::max(1, fadeMs / kSteps);
}

int FadeOut::stepVolume(int fromVolume, int stepsLeft)
{
    return (fromVolume * std::clamp(stepsLeft, 0, kSteps) + kSteps / 2) / kSteps;
}

bool FadeOut::start(SequencerDeck* deck, std::int32_t fadeMs)
{
    if (deck == nullptr || running())
        return true;
    m_deck.store(deck, std::memory_order_release);
    m_startNumber.store(deck->StartNumber(), std::memory_order_relaxed);
    m_abort.store(false, std::memory_order_relaxed);
    m_claimed.store(false, std::memory_order_relaxed);
    m_steps.store(kSteps, std::memory_order_relaxed);
    m_running.store(true, std::memory_order_release);
    const std::int32_t state = deck->State();
    // A deck that is not sounding has nothing to fade: it is finished at once rather than given a
    // stray volume step.
    if (fadeMs <= 0 || (state != engine::STATE_PLAY && state != engine::STATE_PAUSE)) {
        m_periodMs.store(0, std::memory_order_relaxed);
        finish();
        return true;
    }
    // The fade falls from where the deck is now (lowered under a jingle, say), never from full.
    const int present = deck->GetVolume();
    m_fromVolume.store(present < 0 ? 100 : std::min(present, 100), std::memory_order_relaxed);
    const int period = periodFor(fadeMs);
    m_periodMs.store(period, std::memory_order_relaxed);
    // A tick kills its timer by the id it is handed; the stored id serves abort() only.
    m_timerId.store(0, std::memory_order_relaxed);
    const platform::TimerId id = m_timers.start(period, [this](platform::TimerId timer) { tick(timer); });
    if (id == 0) {
        finish();
        return false;
    }
    m_timerId.store(id, std::memory_order_release);
    return true;
}

void FadeOut::tick(platform::TimerId id)
{
    m_ticking.fetch_add(1, std::memory_order_acq_rel);
    struct Leave {
        std::atomic<int>& count;
        ~Leave() { count.fetch_sub(1, std::memory_order_acq_rel); }  // the tick's last touch of this
    } leave{m_ticking};
    if (m_claimed.load(std::memory_order_acquire)) {
        m_timers.kill(id);
        return;
    }
    SequencerDeck* deck = m_deck.load(std::memory_order_acquire);
    const std::uint32_t startNumber = m_startNumber.load(std::memory_order_relaxed);
    if (deck->StartNumber() != startNumber) {
        // The deck plays something else now: leave it alone.
        m_timers.kill(id);
        finish();
        return;
    }
    const std::int32_t state = deck->State();
    if (state == engine::STATE_PAUSE)
        return;  // a paused deck holds its fade
    const int steps = m_steps.fetch_sub(1, std::memory_order_relaxed) - 1;
    deck->SetVolumeIfStart(startNumber, stepVolume(m_fromVolume.load(std::memory_order_relaxed), steps));
    if (steps <= 0 || state != engine::STATE_PLAY || m_abort.load(std::memory_order_relaxed)) {
        m_timers.kill(id);
        finish();
    }
}

void FadeOut::finish()
{
    if (m_claimed.exchange(true, std::memory_order_acq_rel))
        return;
    SequencerDeck* deck = m_deck.load(std::memory_order_acquire);
    const std::uint32_t startNumber = m_startNumber.load(std::memory_order_relaxed);
    deck->StopIfStart(startNumber, userStop() ? engine::STATE_STOP : engine::STATE_END);
    m_running.store(false, std::memory_order_release);
    if (m_onFinished)
        m_onFinished(deck);
}

void FadeOut::abort()
{
    if (!running())
        return;
    m_abort.store(true, std::memory_order_relaxed);
    const platform::TimerId id = m_timerId.exchange(0, std::memory_order_acq_rel);
    if (id != 0)
        m_timers.kill(id);  // waits for a tick in progress (unless it had killed itself)
    finish();
    // A tick that finished the fade itself may still be stopping the deck; the caller may reuse
    // the deck as soon as this returns (about a second at most, as ticks are short).
    waitForTicks(1000);
}

}  // namespace player
