// The volume of both decks while a fade-out runs: the fading deck is left to its fade, the other
// follows at once, and both follow again once the fade has finished.
#include "fakedeck.h"

#include "player/sequencing/deckvolume.h"
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

}  // namespace
