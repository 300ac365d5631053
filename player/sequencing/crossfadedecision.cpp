// The mix and fade decision of every main-timer tick, the deck swap and the class detection.
#include "player/sequencing/sequencingplayback.h"

#include "engine/audioengine.h"
#include "player/sequencing/sequencingdeck.h"

namespace player {

namespace {

bool playingOrPaused(const SequencerDeck& deck)
{
    const std::int32_t state = deck.State();
    return state == engine::STATE_PLAY || state == engine::STATE_PAUSE;
}

}  // namespace

void PlaybackSequencer::SwapDecks()
{
    std::swap(m_deckA, m_deckB);
}

void PlaybackSequencer::DetectCrossfadeClass()
{
    const int row = m_host.firstSelectedRow();
    if (row < 0 || row >= m_host.rowCount())
        return;
    m_class = detectCrossfadeClass(m_host.displayName(row), m_host.fileName(row), m_names, m_table);
}

std::int64_t PlaybackSequencer::remainingMs()
{
    const std::int64_t length = m_deckA->LengthMs();
    const std::int64_t position = m_deckA->GetPosition();
    // Decided on what the mixer has reached, not on what is heard: a start or a fade now is heard
    // one output latency later, as the item on air is, so each point is heard where it lies.
    return length - position - static_cast<std::int64_t>(m_deckA->TrimTailSeconds() * 1000.0) -
           m_deckA->OutputLatencyMs();
}

bool PlaybackSequencer::otherDeckFading() const
{
    return m_fade.running() && m_fade.deck() == m_deckB;
}

bool PlaybackSequencer::mixFired() const
{
    return m_mixFiredDeck == m_deckA && m_mixFiredStart == m_deckA->StartNumber();
}

std::int64_t PlaybackSequencer::msToNextPoint()
{
    if (m_deckA->State() != engine::STATE_PLAY || m_fade.userStop() || m_modes.repeat || m_modes.breakOn)
        return -1;
    const CrossfadeRecord record = m_table.records[m_class];
    const std::int64_t remaining = remainingMs();
    std::int64_t next = -1;
    const auto consider = [&](std::int64_t pointMs) {
        const std::int64_t ms = remaining - pointMs;
        if (ms > 0 && (next < 0 || ms < next))
            next = ms;
    };
    if (record.fadeOn && !m_fade.running())
        consider(record.fadeMs());
    if (m_host.hlIndex() < m_host.rowCount() - 1 && (m_deckB->State() != engine::STATE_PLAY || otherDeckFading()) &&
        !mixFired())
        consider((record.mixOn ? record.mixMs() : kEndLeadMs) + openLeadMs());
    return next;
}

void PlaybackSequencer::mixFadeTick()
{
    const CommandScope scope(m_commandDepth);
    const CrossfadeRecord record = m_table.records[m_class];
    const std::int64_t mixMs = record.mixMs();
    const std::int64_t fadeMs = record.fadeMs();
    const std::int64_t remaining = remainingMs();
    const int rows = m_host.rowCount();
    const bool held = m_modes.repeat || m_modes.breakOn;
    // Taken before the fade point below can swap the decks (deck B then is the item just faded).
    const bool otherFading = otherDeckFading();

    // Fade point.
    if (m_deckA->State() == engine::STATE_PLAY && !m_fade.userStop() && !m_fade.running() && !held &&
        m_host.hlIndex() <= rows - 1 && record.fadeOn && remaining <= fadeMs) {
        m_crossfadeFlag = true;
        m_faded = m_deckA;
        startFadeOut(record.fadeOutMs());
        if (fadeMs < mixMs) {
            // The mix point came first: the next item already plays on deck B.
            if (m_modes.repeatList || m_modes.shuffle)
                m_crossfadeFlag = false;
            // Only while deck B really plays: on the last row nothing was mixed in, and swapping
            // to the idle deck would end the fading item a fade time early.
            if (record.mixOn && m_host.hlIndex() <= rows - 1 && playingOrPaused(*m_deckB))
                SwapDecks();
            DetectCrossfadeClass();
        }
    }

    // Mix point. Deck B may still be fading out the item before (this one's mix point came sooner
    // after its start than that fade ends): the start ends that fade, as every start does, rather
    // than holding the next item back until it has run out.
    if (m_deckA->State() == engine::STATE_PLAY && (m_deckB->State() != engine::STATE_PLAY || otherFading) &&
        !m_fade.userStop() && !held) {
        const int hl = m_host.hlIndex();
        if (hl < rows - 1) {
            // Acted on an open's time early, so that the next item sounds at the point.
            const bool atMix = record.mixOn && remaining <= mixMs + openLeadMs();
            const bool atEnd = !record.mixOn && remaining <= kEndLeadMs + openLeadMs();
            if ((atMix || atEnd) && !mixFired()) {
                m_crossfadeFlag = true;
                m_mixFiredDeck = m_deckA;
                m_mixFiredStart = m_deckA->StartNumber();
                // A fade point at the mix point or before it is due by the time the next item
                // sounds. Acted on an open's time early, the mix comes before a fade point equal
                // to it is met (and a fade point passed while the other deck still faded was
                // never met), and after the swap below it never would be: the start fades the
                // item as the next one sounds.
                const bool fading = m_fade.running() && m_fade.deck() == m_deckA;
                m_fadeWithMixMs = record.fadeOn && (fadeMs >= mixMs || remaining <= fadeMs) && !fading
                                      ? record.fadeOutMs()
                                      : -1;
                // A fade still running on deck B ends before the deck is reused (and before this
                // item's own fade, as one fade runs at a time).
                if (otherDeckFading())
                    m_fade.abort();
                bool started = false;
                {
                    // The next row starts on deck B: for the length of aNextTrack deck A refers to
                    // deck B, so PlayTrack neither swaps nor fades; the guard puts deck A back
                    // whatever happens inside.
                    SequencerDeck* const realA = m_deckA;
                    struct Restore {
                        SequencerDeck*& slot;
                        SequencerDeck* value;
                        ~Restore() { slot = value; }
                    } restore{m_deckA, realA};
                    m_faded = realA;
                    m_deckA = m_deckB;
                    started = playSkipping(1);
                }
                m_fadeWithMixMs = -1;  // nothing started: the item keeps its own fade point
                if (!started) {
                    // Nothing further can start: this item plays out as the last one, with its
                    // fade point as set.
                    m_crossfadeFlag = false;
                    DetectCrossfadeClass();
                } else if (atEnd || fadeMs >= mixMs || remaining <= fadeMs) {
                    // The fade point, when on, has been passed already (or the item ends now):
                    // it comes before the mix point, or the mix was held back past it while the
                    // other deck still faded. Left unswapped, the fading item's end would be
                    // taken for the end of the item on air.
                    m_crossfadeFlag = false;
                    SwapDecks();
                    DetectCrossfadeClass();
                }
            }
        } else if (hl == rows - 1) {
            m_crossfadeFlag = false;
            DetectCrossfadeClass();
        }
    }
    if (scope.outermost()) {
        reportFadeTimerFailure();
        prepareNext();
    }
}

}  // namespace player
