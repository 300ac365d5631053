// A playlist played through by the main timer every 50 ms of virtual time: decks in virtual time,
// the fade-out on the multimedia timer's manual clock, end messages delivered as they fall due.
#include "fakedeck.h"

#include "platform/recordedusermessages.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/sequencingplayback.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

using namespace std::chrono_literals;
using playerlogictest::FakeDeck;
using playerlogictest::FakeList;
using playerlogictest::Library;

namespace {

struct Start {
    std::int64_t atMs;
    int row;
    FakeDeck* deck;
};

class PlaythroughTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sequencer.modes().autoupdateTag = true;
        setMusic(5, 3);
    }

    void setMusic(float mixSeconds, float fadeSeconds)
    {
        player::CrossfadeRecord& r = sequencer.table().records[player::kClassMusic];
        r.mixSeconds = mixSeconds;
        r.fadeSeconds = fadeSeconds;
        r.mixOn = mixSeconds > 0;
        r.fadeOn = fadeSeconds > 0;
    }

    void addRows(int count, std::int32_t lengthMs)
    {
        for (int i = 0; i < count; ++i) {
            const std::string file = "/music/t" + std::to_string(list.rows.size()) + ".wav";
            library.lengthsMs[file] = lengthMs;
            list.rows.push_back({"Track " + std::to_string(list.rows.size()), file});
        }
    }

    void playRow(int row)
    {
        list.selected = row;
        sequencer.aPlay();
        noteStarts();
    }

    // ms of virtual time: the decks play, their end messages arrive, the fade timer runs.
    void advance(std::int64_t ms)
    {
        nowMs += ms;
        for (FakeDeck* d : {&deck1, &deck2}) {
            if (d->advance(ms))
                sequencer.WMDeckEnded(*d, d->startNumber);
        }
        timers.advance(std::chrono::milliseconds(ms));
        if (silent())
            silentAt.push_back(nowMs);
    }

    // One main-timer period, then the tick.
    void step()
    {
        advance(50);
        mainTimer.tick();
        noteStarts();
    }

    // One period as the window runs it: a mix or fade point that falls before the next tick gets
    // a one-shot of its own at its time.
    void stepWithPoints()
    {
        std::int64_t left = 50;
        for (std::int64_t ms = sequencer.msToNextPoint(); ms > 0 && ms < left; ms = sequencer.msToNextPoint()) {
            advance(ms);
            left -= ms;
            mainTimer.pointTick();
            noteStarts();
        }
        advance(left);
        mainTimer.tick();
        noteStarts();
    }

    void runUntil(std::int64_t ms)
    {
        while (nowMs < ms)
            step();
    }

    void addMissingRow()
    {
        list.rows.push_back({"Gone", "/music/gone" + std::to_string(list.rows.size()) + ".wav"});
    }

    // Neither deck sounds.
    bool silent() const { return !playing(deck1) && !playing(deck2); }

    void noteStarts()
    {
        for (FakeDeck* d : {&deck1, &deck2}) {
            std::uint32_t& seen = d == &deck1 ? seen1 : seen2;
            if (d->startNumber != seen) {
                seen = d->startNumber;
                starts.push_back({nowMs, list.hl, d});
            }
        }
    }

    bool playing(const FakeDeck& d) const { return d.state == engine::STATE_PLAY; }

    Library library;
    FakeDeck deck1{library, "1"};
    FakeDeck deck2{library, "2"};
    FakeList list;
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer sequencer{list, deck1, deck2, timers, [](int) { return 0; }};
    player::MainTimerDisplays displays;
    player::MainTimer mainTimer{sequencer, displays};
    std::int64_t nowMs = 0;
    std::uint32_t seen1 = 0;
    std::uint32_t seen2 = 0;
    std::vector<Start> starts;
    std::vector<std::int64_t> silentAt;  // times at which neither deck sounded
};

