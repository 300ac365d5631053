// PlayTrack, the transport commands, the end-of-track message and the end-of-track branch of the
// main timer.
#include "player/sequencing/sequencingplayback.h"

#include "engine/audioengine.h"
#include "platform/usermessages.h"
#include "player/sequencing/deckvolume.h"
#include "player/sequencing/sequencingdeck.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace player {

PlaybackSequencer::PlaybackSequencer(SequencerHost& host, SequencerDeck& deckA, SequencerDeck& deckB,
                                     platform::MultimediaTimers& timers, RandomBelow random)
    : m_host(host), m_deckA(&deckA), m_deckB(&deckB), m_fade(timers), m_random(std::move(random)),
      m_clock([] {
          return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count();
      })
{
}

TrackListState PlaybackSequencer::listState() const
{
    TrackListState list;
    list.rowCount = m_host.rowCount();
    list.hlIndex = m_host.hlIndex();
    list.firstSelected = m_host.firstSelectedRow();
    list.nextIndex = m_host.nextIndex();
    list.shuffleMemory = m_shuffleMemory;
    return list;
}

int PlaybackSequencer::nextRow(int direction)
{
    TrackListState list = listState();
    const int row =
        NextTrackIndex(direction, list, m_modes, [this](int maxInclusive) { return drawForPick(maxInclusive); });
    if (list.nextIndex != m_host.nextIndex())
        m_host.setNextIndex(list.nextIndex);
    m_shuffleMemory = list.shuffleMemory;
    return row;
}

int PlaybackSequencer::drawForPick(int maxInclusive)
{
    const std::optional<std::pair<int, int>> drawn = std::exchange(m_drawn, std::nullopt);
    if (drawn && drawn->first == maxInclusive)
        return drawn->second;
    return m_random ? m_random(maxInclusive) : 0;
}

int PlaybackSequencer::drawForPeek(int maxInclusive)
{
    if (!m_drawn || m_drawn->first != maxInclusive)
        m_drawn = std::pair(maxInclusive, m_random ? m_random(maxInclusive) : 0);
    return m_drawn->second;
}

void PlaybackSequencer::prepareNext()
{
    const std::int32_t state = m_deckA->State();
    if ((state != engine::STATE_PLAY && state != engine::STATE_PAUSE) || m_fade.userStop()) {
        m_preparedFile.clear();
        m_deckB->PrepareFile({});
        return;
    }
    TrackListState list = listState();
    // Repeat starts the selected row again; a break waits for the operator's play of the row it
    // selects, which is the next one.
    int row = NextTrackIndex(m_modes.repeat ? 0 : 1, list, m_modes,
                             [this](int maxInclusive) { return drawForPeek(maxInclusive); });
    // A row that did not open is skipped at its point at once: the row that follows it is the
    // one to have ready (a random row is drawn only then). A few rows on: a list of files that
    // are all gone is not walked through at every tick.
    constexpr int kMostSkipped = 8;
    for (int skips = 0; !m_modes.shuffle && row >= 0 && row < list.rowCount && skips < kMostSkipped &&
                        m_deckB->FailsToOpen(m_host.fileName(row));
         ++skips) {
        TrackListState after;
        after.rowCount = list.rowCount;
        after.hlIndex = row;
        row = NextTrackIndex(1, after, m_modes, {});
    }
    m_preparedFile = row >= 0 && row < list.rowCount ? m_host.fileName(row) : std::string();
    m_deckB->PrepareFile(m_preparedFile);
}

void PlaybackSequencer::PlayTrack(int direction)
{
    const CommandScope scope(m_commandDepth);
    playSkipping(direction);
    if (scope.outermost()) {
        reportFadeTimerFailure();
        prepareNext();
    }
}

