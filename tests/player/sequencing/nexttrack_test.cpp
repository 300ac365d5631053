// The next-row rule, the play modes, the play-next mark and the on-air texts.
#include "player/sequencing/sequencing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class NextTrackTest : public ::testing::Test {
protected:
    int next(int direction) { return player::NextTrackIndex(direction, list, modes, random); }

    player::TrackListState list{5, 2, 4, -1, -1};
    player::PlayModes modes;
    std::vector<int> draws;
    int drawn = 3;
    player::RandomBelow random = [this](int maxInclusive) {
        draws.push_back(maxInclusive);
        return drawn;
    };
};

TEST_F(NextTrackTest, SelectedNextAndPrevious)
{
    EXPECT_EQ(next(0), 4);
    list.firstSelected = -1;
    EXPECT_EQ(next(0), -1);
    EXPECT_EQ(next(1), 3);
    EXPECT_EQ(next(-1), 1);
    list.hlIndex = 0;
    EXPECT_EQ(next(-1), -1) << "previous on row 0 stops";
    list.hlIndex = 4;
    EXPECT_EQ(next(1), -1) << "next on the last row stops";
    modes.setRepeatList(true);
    EXPECT_EQ(next(1), 0);
    list.hlIndex = -1;
    EXPECT_EQ(next(1), 0) << "nothing played yet: the first row";
    list.rowCount = 0;
    EXPECT_EQ(next(1), -1);
}

TEST_F(NextTrackTest, PlayNextMarkWinsOnceAlsoInShuffle)
{
    modes.setShuffle(true);
    list.nextIndex = 1;
    list.shuffleMemory = 3;
    EXPECT_EQ(next(1), 1);
    EXPECT_EQ(list.nextIndex, -1);
    EXPECT_EQ(list.shuffleMemory, -1);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(next(1), 3) << "then shuffle again";

    list.nextIndex = 9;  // its row was deleted
    EXPECT_EQ(next(1), -1);
    EXPECT_EQ(list.nextIndex, -1);

    list.nextIndex = 2;
    EXPECT_EQ(next(0), 4) << "play of the selected row leaves the mark";
    EXPECT_EQ(list.nextIndex, 2);
}

TEST_F(NextTrackTest, ShuffleDrawsBelowTheLastRowAndGoesBackOnce)
{
    modes.setShuffle(true);
    EXPECT_EQ(next(1), 3);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0], 3) << "rows 0..3 of 5: the last row is never drawn";
    EXPECT_EQ(list.shuffleMemory, 2);

    list.hlIndex = 3;
    EXPECT_EQ(next(-1), 2) << "previous returns to the row before the draw";
    EXPECT_EQ(list.shuffleMemory, -1);
    EXPECT_EQ(next(-1), 3) << "only once: then a new draw";

    list.shuffleMemory = 0;
    drawn = 1;
    EXPECT_EQ(next(-1), 1) << "never back to row 0";

    list = {1, 0, -1, -1, -1};
    drawn = 0;
    EXPECT_EQ(next(1), 0);
    EXPECT_EQ(draws.back(), 0);

    drawn = 99;  // a generator out of range cannot pick a row outside the list
    list = {3, 0, -1, -1, -1};
    EXPECT_EQ(next(1), 0);
}

TEST(PlayModesTest, PairsExcludeEachOther)
{
    player::PlayModes m;
    m.setRepeat(true);
    m.setBreak(true);
    EXPECT_FALSE(m.repeat);
    m.setRepeat(true);
    EXPECT_FALSE(m.breakOn);
    m.setShuffle(true);
    m.setRepeatList(true);
    EXPECT_FALSE(m.shuffle);
    m.setShuffle(true);
    EXPECT_FALSE(m.repeatList);
    EXPECT_TRUE(m.repeat) << "the pairs are independent";

    EXPECT_EQ(player::playNextMark(3, 1), 3);
    EXPECT_EQ(player::playNextMark(-1, 1), 1);
}

TEST(OnAirTextTest, TagOrBaseNameAndTrayTip)
{
    EXPECT_EQ(player::onAirText(true, "Artist", "Title", "/m/x.mp3"), "Artist\r\nTitle");
    EXPECT_EQ(player::onAirText(true, "", "Title", "/m/x.mp3"), "\r\nTitle");
    EXPECT_EQ(player::onAirText(true, "  ", std::string(" \0junk", 6), "/m/Some file.mp3"), "Some file")
        << "blank fields count as empty";
    EXPECT_EQ(player::onAirText(true, " Artist ", std::string("Title\0\0\0", 8), "/x"), "Artist\r\nTitle");
    EXPECT_EQ(player::onAirText(false, "A", "T", "/m/Some file.mp3"), "Some file");

    const std::string hundred(100, 'x');
    EXPECT_EQ(player::trayTip(hundred), std::string(62, 'x'));
    EXPECT_EQ(player::trayTip("short"), "short");
    std::string cyrillic;
    for (int i = 0; i < 70; ++i)
        cyrillic += "ж";
    const std::string tip = player::trayTip(cyrillic);
    EXPECT_EQ(tip.size(), 124u) << "62 characters, not 62 bytes";
    EXPECT_EQ(player::trayTip("ab\xD0"), "ab\xD0") << "a cut-off character is not read past the end";
}

}  // namespace
