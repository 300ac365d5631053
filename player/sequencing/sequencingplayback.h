// The two decks' roles and what starts, stops and crossfades them: PlayTrack and the transport
// commands, the end-of-track message, the end-of-track branch of the main timer and the mix and
// fade decision, over decks and a list reached through small interfaces.
//
// The window owns one PlaybackSequencer over deck A and deck B (EngineDeck adapters), implements
// SequencerHost over LVMaster and its labels, and forwards: aPlay/aNextTrack/aPrevTrack/aStop/
// aPause to the methods of those names, UM_DECK_ENDED to WMDeckEnded, the crossfade controls to
// table() + readCrossfadeControls, and the main timer's tick to MainTimer (which calls
// endOfTrackTick and mixFadeTick here).
#pragma once

#include "player/sequencing/crossfade.h"
#include "player/sequencing/fadeout.h"
#include "player/sequencing/sequencing.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace player {

class SequencerDeck;

// What the operator is told when a fade-out's timer could not be made.
inline constexpr const char* kFadeTimerFailedText = "Cannot create multimedia timer (FadeOut func.)";
inline constexpr const char* kFadeTimerFailedCaption = "Error";

// The window's side of sequencing: the Main list and what a start or a stop shows.
class SequencerHost {
public:
    virtual ~SequencerHost() = default;
    virtual int rowCount() const = 0;
    virtual int hlIndex() const = 0;
    virtual void setHlIndex(int row) = 0;
    virtual int nextIndex() const = 0;
    virtual void setNextIndex(int row) = 0;
    virtual int firstSelectedRow() const = 0;
    // Clears the selection, then selects row when it is one (and focuses it when focus is set).
    virtual void selectOnly(int row, bool focus) = 0;
    virtual std::string displayName(int row) const = 0;
    virtual std::string fileName(int row) const = 0;

    // Start of PlayTrack: the BPM timer off, its label reset.
    virtual void startingTrack() {}
    // UpdateNowPlaying for the row about to start (on-air text, row name and duration, report).
    virtual void updateNowPlaying(int row) = 0;
    // After deck A has started the row: rate slider, trim label, notes, effects, scheduled rows,
    // BPM timer.
    virtual void trackStarted(int row) { (void)row; }
    // Nothing left to play: settle the scheduled rows.
    virtual void nothingToPlay() {}
    // The file of row could not be opened (the row is skipped): a window marks the row and says
    // which file failed, without a box, so that an unattended air shows why it went on or stopped.
    virtual void rowFailed(int row) { (void)row; }
    virtual void clearOnAirText() = 0;
    virtual void setPositionBar(int value) { (void)value; }
    // brOneTrack released the Break button after one track.
    virtual void breakReleased() {}
    virtual void repaint() {}
    // A fade-out's timer could not be made (its deck was stopped at once instead): tells the
    // operator. Called when the command that started the fade has finished, so the new item is
    // already on air; a window should show it through its event queue, so that the box holds up
    // neither the main timer nor a start. This default shows it at once.
    virtual void fadeTimerFailed();
    // An error met inside a main-timer tick. The same rule: a window shows it through its event
    // queue, one box at a time, so automation goes on while the box waits. Shown at once here.
    virtual void reportError(const std::string& text, const std::string& caption);
};

class PlaybackSequencer {
public:
    PlaybackSequencer(SequencerHost& host, SequencerDeck& deckA, SequencerDeck& deckB,
                      platform::MultimediaTimers& timers, RandomBelow random = defaultRandom());

    // ---- Commands -----------------------------------------------------------------------------
    void PlayTrack(int direction);
    void aPlay() { PlayTrack(0); }
    void aNextTrack() { PlayTrack(1); }
    void aPrevTrack() { PlayTrack(-1); }
    void aStop();
    void aPause();
    // UM_DECK_ENDED for deck's given start (the window maps the message to the deck).
    void WMDeckEnded(SequencerDeck& deck, std::uint32_t startNumber);

    // ---- Main-timer steps ---------------------------------------------------------------------
    // Clears the crossfade flag while deck A is neither playing nor paused, then reacts to deck A
    // having ended (break, repeat or the next row).
    void endOfTrackTick();
    // The mix and fade decision. May throw what the decks or the host throw; the caller shows it.
    void mixFadeTick();

    // ---- Crossfade ----------------------------------------------------------------------------
    void SwapDecks();
    // The current class from the selected row; nothing when no row is selected.
    void DetectCrossfadeClass();
    CrossfadeClass GetCrossfadeClass() const { return m_class; }
    CrossfadeTable& table() { return m_table; }
    ClassNames& classNames() { return m_names; }
    bool crossfadeFlag() const { return m_crossfadeFlag; }

    // Volume of both decks, remembered (the jingle window ducks the decks with it); every item
    // started from now on starts at it.
    void SetDeckVolume(int volume);
    int deckVolume() const { return m_deckVolume; }

