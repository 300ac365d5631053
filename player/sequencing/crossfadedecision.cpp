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
    return length - position - static_cast<std::int64_t>(m_deckA->TrimTailSeconds() * 1000.0);
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

    // Mix point.
    if (m_deckA->State() == engine::STATE_PLAY && m_deckB->State() != engine::STATE_PLAY && !m_fade.userStop() &&
        !held) {
        const int hl = m_host.hlIndex();
        if (hl < rows - 1) {
            if (record.mixOn && remaining <= mixMs) {
                m_crossfadeFlag = true;
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
                    aNextTrack();
                }
                if (fadeMs >= mixMs) {
                    // The fade point, when on, has been passed already.
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
    if (scope.outermost())
        reportFadeTimerFailure();
}

}  // namespace player
