// The main timer's tick.
#include "player/sequencing/maintimer.h"

#include "engine/audioengine.h"
#include "player/sequencing/displayformat.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <exception>

namespace player {

MainTimer::MainTimer(PlaybackSequencer& sequencer, MainTimerDisplays& displays)
    : m_sequencer(sequencer), m_displays(displays)
{
}

namespace {

// Marks a tick as running for its length. A message box opened inside a tick runs a nested event
// loop; ticks (and point ticks) arriving there are dropped instead of piling up more boxes.
class TickScope {
public:
    explicit TickScope(bool& inTick) : m_inTick(inTick), m_entered(!inTick) { m_inTick = true; }
    ~TickScope()
    {
        if (m_entered)
            m_inTick = false;
    }
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
    bool entered() const { return m_entered; }

private:
    bool& m_inTick;
    const bool m_entered;
};

}  // namespace

void MainTimer::tick()
{
    const TickScope scope(m_inTick);
    if (!scope.entered())
        return;

    ++m_tick;
    SequencerDeck& deckA = m_sequencer.deckA();
    const std::int32_t position = deckA.GetPosition();
    const std::int32_t length = deckA.LengthMs();

    silenceStep();

    double gain = 0;
    const bool autoLevelOn = m_displays.autoLevel(gain);
    m_displays.showAutoLevel(autoLevelOn, gain);

    if (m_firstTick || m_tick % 20 == 0) {
        int h = 0, m = 0, s = 0;
        m_displays.localTime(h, m, s);
        m_displays.showClock(clockText(h, m, s), cpuText(m_displays.cpuLoad()), memoryText(m_displays.memoryUsed()));
    }

    SequencerDeck& a = m_sequencer.deckA();
    SequencerDeck& b = m_sequencer.deckB();
    if (m_tick % 2 == 0 && a.State() != engine::STATE_END) {
        // A stopped deck keeps the length of what it played: the times of nothing are zero.
        const bool onAir = a.State() == engine::STATE_PLAY || a.State() == engine::STATE_PAUSE;
        const TimeLabels labels = timeLabels(onAir ? position : 0, onAir ? length : 0, timeShowType);
        m_displays.showTimes(labels.main, showSecondTimeLabel ? labels.second : std::string());
        if (!onAir)
            m_displays.clearOnAirDetails();
        m_displays.showDeckStates(deckStateLine(a.GetVolume(), b.GetVolume(), a.State(), b.State()));
    }

    if (followPosition) {
        const std::int32_t state = a.State();
        m_displays.setPositionBar(
            positionBarValue(position, length, state == engine::STATE_PLAY || state == engine::STATE_PAUSE));
    }

    m_sequencer.endOfTrackTick();
    crossfadeStep();

    if (m_firstTick) {
        m_firstTick = false;
        m_displays.firstTick();
    }
}

void MainTimer::pointTick()
{
    // Inside a tick (a box of it open) the tick's own decision follows anyway.
    const TickScope scope(m_inTick);
    if (scope.entered())
        crossfadeStep();
}

void MainTimer::silenceStep()
{
    if (!m_silence.on)
        return;
    const std::int32_t state = m_sequencer.deckA().State();
    if (state == engine::STATE_PLAY || state == engine::STATE_PAUSE) {
        m_idleMs = 0;
        return;
    }
    m_idleMs += kIntervalMs;  // 64 bits: a detector left on over an empty list runs for months
    if (static_cast<std::int64_t>(m_idleMs) < static_cast<std::int64_t>(m_silence.intervalSeconds) * 1000)
        return;
    // The idle time runs on: the action repeats until something plays, every tick at first.
    SequencerHost& host = m_sequencer.host();
    // An operator's stop is over once the detector restarts play; left set, it would keep every
    // mix and fade point of the restarted list off (aNextTrack does not clear it).
    if (host.rowCount() > 0 || m_silence.action == 3)
        m_sequencer.fadeOut().setUserStop(false);
    switch (m_silence.action) {
    case 1: {
        int row = m_sequencer.lastStartedRow();
        const int rows = host.rowCount();
        if (row < 0 || row >= rows)
            row = -1;
        host.setHlIndex(row);
        if (rows > 0) {
            if (row != -1 && row != rows - 1) {
                m_sequencer.aNextTrack();
            } else {
                host.selectOnly(0, false);
                host.setHlIndex(0);
                m_sequencer.aPlay();
            }
        }
        break;
    }
    case 2:
        if (host.rowCount() > 0) {
            host.selectOnly(0, false);
            host.setHlIndex(0);
            m_sequencer.PlayTrack(0);
        }
        break;
    case 3:
        if (m_displays.loadEmergencyList() > 0) {
            host.selectOnly(0, false);
            host.setHlIndex(0);
            m_sequencer.PlayTrack(0);
        }
        break;
    default:
        break;
    }
    // A list whose every row failed (its files gone, their share down) is tried again a second
    // later, not at every tick: each try opens every row, on this thread.
    const std::int32_t after = m_sequencer.deckA().State();
    if (after != engine::STATE_PLAY && after != engine::STATE_PAUSE)
        m_idleMs = static_cast<std::int64_t>(m_silence.intervalSeconds) * 1000 - kSilenceRetryMs;
}

void MainTimer::crossfadeStep()
{
    try {
        m_sequencer.mixFadeTick();
    } catch (const std::exception& e) {
        m_sequencer.host().reportError(std::string("Exception: ") + e.what() + "\r\nFunc: maintimerTimer [crossfade]",
                                       "MainTimerError");
    }
}

}  // namespace player