TEST_F(PlaythroughTest, MixFirstStartsNextThenFadesAndSwaps)
{
    addRows(3, 10000);
    playRow(0);
    ASSERT_EQ(starts.size(), 1u);
    FakeDeck* first = starts[0].deck;
    EXPECT_EQ(&sequencer.deckA(), first);

    runUntil(5200);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].row, 1);
    EXPECT_NE(starts[1].deck, first);
    EXPECT_GE(starts[1].atMs, 5000);
    EXPECT_LE(starts[1].atMs, 5050);
    EXPECT_EQ(first->volume, 100) << "no fade before the fade point";
    EXPECT_EQ(&sequencer.deckA(), first) << "decks swap only at the fade point";

    runUntil(7000);
    EXPECT_EQ(first->volumes.size(), 1u) << "one SetVolume(100) at start only";
    runUntil(7100);
    EXPECT_GT(first->volumes.size(), 1u);
    EXPECT_EQ(&sequencer.deckA(), starts[1].deck);

    runUntil(10000);
    // 99..0 one step at a time from the fade point, then stopped; row 2 then mixes in on the same
    // deck 5 s before row 1's end.
    ASSERT_GE(first->volumes.size(), 100u);
    ASSERT_EQ(first->volumes.front(), 100);
    for (std::size_t i = 1; i + 1 < first->volumes.size(); ++i)
        EXPECT_EQ(first->volumes[i], 100 - static_cast<int>(i));
    EXPECT_LE(first->volumes[first->volumes.size() - 2], 2);
    EXPECT_GE(first->stops, 1);
    EXPECT_TRUE(playing(*starts[1].deck));
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[2].row, 2);
    EXPECT_EQ(starts[2].deck, first);
    EXPECT_EQ(starts[2].atMs, 10000);
    EXPECT_EQ(first->volumes.back(), 100);
}

TEST_F(PlaythroughTest, LastRowFadesToItsEndWithoutSwapping)
{
    addRows(2, 10000);
    playRow(0);
    runUntil(10100);
    ASSERT_EQ(starts.size(), 2u);
    FakeDeck* last = starts[1].deck;
    // The last row (5 s to 15 s) fades from 12 s; that must not swap to the idle deck and cut it.
    runUntil(14000);
    EXPECT_TRUE(playing(*last));
    EXPECT_EQ(&sequencer.deckA(), last);
    EXPECT_LT(last->volume, 100);
    runUntil(15200);
    // The fade's last steps meet the track's own end (the decks move 50 ms at a time here).
    EXPECT_LE(last->volume, 2);
    EXPECT_EQ(list.hl, -1) << "the list ran out: everything stops";
    EXPECT_EQ(starts.size(), 2u);
    EXPECT_FALSE(playing(deck1));
    EXPECT_FALSE(playing(deck2));
}

TEST_F(PlaythroughTest, FadeFirstFadesThenMixesAndSwaps)
{
    setMusic(2, 8);
    addRows(2, 10000);
    playRow(0);
    FakeDeck* first = starts[0].deck;
    runUntil(2100);
    EXPECT_LT(first->volume, 100) << "the fade starts 8 s before the end";
    EXPECT_EQ(starts.size(), 1u);
    runUntil(8100);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_GE(starts[1].atMs, 8000);
    EXPECT_LE(starts[1].atMs, 8050);
    EXPECT_EQ(&sequencer.deckA(), starts[1].deck) << "swapped at the mix point";
    EXPECT_NEAR(first->volume, 25, 2);
    runUntil(10100);
    EXPECT_EQ(first->state, engine::STATE_END);
    EXPECT_TRUE(playing(*starts[1].deck));
}

TEST_F(PlaythroughTest, PausedFadeHolds)
{
    addRows(2, 10000);
    playRow(0);
    FakeDeck* first = starts[0].deck;
    runUntil(8000);
    const int held = first->volume;
    ASSERT_LT(held, 100);
    sequencer.aPause();
    runUntil(12000);
    EXPECT_EQ(first->volume, held);
    EXPECT_EQ(first->state, engine::STATE_PAUSE);
    sequencer.aPause();
    runUntil(12500);
    EXPECT_LT(first->volume, held);
}

