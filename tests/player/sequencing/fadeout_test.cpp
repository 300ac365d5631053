// The fade-out on the multimedia timer's manual clock: one volume step per period, one stop at
// the end, holding while paused, abort, and a deck that was reused meanwhile.
#include "fakedeck.h"

#include "player/sequencing/fadeout.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using playerlogictest::FakeDeck;
using playerlogictest::Library;

namespace {

class FadeOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.lengthsMs["a.wav"] = 60000;
        deck.PlayFile("a.wav");
        deck.volumes.clear();
        fade.setOnFinished([this](player::SequencerDeck* d) {
            ++finished;
            finishedDeck = d;
        });
    }

    Library library;
    FakeDeck deck{library, "A"};
    platform::ManualMultimediaTimers timers;
    player::FadeOut fade{timers};
    int finished = 0;
    player::SequencerDeck* finishedDeck = nullptr;
};

TEST_F(FadeOutTest, VolumeFallsOneStepPerPeriodThenStopsOnce)
{
    ASSERT_TRUE(fade.start(&deck, 3000));
    EXPECT_EQ(fade.periodMs(), 30);
    EXPECT_TRUE(fade.running());
    timers.advance(29ms);
    EXPECT_TRUE(deck.volumes.empty());
    timers.advance(1ms);
    ASSERT_EQ(deck.volumes.size(), 1u);
    EXPECT_EQ(deck.volumes[0], 99);
    timers.advance(2970ms - 1ms);
    EXPECT_EQ(deck.state, engine::STATE_PLAY) << "stopped one period early";
    timers.advance(1ms);

    ASSERT_EQ(deck.volumes.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(deck.volumes[static_cast<std::size_t>(i)], 99 - i);
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(deck.stops, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(finishedDeck, &deck);
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(timers.activeCount(), 0u);

    timers.advance(1000ms);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(deck.stops, 1);
}

TEST_F(FadeOutTest, UserStopLeavesTheDeckStopped)
{
    fade.setUserStop(true);
    fade.start(&deck, 1000);
    timers.advance(1000ms);
    EXPECT_EQ(deck.state, engine::STATE_STOP);
    EXPECT_EQ(finished, 1);
}

TEST_F(FadeOutTest, ShortAndZeroFadeTimes)
{
    // Under 100 ms the period would be 0: it is held at 1 ms and the fade still runs.
    ASSERT_TRUE(fade.start(&deck, 50));
    EXPECT_EQ(fade.periodMs(), 1);
    timers.advance(99ms);
    EXPECT_EQ(deck.state, engine::STATE_PLAY);
    timers.advance(1ms);
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(deck.volumes.size(), 100u);

    deck.PlayFile("a.wav");
    deck.volumes.clear();
    ASSERT_TRUE(fade.start(&deck, 0));
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_TRUE(deck.volumes.empty());
    EXPECT_EQ(finished, 2);
}

TEST_F(FadeOutTest, SecondStartWhileRunningIsIgnored)
{
    fade.start(&deck, 1000);
    timers.advance(500ms);
    FakeDeck other{library, "B"};
    other.PlayFile("a.wav");
    fade.start(&other, 1000);
    EXPECT_EQ(fade.deck(), &deck);
    timers.advance(500ms);
    EXPECT_EQ(other.state, engine::STATE_PLAY);
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(finished, 1);
}

TEST_F(FadeOutTest, PausedDeckHoldsTheFade)
{
    fade.start(&deck, 1000);
    timers.advance(300ms);
    EXPECT_EQ(deck.volume, 70);
    deck.Pause();
    timers.advance(2000ms);
    EXPECT_EQ(deck.volume, 70);
    EXPECT_TRUE(fade.running());
    deck.Resume();
    timers.advance(100ms);
    EXPECT_EQ(deck.volume, 60);
    timers.advance(600ms);
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(finished, 1);
}

TEST_F(FadeOutTest, DeckLeavingPlayFinishesEarly)
{
    fade.start(&deck, 1000);
    timers.advance(200ms);
    deck.state = engine::STATE_END;  // its end message arrived
    timers.advance(10ms);
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(timers.activeCount(), 0u);
}

TEST_F(FadeOutTest, AbortStopsNowAndOnlyOnce)
{
    fade.start(&deck, 2000);
    timers.advance(500ms);
    fade.abort();
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(deck.stops, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(timers.activeCount(), 0u);
    const std::size_t steps = deck.volumes.size();
    timers.advance(2000ms);
    EXPECT_EQ(deck.volumes.size(), steps);
    fade.abort();
    EXPECT_EQ(finished, 1);
}

TEST_F(FadeOutTest, ReusedDeckIsLeftAlone)
{
    fade.start(&deck, 1000);
    timers.advance(300ms);
    // The same deck starts the same file again: only its start number tells the difference.
    deck.PlayFile("a.wav");
    deck.volume = 100;
    const std::size_t steps = deck.volumes.size();
    timers.advance(1000ms);
    EXPECT_EQ(deck.state, engine::STATE_PLAY);
    EXPECT_EQ(deck.volume, 100);
    EXPECT_EQ(deck.volumes.size(), steps);
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(finished, 1);

    // An abort after a reuse does not stop the new start either.
    fade.start(&deck, 1000);
    deck.PlayFile("a.wav");
    fade.abort();
    EXPECT_EQ(deck.state, engine::STATE_PLAY);
}

}  // namespace