bool PlaybackSequencer::playSkipping(int direction)
{
    const bool mixing = m_deckA == m_deckB;
    const int onAirRow = m_host.hlIndex();
    StartResult result = playOnce(direction);
    if (result == StartResult::NothingToPlay && !mixing) {
        // The end of the list, or nothing selected: everything stops.
        m_host.nothingToPlay();
        aStop();
        m_host.repaint();
        return false;
    }
    // A row that cannot be opened is skipped to the next one; one pass over the list ends the
    // chain, so a list of missing files neither recurses nor spins in repeat or shuffle mode.
    for (int skips = 0, rows = m_host.rowCount(); result == StartResult::Failed && skips < rows; ++skips)
        result = playOnce(1);
    if (result == StartResult::Started)
        return true;
    keepOnAir(onAirRow);
    return false;
}

void PlaybackSequencer::keepOnAir(int onAirRow)
{
    SequencerDeck* const onAir = onAirDeck();
    const std::int32_t state = onAir != nullptr ? onAir->State() : engine::STATE_STOP;
    if (state != engine::STATE_PLAY && state != engine::STATE_PAUSE) {
        m_host.nothingToPlay();
        aStop();
        m_host.repaint();
        return;
    }
    // Left on a failed row, the mark would make the next start skip rows or go back to the top.
    m_host.setHlIndex(onAirRow);
    if (m_modes.autoupdateTag)
        m_host.selectOnly(onAirRow, false);
    m_host.repaint();
}

PlaybackSequencer::StartResult PlaybackSequencer::playOnce(int direction)
{
    m_host.startingTrack();
    const int row = nextRow(direction);
    m_host.setHlIndex(row);
    if (m_modes.autoupdateTag)
        m_host.selectOnly(row, false);
    if (row == -1)
        return StartResult::NothingToPlay;
    if (direction == 0 && !m_fade.running())
        m_faded = m_deckA;
    // The decks are the same only while the mix point starts the next item on deck B.
    const bool mixing = m_deckA == m_deckB;
    // The new item is opened on the free deck before anything on air is faded or stopped: a file
    // that cannot be opened leaves the item on air as it was. A fade still running on the free
    // deck is ended first, as that deck is about to be reused.
    SequencerDeck* const incoming = m_deckB;
    if (!mixing && m_fade.running() && m_fade.deck() == incoming)
        m_fade.abort();
    const std::string fileName = m_host.fileName(row);
    const bool prepared = incoming->IsPrepared(fileName);
    const std::int64_t opening = m_clock();
    incoming->PlayFile(fileName);
    if (incoming->LastError() != 0 || incoming->State() != engine::STATE_PLAY) {
        m_host.rowFailed(row);
        return StartResult::Failed;
    }
    (prepared ? m_preparedLead : m_openedLead).note(m_clock() - opening);
    // While the decks are lowered (a jingle plays over them) a new item starts at their level.
    incoming->SetVolume(m_deckVolume);
    if (!mixing) {
        m_fade.abort();
        // A play of the operator ends a stop, also one whose fade-out was still running (that
        // fade has just been ended with the stop's meaning); left set, the flag would keep every
        // mix and fade point off for the rest of the list.
        if (direction == 0)
            m_fade.setUserStop(false);
        SwapDecks();
        m_faded = m_deckB;
        startFadeOut(m_table.records[m_class].fadeOutMs());
    } else {
        if (direction == 0 && !m_fade.running())
            m_fade.setUserStop(false);
        // The item on air fades from the moment the next one sounds, when the mix point found
        // its fade point due.
        if (m_fadeWithMixMs >= 0)
            startFadeOut(std::exchange(m_fadeWithMixMs, -1));
    }
    // Only a start that succeeded reaches the on-air text and the day's report.
    m_host.updateNowPlaying(row);
    if (!m_crossfadeFlag)
        DetectCrossfadeClass();
    m_host.trackStarted(row);
    m_lastStarted = row;
    return StartResult::Started;
}

void PlaybackSequencer::StartLead::note(std::int64_t tookUs)
{
    // Smoothed over the last few starts; one stalled open must not move every later point much.
    constexpr std::int64_t kMaxOpenLeadUs = 40000;
    const std::int64_t took = std::clamp<std::int64_t>(tookUs, 0, kMaxOpenLeadUs);
    us = seen ? (3 * us + took) / 4 : took;
    seen = true;
}