TEST_F(PlaythroughTest, RepeatTrackAndBreakStopBothPoints)
{
    addRows(3, 10000);
    sequencer.modes().setRepeat(true);
    playRow(0);
    FakeDeck* first = starts[0].deck;
    runUntil(9950);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(first->volume, 100);
    runUntil(10100);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].row, 0) << "repeat plays the finished row again";

    sequencer.modes().setBreak(true);
    EXPECT_FALSE(sequencer.modes().repeat);
    sequencer.modes().oneTrack = true;
    runUntil(20200);
    EXPECT_EQ(starts.size(), 2u) << "a break starts nothing";
    EXPECT_EQ(list.hl, -1);
    EXPECT_EQ(list.selected, 1) << "the next row waits for the operator";
    EXPECT_EQ(list.focused, 1);
    EXPECT_FALSE(sequencer.modes().breakOn) << "one-track break pops up";
    EXPECT_EQ(list.breakReleases, 1);
}

TEST_F(PlaythroughTest, ExplicitTimeInTheNameSetsTheMixAndFadePoints)
{
    // Opens take 12 ms, so the mix point is acted on that much early: the fade point at the same
    // time is still ahead then, and must fade the item all the same.
    std::int64_t clockUs = 0;
    sequencer.setClock([&clockUs] { return clockUs; });
    for (FakeDeck* d : {&deck1, &deck2}) {
        d->clockUs = &clockUs;
        d->openUs = 12000;
    }
    addRows(2, 30000);
    list.rows[0].name = "Song *12.5 (edit)";
    playRow(0);
    FakeDeck* first = starts[0].deck;
    EXPECT_EQ(sequencer.GetCrossfadeClass(), player::kClassExplicit);
    while (nowMs < 17500)
        stepWithPoints();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].atMs, 17500 - 12);
    ASSERT_TRUE(sequencer.fadeOut().running()) << "the fade starts at its point";
    EXPECT_EQ(sequencer.fadeOut().deck(), first);
    EXPECT_EQ(first->volume, 100);
    EXPECT_EQ(&sequencer.deckA(), starts[1].deck) << "swapped as row 1 starts";
    EXPECT_EQ(sequencer.GetCrossfadeClass(), player::kClassMusic) << "the new row's class after the swap";
    // Over the 12.5 s written in the name.
    runUntil(23750);
    EXPECT_NEAR(first->volume, 50, 2);
    runUntil(30100);
    EXPECT_EQ(first->state, engine::STATE_END);
    EXPECT_TRUE(playing(*starts[1].deck));
}

TEST_F(PlaythroughTest, AShortItemsMixPointEndsTheFadeStillRunningOnTheOtherDeck)
{
    // Row 1 (3.5 s, *2.5) reaches its mix point 1.0 s after its start, while row 0 still fades
    // out on the other deck (1.5 s): that fade is ended, so that row 2 starts at the point and
    // row 1 fades from it.
    setMusic(1.5f, 1.5f);
    addRows(1, 10000);
    addRows(1, 3500);
    addRows(2, 10000);
    list.rows[1].name = "Short *2.5";
    playRow(0);
    FakeDeck* first = starts[0].deck;
    runUntil(9400);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].atMs, 8500);
    EXPECT_TRUE(sequencer.fadeOut().running());
    runUntil(9500);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[2].atMs, 9500) << "not held back until row 0's fade has run out";
    EXPECT_EQ(starts[2].deck, first);
    EXPECT_EQ(starts[2].row, 2);
    ASSERT_TRUE(sequencer.fadeOut().running());
    EXPECT_EQ(sequencer.fadeOut().deck(), starts[1].deck) << "row 1 fades from its point";
    EXPECT_EQ(sequencer.fadeOut().periodMs(), 25);
    EXPECT_EQ(&sequencer.deckA(), first);
}