    // ---- State --------------------------------------------------------------------------------
    SequencerHost& host() { return m_host; }
    SequencerDeck& deckA() { return *m_deckA; }
    SequencerDeck& deckB() { return *m_deckB; }
    SequencerDeck* fadedDeck() { return m_faded; }
    FadeOut& fadeOut() { return m_fade; }
    PlayModes& modes() { return m_modes; }
    int lastStartedRow() const { return m_lastStarted; }
    bool userStop() const { return m_fade.userStop(); }
    // Remaining ms of deck A's item as the mixer has it: length - position - silent tail - the
    // output's latency.
    std::int64_t remainingMs();
    // Ms until the next mix or fade point of deck A's item that has yet to fire, or -1: the main
    // timer finds a point up to a tick late, so the window runs mixFadeTick once more at it.
    std::int64_t msToNextPoint();
    // Has the row that the list would start next (as the modes and marks stand now) opened ahead
    // on the free deck, so that at its point only a start is left to do; with nothing on air (or
    // after a stop) nothing is kept open. Run after every command and tick: an edit, a mark or a
    // scheduled row changes the row, and a row picked otherwise at the point is opened then.
    void prepareNext();

    // Without a mix point the next row starts this long (plus the open lead) before the end of the
    // item on air, on the other deck, the end playing out under it: no silence falls between them
    // even when the new item comes in an output block late.
    static constexpr std::int64_t kEndLeadMs = 20;
    // A start takes a few ms (an item opened at the point, not ahead, up to 40 counted): a mix
    // or end point is acted on this much early, so that the item sounds at it. The time the
    // recent starts of the same kind took, kept apart for items opened ahead (a start alone) and
    // items opened at their start: a slow open must not make the next prepared item sound early.
    std::int64_t openLeadMs();
    // Microseconds of a steady clock; tests give their own.
    using Clock = std::function<std::int64_t()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    enum class StartResult { Started, Failed, NothingToPlay };
    // PlayTrack's start of a row, skipping rows that cannot be opened; true when one started.
    bool playSkipping(int direction);
    // One start without skipping.
    StartResult playOnce(int direction);
    // A skip chain found nothing that plays: the item on air, if any, goes on as the last one
    // (onAirRow its row again); with nothing on air everything stops.
    void keepOnAir(int onAirRow);
    // The deck on air while a command runs: during a mix deck A refers to the incoming deck.
    SequencerDeck* onAirDeck() { return m_deckA == m_deckB ? m_faded : m_deckA; }
    bool mixFired() const;
    // Deck B still fades out the item before the one on air.
    bool otherDeckFading() const;
    // The Main list as NextTrackIndex sees it now.
    TrackListState listState() const;
    int nextRow(int direction);
    // A smoothed time of the starts of one kind.
    struct StartLead {
        std::int64_t us = 0;
        bool seen = false;
        void note(std::int64_t tookUs);
    };
    // The random row draws: one drawn for prepareNext is the one the next pick takes, while the
    // list keeps its length.
    int drawForPick(int maxInclusive);
    int drawForPeek(int maxInclusive);
    // Fades the faded deck out over fadeMs; notes a timer failure for the operator.
    void startFadeOut(std::int32_t fadeMs);
    // Tells the host about a noted timer failure; only the outermost command does (a start nested
    // in the mix point must not stop half-way, with deck A still referring to deck B).
    void reportFadeTimerFailure();

    // Counts the commands running (PlayTrack, aStop, mixFadeTick) nested in one another.
    struct CommandScope {
        explicit CommandScope(int& depth) : m_depth(depth) { ++m_depth; }
        ~CommandScope() { --m_depth; }
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;
        bool outermost() const { return m_depth == 1; }
        int& m_depth;
    };

    SequencerHost& m_host;
    SequencerDeck* m_deckA;
    SequencerDeck* m_deckB;
    SequencerDeck* m_faded = nullptr;
    FadeOut m_fade;
    RandomBelow m_random;
    PlayModes m_modes;
    CrossfadeTable m_table;
    ClassNames m_names;
    CrossfadeClass m_class = kClassMusic;
    bool m_crossfadeFlag = false;
    int m_shuffleMemory = -1;
    std::optional<std::pair<int, int>> m_drawn;  // (largest row allowed, row drawn)
    int m_lastStarted = -1;
    int m_deckVolume = 100;
    int m_commandDepth = 0;
    bool m_fadeTimerFailed = false;
    // The start of deck A whose mix point has fired: a mix that found nothing to start is not
    // tried again on every tick.
    const SequencerDeck* m_mixFiredDeck = nullptr;
    std::uint32_t m_mixFiredStart = 0;
    // Set by the mix point when the item on air is due to fade once the next item sounds: the
    // fade's ms, which the start of the next item takes; -1 none.
    std::int32_t m_fadeWithMixMs = -1;
    Clock m_clock;
    StartLead m_openedLead;    // starts that opened their file
    StartLead m_preparedLead;  // starts of a file opened ahead
    std::string m_preparedFile;  // what prepareNext last asked to have ready
};

}  // namespace player
