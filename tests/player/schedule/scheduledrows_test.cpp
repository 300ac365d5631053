// The Main list's scheduled rows: where a due entry's rows go, how a started block turns from
// waiting to started, and how it is taken out once the programme has moved past it.
#include "player/schedule/scheduledrows.h"

#include "player/playlist/playlistrows.h"

#include <gtest/gtest.h>

using namespace player;

namespace {

controls::TVirtualItem row(const QString& name, int kind = kImageOrdinary)
{
    controls::TVirtualItem r;
    r.SubItems[kColName] = name;
    r.SubItems[kColPath] = "/m/" + name + ".mp3";
    r.ImageIndex = kind;
    return r;
}

std::vector<QString> names(const controls::VqRowList& list)
{
    std::vector<QString> out;
    for (const auto& r : list.Rows)
        out.push_back(r.SubItems[kColName]);
    return out;
}

std::vector<int> kinds(const controls::VqRowList& list)
{
    std::vector<int> out;
    for (const auto& r : list.Rows)
        out.push_back(r.ImageIndex);
    return out;
}

// Plays row as PlayTrack does: the playing mark, then the scheduled rows' turn.
void start(controls::VqRowList& list, int row, bool& inBlock)
{
    list.HLIndex = row;
    if (markScheduledRowStarted(list, row, inBlock))
        settleScheduledRows(list, inBlock);
}

class ScheduledRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* n : {"A", "B", "C"})
            list.Rows.push_back(row(n));
    }
    controls::VqRowList list;
    bool inBlock = false;
};

TEST_F(ScheduledRows, ABlockGoesInAfterThePlayingRowOrAtTheTop)
{
    EXPECT_EQ(scheduleInsertionPoint(list), 0);
    list.HLIndex = 1;
    list.NextIndex = 2;
    EXPECT_EQ(scheduleInsertionPoint(list), 2);
    EXPECT_EQ(insertScheduledRows(list, 2, {row("S1"), row("S2")}), 2);
    EXPECT_EQ(names(list), (std::vector<QString>{"A", "B", "S1", "S2", "C"}));
    EXPECT_EQ(kinds(list), (std::vector<int>{0, 0, 24, 24, 0}));
    EXPECT_EQ(list.HLIndex, 1);
    EXPECT_EQ(list.NextIndex, 4) << "the play-next mark left its row";
    insertScheduledRows(list, 99, {scheduledFileRow("/m/news.mp3")});
    EXPECT_EQ(list.Rows.back().SubItems[kColPath], "/m/news.mp3");
    EXPECT_TRUE(list.Rows.back().SubItems[kColName].isEmpty());
    EXPECT_EQ(list.Rows.back().ImageIndex, kImageScheduledWaiting);
}

TEST_F(ScheduledRows, AFinishedBlockDisappearsWhenTheNextRowStarts)
{
    list.HLIndex = 0;
    insertScheduledRows(list, 1, {row("S1"), row("S2"), row("S3")});  // A S1 S2 S3 B C
    start(list, 1, inBlock);
    EXPECT_EQ(kinds(list), (std::vector<int>{0, 25, 24, 24, 0, 0}));
    start(list, 2, inBlock);
    start(list, 3, inBlock);
    EXPECT_EQ(kinds(list), (std::vector<int>{0, 25, 25, 25, 0, 0}));
    EXPECT_TRUE(inBlock);
    start(list, 4, inBlock);  // B, the first ordinary row after the block
    EXPECT_EQ(names(list), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(list.HLIndex, 1) << "the playing row lost its mark";
    EXPECT_FALSE(inBlock);
}

TEST_F(ScheduledRows, SettlingAfterPreviousKeepsThePlayingRow)
{
    list.HLIndex = 1;
    insertScheduledRows(list, 2, {row("S1"), row("S2")});  // A B S1 S2 C
    start(list, 2, inBlock);
    start(list, 3, inBlock);
    ASSERT_TRUE(inBlock);
    start(list, 2, inBlock);  // "Previous": back into the block
    EXPECT_EQ(list.rowCount(), 5);
    start(list, 1, inBlock);  // and back to B, before the block
    EXPECT_EQ(names(list), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(list.HLIndex, 1) << "the block after the playing row moved its mark";
    EXPECT_FALSE(inBlock);
}

TEST_F(ScheduledRows, ASkippedWaitingRowDoesNotHoldUpLaterBlocks)
{
    list.HLIndex = 0;
    insertScheduledRows(list, 1, {row("X")});  // A X B C: X is skipped
    list.HLIndex = 2;                           // the operator started B past it
    insertScheduledRows(list, 3, {row("S")});  // A X B S C
    start(list, 3, inBlock);
    EXPECT_TRUE(inBlock);
    start(list, 4, inBlock);
    EXPECT_EQ(names(list), (std::vector<QString>{"A", "X", "B", "C"}));
    EXPECT_EQ(list.HLIndex, 3);
    EXPECT_EQ(list.Rows[1].ImageIndex, kImageScheduledWaiting) << "the skipped row stays for the operator";
}

TEST_F(ScheduledRows, AWaitingRowAheadKeepsTheStartedOnes)
{
    list.HLIndex = 0;
    insertScheduledRows(list, 1, {row("S1"), row("S2")});  // A S1 S2 B C
    start(list, 1, inBlock);
    EXPECT_FALSE(settleScheduledRows(list, inBlock)) << "S2 is still to come";
    EXPECT_EQ(list.rowCount(), 5);
    // When the list runs out (nothing plays) with no waiting row left, every started row goes.
    list.Rows[2].ImageIndex = kImageScheduledPlaying;
    list.HLIndex = -1;
    EXPECT_TRUE(settleScheduledRows(list, inBlock));
    EXPECT_EQ(names(list), (std::vector<QString>{"A", "B", "C"}));
    // An ordinary start with no block playing asks for no settling.
    EXPECT_FALSE(markScheduledRowStarted(list, 0, false));
    EXPECT_FALSE(markScheduledRowStarted(list, 17, false));
    EXPECT_TRUE(markScheduledRowStarted(list, 0, true));
}

}  // namespace