TEST_F(PlaythroughTest, StopFadesOutAndHoldsCrossfades)
{
    addRows(2, 10000);
    playRow(0);
    FakeDeck* first = starts[0].deck;
    runUntil(1000);
    sequencer.aStop();
    EXPECT_EQ(list.hl, -1);
    EXPECT_TRUE(list.onAir.empty());
    runUntil(4500);
    EXPECT_EQ(first->state, engine::STATE_STOP) << "a user stop leaves the deck stopped, not ended";
    runUntil(12000);
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(PlaythroughTest, PlayDuringTheStopFadeBringsCrossfadesBack)
{
    addRows(3, 10000);
    playRow(0);
    runUntil(1000);
    sequencer.aStop();
    runUntil(2000);  // the stop's fade-out still runs
    ASSERT_TRUE(sequencer.fadeOut().running());
    FakeDeck* stopped = starts[0].deck;
    playRow(1);
    EXPECT_NE(stopped->state, engine::STATE_PLAY);
    EXPECT_FALSE(sequencer.userStop());
    runUntil(7100);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[2].row, 2) << "row 2 mixes in 5 s before row 1's end";
}

TEST_F(PlaythroughTest, UnplayableRowsAreSkippedInOnePass)
{
    addRows(3, 10000);
    library.lengthsMs.erase(list.rows[1].file);
    playRow(0);
    runUntil(5100);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].row, 2) << "row 1 is skipped without a message";
    EXPECT_EQ(starts[1].deck->startNumber, 2u);
    EXPECT_EQ(list.hl, 2);

    // Every row missing with repeat-list on: the chain ends after one pass, nothing spins.
    FakeList empty;
    Library none;
    FakeDeck a{none, "a"};
    FakeDeck b{none, "b"};
    platform::ManualMultimediaTimers t;
    player::PlaybackSequencer s{empty, a, b, t, [](int) { return 0; }};
    for (int i = 0; i < 5000; ++i)
        empty.rows.push_back({"x", "/missing/" + std::to_string(i)});
    s.modes().setRepeatList(true);
    empty.selected = 0;
    s.aPlay();
    EXPECT_LE(a.startNumber + b.startNumber, 5002u);
    EXPECT_EQ(empty.hl, -1);
}

TEST_F(PlaythroughTest, AFailedLastRowLetsTheItemOnAirFadeOutAndStop)
{
    setMusic(1, 0.5f);
    addRows(2, 10000);
    addMissingRow();
    playRow(0);
    runUntil(9600);
    ASSERT_EQ(list.nowPlaying, (std::vector<int>{0, 1}));
    FakeDeck* b = &static_cast<FakeDeck&>(sequencer.deckA());
    ASSERT_EQ(b->fileName, list.rows[1].file);

    // Row 1's mix point (18 s) finds only the missing row: row 1 goes on as the last one.
    runUntil(18200);
    EXPECT_EQ(list.failed, (std::vector<int>{2}));
    EXPECT_EQ(list.hl, 1);
    EXPECT_EQ(list.selected, 1);
    EXPECT_TRUE(playing(*b));
    EXPECT_EQ(b->volume, 100);
    EXPECT_FALSE(sequencer.userStop()) << "the item's own fade point stays on";

    // Its fade point (18.5 s) fades it out; then everything stops, and row 0 never comes back.
    runUntil(18800);
    EXPECT_LT(b->volume, 100);
    runUntil(21000);
    // Stepped down to the item's end (where the fade's last steps meet it).
    EXPECT_GT(b->volumes.size(), 90u);
    EXPECT_LE(b->volume, 10);
    EXPECT_TRUE(silent());
    EXPECT_EQ(list.hl, -1);
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0, 1}));
    EXPECT_LE(list.failed.size(), 2u) << "tried at the mix point and once at the end, not every tick";

}

TEST_F(PlaythroughTest, ATwoRowListWithAMissingSecondRowNeverReplaysTheFirst)
{
    setMusic(1, 0.5f);
    addRows(1, 10000);
    addMissingRow();
    playRow(0);
    runUntil(12000);
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0}));
    EXPECT_EQ(list.hl, -1);
    EXPECT_TRUE(silent());
}