std::int64_t PlaybackSequencer::openLeadMs()
{
    // The preparer is shared by both decks: either can tell whether the next file is ready.
    const bool prepared = !m_preparedFile.empty() && m_deckB->IsPrepared(m_preparedFile);
    return (prepared ? m_preparedLead : m_openedLead).us / 1000;
}

void PlaybackSequencer::startFadeOut(std::int32_t fadeMs)
{
    // The outgoing deck has already been stopped at once; the operator is told why it did not
    // fade once the command is over: a box shown here, mid-start, would hold the next item off air.
    if (!m_fade.start(m_faded, fadeMs))
        m_fadeTimerFailed = true;
}

void PlaybackSequencer::reportFadeTimerFailure()
{
    if (!m_fadeTimerFailed)
        return;
    m_fadeTimerFailed = false;
    m_host.fadeTimerFailed();
}

void SequencerHost::fadeTimerFailed()
{
    platform::messageBox(kFadeTimerFailedText, kFadeTimerFailedCaption, platform::MB_ICONERROR);
}

void SequencerHost::reportError(const std::string& text, const std::string& caption)
{
    platform::messageBox(text, caption, platform::MB_OK | platform::MB_ICONERROR);
}

void PlaybackSequencer::aStop()
{
    const CommandScope scope(m_commandDepth);
    // A paused deck must run to let its fade-out proceed.
    if (m_deckA->State() == engine::STATE_PAUSE)
        m_deckA->Resume();
    if (m_deckB->State() == engine::STATE_PAUSE)
        m_deckB->Resume();
    m_fade.setUserStop(true);
    if (m_modes.repeat) {
        m_deckA->Stop();
    } else {
        m_fade.abort();
        m_faded = m_deckA;
        startFadeOut(m_table.records[m_class].fadeOutMs());
        m_host.clearOnAirText();
    }
    if (m_deckB != m_deckA)
        m_deckB->Stop();
    m_host.setHlIndex(-1);
    m_host.repaint();
    if (scope.outermost())
        reportFadeTimerFailure();
}

void PlaybackSequencer::aPause()
{
    if (m_deckA->State() == engine::STATE_PAUSE) {
        m_deckA->Resume();
        if (m_deckB->State() == engine::STATE_PAUSE)
            m_deckB->Resume();
        return;
    }
    if (m_deckA->State() == engine::STATE_PLAY)
        m_deckA->Pause();
    if (m_deckB->State() == engine::STATE_PLAY)
        m_deckB->Pause();
}

void PlaybackSequencer::WMDeckEnded(SequencerDeck& deck, std::uint32_t startNumber)
{
    if (deck.State() == engine::STATE_PLAY)
        deck.StopIfStart(startNumber, engine::STATE_END);
}

void PlaybackSequencer::SetDeckVolume(int volume)
{
    m_deckVolume = std::clamp(volume, 0, 100);
    // A deck that is fading out keeps its own falling volume.
    applyDeckVolume(*this, volume);
}

void PlaybackSequencer::endOfTrackTick()
{
    const std::int32_t state = m_deckA->State();
    if (state != engine::STATE_PLAY && state != engine::STATE_PAUSE)
        m_crossfadeFlag = false;
    if (state != engine::STATE_END || m_crossfadeFlag)
        return;
    m_host.setPositionBar(0);
    m_deckA->Stop();
    if (m_faded == m_deckB)
        m_fade.abort();
    m_host.clearOnAirText();
    if (m_modes.breakOn) {
        if (m_modes.oneTrack) {
            m_modes.breakOn = false;
            m_host.breakReleased();
        }
        const int row = nextRow(1);
        if (row >= 0 && row < m_host.rowCount())
            m_host.selectOnly(row, true);  // it waits for the operator's play
        m_host.setHlIndex(-1);
        m_host.repaint();
    } else if (m_modes.repeat) {
        aPlay();
    } else {
        aNextTrack();
    }
}

}  // namespace player
