// The volume of both decks while a fade-out runs: the fading deck is left to its fade, the other
// follows at once, and both follow again once the fade has finished. With the decks lowered (a
// jingle over the programme) an item started meanwhile starts lowered, and a fade-out falls from
// where its deck is instead of jumping back to full first.
#include "fakedeck.h"

#include "player/sequencing/deckvolume.h"
#include "player/sequencing/fadeout.h"
#include "player/sequencing/sequencingplayback.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using playerlogictest::FakeDeck;
using playerlogictest::FakeList;
using playerlogictest::Library;

namespace {

class DeckVolumeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player::CrossfadeRecord& music = sequencer.table().records[player::kClassMusic];
        music.fadeSeconds = 2;
        music.fadeOn = true;
        for (int i = 0; i < 2; ++i) {
            const std::string file = "/music/" + std::to_string(i) + ".wav";
            library.lengthsMs[file] = 60000;
            list.rows.push_back({"Track " + std::to_string(i), file});
        }
    }

    Library library;
    FakeDeck deck1{library, "1"};
    FakeDeck deck2{library, "2"};
    FakeList list;
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer sequencer{list, deck1, deck2, timers, [](int) { return 0; }};
};

TEST_F(DeckVolumeTest, FadingDeckIsLeftToItsFade)
{
    list.selected = 0;
    sequencer.aPlay();
    FakeDeck& outgoing = static_cast<FakeDeck&>(sequencer.deckA());
    sequencer.aNextTrack();
    FakeDeck& incoming = static_cast<FakeDeck&>(sequencer.deckA());
    ASSERT_NE(&outgoing, &incoming);
    ASSERT_TRUE(sequencer.fadeOut().running());
    ASSERT_EQ(sequencer.fadeOut().deck(), &outgoing);

    timers.advance(600ms);  // 30 of the fade's 20 ms steps
    ASSERT_EQ(outgoing.volume, 70);
    outgoing.volumes.clear();

    player::applyDeckVolume(sequencer, 40);
    EXPECT_EQ(incoming.volume, 40);
    EXPECT_TRUE(outgoing.volumes.empty()) << "the fading deck jumped to the ducked volume";
    player::applyDeckVolume(sequencer, 100);
    EXPECT_EQ(incoming.volume, 100);
    EXPECT_TRUE(outgoing.volumes.empty()) << "the fading deck jumped back up";
    // The sequencer's own remembered deck volume leaves the fade alone as well.
    sequencer.SetDeckVolume(55);
    EXPECT_EQ(sequencer.deckVolume(), 55);
    EXPECT_EQ(incoming.volume, 55);
    EXPECT_TRUE(outgoing.volumes.empty()) << "SetDeckVolume fought the fade";
    player::applyDeckVolume(sequencer, 100);

    timers.advance(20ms);
    ASSERT_EQ(outgoing.volumes.size(), 1u);
    EXPECT_EQ(outgoing.volumes[0], 69) << "the fade goes on from its own step";
    timers.advance(2000ms);
    EXPECT_FALSE(sequencer.fadeOut().running());
    EXPECT_EQ(outgoing.state, engine::STATE_END);
    for (std::size_t i = 1; i < outgoing.volumes.size(); ++i)
        ASSERT_LT(outgoing.volumes[i], outgoing.volumes[i - 1]) << "step " << i;
    EXPECT_EQ(outgoing.volumes.back(), 0);

    // Once the fade is over the deck is anyone's again.
    player::applyDeckVolume(sequencer, 130);
    EXPECT_EQ(outgoing.volume, 100);
    EXPECT_EQ(incoming.volume, 100);
}

TEST_F(DeckVolumeTest, ItemStartedWhileLoweredStartsLoweredAndTheFadeFallsFromThere)
{
    list.selected = 0;
    sequencer.aPlay();
    FakeDeck& outgoing = static_cast<FakeDeck&>(sequencer.deckA());
    EXPECT_EQ(outgoing.volume, 100);
    sequencer.SetDeckVolume(40);
    EXPECT_EQ(outgoing.volume, 40);

    sequencer.aNextTrack();
    FakeDeck& incoming = static_cast<FakeDeck&>(sequencer.deckA());
    ASSERT_NE(&incoming, &outgoing);
    EXPECT_EQ(incoming.volume, 40) << "the new item came in at full volume under the jingle";
    ASSERT_TRUE(sequencer.fadeOut().running());
    outgoing.volumes.clear();
    timers.advance(2000ms);
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
    sequencer.aPrevTrack();
    EXPECT_EQ(static_cast<FakeDeck&>(sequencer.deckA()).volumes.back(), 100);

    EXPECT_EQ(player::FadeOut::stepVolume(100, 99), 99);
    EXPECT_EQ(player::FadeOut::stepVolume(50, 100), 50);
    EXPECT_EQ(player::FadeOut::stepVolume(50, 50), 25);
    EXPECT_EQ(player::FadeOut::stepVolume(50, -3), 0);
}

}  // namespace