TEST_F(PlaythroughTest, RepeatPlaylistWrapsPastAFailedLastRow)
{
    setMusic(1, 0.5f);
    addRows(2, 10000);
    addMissingRow();
    sequencer.modes().setRepeatList(true);
    playRow(0);
    runUntil(18200);
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(list.failed, (std::vector<int>{2}));
    EXPECT_EQ(list.hl, 0);
}

TEST_F(PlaythroughTest, AFileThatCannotBeOpenedLeavesTheItemOnAirUntouched)
{
    addRows(2, 10000);
    playRow(0);
    runUntil(3000);
    FakeDeck* onAir = &static_cast<FakeDeck&>(sequencer.deckA());
    const int stopsBefore = onAir->stops;
    addMissingRow();
    addMissingRow();

    // The operator's start of a missing row (a hand-over does the same).
    list.selected = 2;
    sequencer.aPlay();
    EXPECT_TRUE(playing(*onAir));
    EXPECT_EQ(&sequencer.deckA(), onAir);
    EXPECT_EQ(onAir->volumes, (std::vector<int>{100})) << "never faded";
    EXPECT_EQ(onAir->stops, stopsBefore);
    EXPECT_FALSE(sequencer.fadeOut().running());
    EXPECT_EQ(list.hl, 0) << "the mark stays on the row on air";
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.failed, (std::vector<int>{2, 3}));
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0})) << "nothing reported for a start that failed";
    runUntil(4000);
    EXPECT_TRUE(playing(*onAir));

    // Next still means the row after the one on air.
    sequencer.aNextTrack();
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0, 1}));
    EXPECT_EQ(list.hl, 1);
    FakeDeck* next = &static_cast<FakeDeck&>(sequencer.deckA());
    EXPECT_NE(next, onAir);
    // From the last good row, Next finds only missing rows: the item on air goes on.
    sequencer.aNextTrack();
    EXPECT_TRUE(playing(*next));
    EXPECT_EQ(list.hl, 1);
    EXPECT_EQ(next->volume, 100);
}

TEST_F(PlaythroughTest, AMixHeldPastTheFadePointStillHandsTheAirOver)
{
    // 1.5 s rows, mix 1.0 s, fade 0.5 s; row 0 a jingle without a fade point, which plays out
    // under row 1: row 1's mix point (1.0 s) comes while row 0 still sounds on the other deck, so
    // row 2 starts only at 1.5 s, after row 1's own fade point.
    setMusic(1, 0.5f);
    sequencer.table().records[player::kClassJingle] = {1, 0, true, false};
    addRows(3, 1500);
    list.rows[0].name = "jingle";
    playRow(0);
    runUntil(1600);
    ASSERT_EQ(list.nowPlaying, (std::vector<int>{0, 1, 2}));
    FakeDeck* c = &static_cast<FakeDeck&>(sequencer.deckA());
    EXPECT_EQ(c->fileName, list.rows[2].file) << "the new row is on air";
    runUntil(2400);
    EXPECT_TRUE(playing(*c)) << "the end of the faded row must not stop the new one";
    EXPECT_EQ(list.hl, 2);
}

TEST_F(PlaythroughTest, AMixPointBetweenTicksIsMetAtItsTime)
{
    // 10.03 s rows: the mix point (5.03 s) falls between two ticks.
    addRows(3, 10030);
    playRow(0);
    while (nowMs < 5100)
        stepWithPoints();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].atMs, 5030);
}

