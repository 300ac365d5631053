// A fade-out whose timer cannot be made: the outgoing deck stops at once and the operator is told.
#include "fakedeck.h"

#include "platform/mmtimer.h"
#include "platform/recordedusermessages.h"
#include "platform/usermessages.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace playerlogictest;

class NoTimers final : public platform::MultimediaTimers {
public:
    platform::TimerId start(int, platform::TimerCallback) override { return 0; }
    bool kill(platform::TimerId) override { return false; }
};

TEST(FadeTimerFailureTest, OutgoingDeckStopsAtOnceAndABoxSaysWhy)
{
    platform::RecordedUserMessages messages;
    platform::setUserMessages(&messages);
    Library library{{{"/a.mp3", 10000}, {"/b.mp3", 10000}}};
    FakeDeck deck1(library, "1");
    FakeDeck deck2(library, "2");
    FakeList list;
    list.rows = {{"a", "/a.mp3"}, {"b", "/b.mp3"}};
    NoTimers timers;
    player::PlaybackSequencer sequencer(list, deck1, deck2, timers);
    sequencer.table().records[player::kClassMusic] = {0.0f, 2.0f, false, true};

    list.selected = 0;
    sequencer.aPlay();
    EXPECT_TRUE(messages.shown().empty()) << "nothing was sounding, so nothing needed a timer";
    FakeDeck& first = static_cast<FakeDeck&>(sequencer.deckA());
    first.advance(3000);
    sequencer.aNextTrack();
    platform::setUserMessages(nullptr);

    EXPECT_NE(first.State(), engine::STATE_PLAY) << "the old item must not play on under the new one";
    EXPECT_EQ(sequencer.deckA().State(), engine::STATE_PLAY);
    EXPECT_EQ(list.hl, 1);
    EXPECT_FALSE(sequencer.fadeOut().running());
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Cannot create multimedia timer (FadeOut func.)");
    EXPECT_EQ(shown[0].caption, "Error");
}

// Looks at the decks at the moment a box is asked for.
class WatchingMessages final : public platform::RecordedUserMessages {
public:
    std::function<void()> onBox;
    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        if (onBox)
            onBox();
        return RecordedUserMessages::messageBox(text, caption, flags);
    }
};

TEST(FadeTimerFailureTest, TheBoxWaitsUntilTheNextItemIsOnAir)
{
    // A box is modal: asked for half-way through the start, it would keep the new item off air
    // (the old one already stopped) until the operator answered it.
    WatchingMessages messages;
    platform::setUserMessages(&messages);
    Library library{{{"/a.mp3", 10000}, {"/b.mp3", 10000}, {"/c.mp3", 10000}}};
    FakeDeck deck1(library, "1");
    FakeDeck deck2(library, "2");
    FakeList list;
    list.rows = {{"a", "/a.mp3"}, {"b", "/b.mp3"}, {"c", "/c.mp3"}};
    NoTimers timers;
    player::PlaybackSequencer sequencer(list, deck1, deck2, timers);
    sequencer.table().records[player::kClassMusic] = {0.0f, 2.0f, false, true};
    list.selected = 0;
    sequencer.aPlay();

    std::string onAirAtBox;
    int boxes = 0;
    messages.onBox = [&] {
        ++boxes;
        onAirAtBox = sequencer.deckA().State() == engine::STATE_PLAY ? static_cast<FakeDeck&>(sequencer.deckA()).fileName
                                                                     : "nothing";
    };
    static_cast<FakeDeck&>(sequencer.deckA()).advance(3000);
    sequencer.aNextTrack();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(onAirAtBox, "/b.mp3") << "the box came before the next item started";

    // The same for the operator's stop: one box, after the stop is complete.
    sequencer.aStop();
    platform::setUserMessages(nullptr);
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(list.hl, -1);
}

}  // namespace
