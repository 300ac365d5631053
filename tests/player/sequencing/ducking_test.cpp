// Both decks lowered (a jingle over the programme): an item started meanwhile starts at the lowered
// level, and a fade-out falls from where its deck is instead of jumping back to full first.
#include "fakedeck.h"

#include "player/sequencing/fadeout.h"
#include "player/sequencing/sequencingplayback.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using playerlogictest::FakeDeck;
using playerlogictest::FakeList;
using playerlogictest::Library;

namespace {

class DuckedDecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        player::CrossfadeRecord& music = sequencer.table().records[player::kClassMusic];
        music.fadeSeconds = 1;
        music.fadeOn = true;
        for (int i = 0; i < 3; ++i) {
            const std::string file = "/music/" + std::to_string(i) + ".wav";
            library.lengthsMs[file] = 60000;
            list.rows.push_back({"Track " + std::to_string(i), file});
        }
    }
    FakeDeck& onAir() { return static_cast<FakeDeck&>(sequencer.deckA()); }

    Library library;
    FakeDeck deck1{library, "1"};
    FakeDeck deck2{library, "2"};
    FakeList list;
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer sequencer{list, deck1, deck2, timers, [](int) { return 0; }};
};

TEST_F(DuckedDecks, ItemStartedWhileLoweredStartsLoweredAndTheFadeFallsFromThere)
{
    list.selected = 0;
    sequencer.aPlay();
    EXPECT_EQ(onAir().volume, 100);
    sequencer.SetDeckVolume(40);
    FakeDeck& outgoing = onAir();
    EXPECT_EQ(outgoing.volume, 40);

    sequencer.aNextTrack();
    FakeDeck& incoming = onAir();
    ASSERT_NE(&incoming, &outgoing);
    EXPECT_EQ(incoming.volume, 40) << "the new item came in at full volume under the jingle";
    EXPECT_EQ(incoming.volumes.back(), 40);
    ASSERT_TRUE(sequencer.fadeOut().running());
    outgoing.volumes.clear();
    timers.advance(1000ms);
    ASSERT_FALSE(outgoing.volumes.empty());
    EXPECT_LE(outgoing.volumes.front(), 40) << "the fade jumped up before it fell";
    EXPECT_GE(outgoing.volumes.front(), 39);
    for (std::size_t i = 1; i < outgoing.volumes.size(); ++i)
        ASSERT_LE(outgoing.volumes[i], outgoing.volumes[i - 1]) << "step " << i;
    EXPECT_EQ(outgoing.volumes.back(), 0);
    EXPECT_EQ(outgoing.state, engine::STATE_END);

    // Back up: the deck on air follows, and so does the next start.
    sequencer.SetDeckVolume(100);
    EXPECT_EQ(incoming.volume, 100);
    sequencer.aNextTrack();
    EXPECT_EQ(onAir().volume, 100);
    EXPECT_EQ(onAir().volumes.back(), 100);
}

TEST_F(DuckedDecks, FadeStepsScaleTheStartingVolume)
{
    EXPECT_EQ(player::FadeOut::stepVolume(100, 99), 99);
    EXPECT_EQ(player::FadeOut::stepVolume(100, 0), 0);
    EXPECT_EQ(player::FadeOut::stepVolume(50, 100), 50);
    EXPECT_EQ(player::FadeOut::stepVolume(50, 50), 25);
    EXPECT_EQ(player::FadeOut::stepVolume(50, -3), 0);
    EXPECT_EQ(player::FadeOut::stepVolume(0, 80), 0);
}

}  // namespace