TEST_F(PlaythroughTest, AMixIsActedOnAsLongBeforeItsPointAsOpensTake)
{
    // Opens take 12 ms: the next row is opened 12 ms before the mix point, so that it sounds at it.
    std::int64_t clockUs = 0;
    sequencer.setClock([&clockUs] { return clockUs; });
    for (FakeDeck* d : {&deck1, &deck2}) {
        d->clockUs = &clockUs;
        d->openUs = 12000;
    }
    addRows(3, 10030);
    playRow(0);
    EXPECT_EQ(sequencer.openLeadMs(), 12);
    while (nowMs < 5100)
        stepWithPoints();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].atMs, 5030 - 12);
    // One stalled open moves the lead a little, never by more than it is capped at.
    deck1.openUs = deck2.openUs = 500000;
    sequencer.aNextTrack();
    EXPECT_EQ(sequencer.openLeadMs(), (3 * 12 + 40) / 4);
}

TEST_F(PlaythroughTest, AnItemOpenedAheadIsStartedAtItsPointWhateverOpensAtAStartTook)
{
    // The first row is opened as it starts (40 ms); the next ones are ready at their points and
    // start in no time: acted on 40 ms early, they would sound that much before their points.
    std::int64_t clockUs = 0;
    std::string prepared;
    sequencer.setClock([&clockUs] { return clockUs; });
    for (FakeDeck* d : {&deck1, &deck2}) {
        d->clockUs = &clockUs;
        d->openUs = 40000;
        d->preparedFile = &prepared;
    }
    addRows(3, 10030);
    playRow(0);
    EXPECT_EQ(sequencer.openLeadMs(), 0) << "the next row is ready";
    while (nowMs < 10100)
        stepWithPoints();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[1].atMs, 5030);
    EXPECT_EQ(starts[2].atMs, 10060);
}

TEST_F(PlaythroughTest, WithoutAMixPointTheNextRowStartsJustBeforeTheEnd)
{
    // The end of each row plays out under the next one: no moment without sound.
    setMusic(0, 0);
    addRows(3, 10030);
    playRow(0);
    while (nowMs < 25000)
        stepWithPoints();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[1].atMs, 10030 - player::PlaybackSequencer::kEndLeadMs);
    EXPECT_EQ(list.nowPlaying, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(silentAt.empty()) << "silence at " << silentAt.front() << " ms";
}

TEST_F(PlaythroughTest, SilenceDetectorStartsTheListFromTheTop)
{
    addRows(2, 10000);
    mainTimer.silence() = {true, 120, 2};
    runUntil(119950);
    EXPECT_TRUE(starts.empty());
    runUntil(120000);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].row, 0);

    FakeList none;
    platform::ManualMultimediaTimers t;
    Library lib;
    FakeDeck a{lib, "a"};
    FakeDeck b{lib, "b"};
    player::PlaybackSequencer s{none, a, b, t};
    player::MainTimer m{s, displays};
    m.silence() = {true, 1, 2};
    for (int i = 0; i < 100; ++i)
        m.tick();
    EXPECT_EQ(a.startNumber + b.startNumber, 0u) << "an empty list stays idle";
}

class ThrowingList : public FakeList {
public:
    std::string displayName(int row) const override
    {
        if (armed)
            throw std::runtime_error("list gone");
        return FakeList::displayName(row);
    }
    bool armed = false;
};

TEST(MainTimerGuard, CrossfadeExceptionIsShownAndTheTimerGoesOn)
{
    platform::RecordedUserMessages messages;
    platform::setUserMessages(&messages);
    Library library;
    library.lengthsMs["/a"] = 10000;
    library.lengthsMs["/b"] = 10000;
    FakeDeck a{library, "a"};
    FakeDeck b{library, "b"};
    ThrowingList list;
    list.rows = {{"a", "/a"}, {"b", "/b"}};
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer s{list, a, b, timers};
    s.table().records[player::kClassMusic] = {5, 3, true, true};
    player::MainTimerDisplays displays;
    player::MainTimer m{s, displays};
    list.selected = 0;
    s.aPlay();
    auto& onAir = static_cast<FakeDeck&>(s.deckA());
    onAir.positionMs = 6000;
    list.armed = true;  // the mix point's start reads the next row's name
    m.tick();
    platform::setUserMessages(nullptr);
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Exception: list gone\r\nFunc: maintimerTimer [crossfade]");
    EXPECT_EQ(shown[0].caption, "MainTimerError");
    EXPECT_EQ(&s.deckA(), &onAir) << "deck A is restored when the mix start throws";
    EXPECT_EQ(m.tickCount(), 1);
    EXPECT_EQ(m.intervalMs(), player::MainTimer::kIntervalMs);
}

}  // namespace

namespace {

TEST_F(PlaythroughTest, SilenceDetectorTriesAListOfMissingFilesOnceASecond)
{
    list.rows = {{"gone 1", "/gone/1"}, {"gone 2", "/gone/2"}};
    mainTimer.silence() = {true, 2, 2};
    runUntil(2000);
    ASSERT_FALSE(list.failed.empty()) << "the action ran at the interval";
    const std::size_t firstTry = list.failed.size();
    runUntil(2950);
    EXPECT_EQ(list.failed.size(), firstTry) << "no new try within the second";
    runUntil(5000);
    EXPECT_EQ(list.failed.size(), 4 * firstTry) << "one try a second";

    // Once a file is back, the next try plays it.
    library.lengthsMs["/gone/1"] = 10000;
    runUntil(6000);
    EXPECT_FALSE(silent());
    EXPECT_EQ(list.hl, 0);
    EXPECT_TRUE(deck1.fileName == "/gone/1" || deck2.fileName == "/gone/1");
}

TEST_F(PlaythroughTest, SilenceDetectorPlaysOnAfterTheLastStartedRow)
{
    addRows(3, 10000);
    playRow(0);
    sequencer.aStop();
    runUntil(4000);
    ASSERT_EQ(list.hl, -1);
    mainTimer.silence() = {true, 2, 1};
    runUntil(6000);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].row, 1) << "the row after the last started one";
    EXPECT_FALSE(sequencer.userStop()) << "crossfades work again after an automatic restart";

    // After the last row it starts again from row 0.
    sequencer.aStop();
    playRow(2);
    sequencer.aStop();
    runUntil(15000);
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_EQ(starts[3].row, 0);
}

}  // namespace

namespace {

// A display that re-enters the tick, as a message box's nested event loop would.
class ReenteringDisplays : public player::MainTimerDisplays {
public:
    player::MainTimer* timer = nullptr;
    int clockCalls = 0;
    void showClock(const std::string&, const std::string&, const std::string&) override
    {
        ++clockCalls;
        for (int i = 0; i < 3; ++i)
            timer->tick();
    }
};

TEST(MainTimerGuard, TicksDoNotPileUpInsideATick)
{
    Library library;
    FakeDeck a{library, "a"};
    FakeDeck b{library, "b"};
    FakeList list;
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer s{list, a, b, timers};
    ReenteringDisplays displays;
    player::MainTimer m{s, displays};
    displays.timer = &m;
    EXPECT_EQ(m.intervalMs(), player::MainTimer::kFirstIntervalMs);
    m.tick();
    EXPECT_EQ(m.tickCount(), 1);
    EXPECT_EQ(displays.clockCalls, 1);
    for (int i = 0; i < 19; ++i)
        m.tick();
    EXPECT_EQ(m.tickCount(), 20) << "ticks after the nested ones run normally";
    EXPECT_EQ(displays.clockCalls, 2) << "the clock shows on the first and every 20th tick";
}

}  // namespace

namespace {

TEST_F(PlaythroughTest, EndMessageOfAnEarlierStartIsIgnored)
{
    addRows(2, 10000);
    playRow(0);
    FakeDeck* deck = starts[0].deck;
    const std::uint32_t oldStart = deck->startNumber;
    playRow(0);  // the same row again lands on the other deck; start the first deck anew too
    deck->PlayFile(list.rows[1].file);
    sequencer.WMDeckEnded(*deck, oldStart);
    EXPECT_EQ(deck->state, engine::STATE_PLAY);
    sequencer.WMDeckEnded(*deck, deck->startNumber);
    EXPECT_EQ(deck->state, engine::STATE_END);
}

}  // namespace
