// The playlist rows: marks across delete, paste, undo and drag; the undo levels; keyword styles.
#include "controls/vqrowlist.h"

#include <gtest/gtest.h>

#include <numeric>

using controls::ClipboardRows;
using controls::TVirtualItem;
using controls::VqRowList;

namespace {

// Rows "r0".."r<n-1>", each with its name in SubItems[1] and its number as ImageIndex.
VqRowList makeList(int n)
{
    VqRowList list;
    for (int i = 0; i < n; ++i) {
        const int row = list.addRow(QString("r%1").arg(i));
        list.setCell(QString("name %1").arg(i), row, 1);
        list.setCell(QString("/music/%1.mp3").arg(i), row, 3);
        list.Rows[static_cast<size_t>(row)].ImageIndex = i;
    }
    return list;
}

QStringList captions(const VqRowList& list)
{
    QStringList out;
    for (const auto& row : list.Rows)
        out << row.Caption;
    return out;
}

QString captionAt(const VqRowList& list, int index)
{
    return index >= 0 && index < list.rowCount() ? list.Rows[static_cast<size_t>(index)].Caption : QString();
}

}  // namespace

TEST(VqRowListMarks, DeletingOtherRowsKeepsBothMarksOnTheirRows)
{
    VqRowList list = makeList(8);
    list.HLIndex = 5;
    list.NextIndex = 2;
    list.deleteRows({0, 3, 7});
    EXPECT_EQ(captionAt(list, list.HLIndex), "r5");
    EXPECT_EQ(captionAt(list, list.NextIndex), "r2");
    for (const auto& row : list.Rows)
        EXPECT_FALSE(row.Caption.startsWith('@') || row.Caption.startsWith('?'));
}

TEST(VqRowListMarks, PlayingAndNextOnTheSameRowSurviveDeletion)
{
    VqRowList list = makeList(6);
    list.HLIndex = 4;
    list.NextIndex = 4;
    list.deleteRow(1);
    EXPECT_EQ(list.HLIndex, 3);
    EXPECT_EQ(list.NextIndex, 3);
    EXPECT_EQ(captionAt(list, 3), "r4");
}

TEST(VqRowListMarks, CaptionsThatLookLikeMarkersAreKeptAsTheyAre)
{
    VqRowList list = makeList(4);
    list.Rows[0].Caption = "@home";
    list.Rows[1].Caption = "?what";
    list.HLIndex = 3;
    list.deleteRow(2);
    EXPECT_EQ(captions(list), (QStringList{"@home", "?what", "r3"}));
    EXPECT_EQ(list.HLIndex, 2);
    EXPECT_EQ(list.NextIndex, -1);
}

TEST(VqRowListMarks, DeletingAMarkedRowClearsOnlyThatMark)
{
    VqRowList list = makeList(5);
    list.HLIndex = 1;
    list.NextIndex = 3;
    list.deleteRows({1});
    EXPECT_EQ(list.HLIndex, -1);
    EXPECT_EQ(captionAt(list, list.NextIndex), "r3");
}

TEST(VqRowListMarks, MarksPastTheEndAfterUndoCountAsNone)
{
    VqRowList list = makeList(3);
    list.saveUndo();
    for (int i = 0; i < 5; ++i)
        list.addRow("extra");
    list.HLIndex = 7;
    list.NextIndex = 6;
    list.undo();  // back to three rows; the marks are the caller's to fix, yet must do no harm
    list.deleteRow(0);
    EXPECT_EQ(list.HLIndex, -1);
    EXPECT_EQ(list.NextIndex, -1);
    list.HLIndex = 40;
    const auto r = list.dragStep({0}, 0, 1);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(list.HLIndex, -1);
    EXPECT_FALSE(list.hlItem().has_value());
}

TEST(VqRowListMarks, InsertingAtOrBeforeAMarkMovesIt)
{
    VqRowList list = makeList(4);
    list.HLIndex = 2;
    list.NextIndex = 1;
    TVirtualItem item;
    item.Caption = "new";
    list.insertRow(2, item);
    EXPECT_EQ(list.HLIndex, 3);
    EXPECT_EQ(list.NextIndex, 1);
    list.insertRow(list.rowCount(), item);
    EXPECT_EQ(captionAt(list, list.rowCount() - 1), "new");
}

TEST(VqRowListMarks, InsertingABlockMovesTheMarksByItsSize)
{
    VqRowList list = makeList(5);
    list.HLIndex = 3;
    list.NextIndex = 0;
    std::vector<TVirtualItem> block(3);
    for (int i = 0; i < 3; ++i)
        block[static_cast<size_t>(i)].Caption = QString("n%1").arg(i);
    list.insertRows(1, block);
    EXPECT_EQ(captions(list), (QStringList{"r0", "n0", "n1", "n2", "r1", "r2", "r3", "r4"}));
    EXPECT_EQ(captionAt(list, list.HLIndex), "r3");
    EXPECT_EQ(list.NextIndex, 0);
    list.insertRows(99, block);  // past the end: appended
    EXPECT_EQ(captionAt(list, 8), "n0");
    list.insertRows(0, {});
    EXPECT_EQ(list.rowCount(), 11);
    EXPECT_EQ(captionAt(list, list.HLIndex), "r3");
}

TEST(VqRowListMarks, DeletingScatteredRowsKeepsTheRestInOrder)
{
    VqRowList list = makeList(1000);
    list.HLIndex = 500;
    list.NextIndex = 998;
    // Every odd row and row 8, unsorted; out-of-range indices and a duplicate are ignored.
    std::vector<int> gone = {-3, 1000, 8};
    for (int i = 999; i >= 0; i -= 2)
        gone.push_back(i);
    gone.push_back(8);
    list.deleteRows(gone);
    ASSERT_EQ(list.rowCount(), 499);
    for (int i = 0; i < list.rowCount(); ++i)
        ASSERT_EQ(captionAt(list, i), QString("r%1").arg(i < 4 ? 2 * i : 2 * i + 2)) << i;
    EXPECT_EQ(list.HLIndex, 249);
    EXPECT_EQ(list.Rows[static_cast<size_t>(list.HLIndex)].SubItems[3], "/music/500.mp3");
    EXPECT_EQ(list.NextIndex, 498);
    EXPECT_EQ(captionAt(list, list.NextIndex), "r998");
}

TEST(VqRowListUndo, ElevenSavesKeepTheNewestTen)
{
    VqRowList list;
    for (int i = 1; i <= 11; ++i) {
        list.Rows.assign(static_cast<size_t>(i), TVirtualItem{});
        list.saveUndo();
    }
    EXPECT_EQ(list.undoDepth(), 10);
    list.Rows.clear();
    for (int expected = 11; expected >= 2; --expected) {
        ASSERT_TRUE(list.canUndo());
        list.undo();
        EXPECT_EQ(list.rowCount(), expected);
    }
    EXPECT_FALSE(list.canUndo());
    list.undo();
    EXPECT_EQ(list.rowCount(), 2);
}

TEST(VqRowListClipboard, PasteWithoutSelectionAppendsAndKeepsTheClipboard)
{
    VqRowList source = makeList(6);
    source.copyRows({4, 1});
    ASSERT_EQ(ClipboardRows().size(), 2u);
    EXPECT_EQ(ClipboardRows()[0].Caption, "r1");

    VqRowList target = makeList(3);
    target.pasteRows(-1);
    EXPECT_EQ(captions(target), (QStringList{"r0", "r1", "r2", "r1", "r4"}));
    EXPECT_EQ(target.Rows[4].SubItems[3], "/music/4.mp3");
    EXPECT_EQ(ClipboardRows().size(), 2u);
    EXPECT_EQ(target.undoDepth(), 1);
    target.undo();
    EXPECT_EQ(captions(target), (QStringList{"r0", "r1", "r2"}));
}

TEST(VqRowListClipboard, PasteGoesAfterTheFirstSelectedRowAndMovesTheMarks)
{
    VqRowList list = makeList(7);
    list.copyRows({0, 6});
    list.HLIndex = 5;
    list.NextIndex = 2;
    list.pasteRows(2);  // rows 2 and 5 selected: the first one counts
    EXPECT_EQ(captions(list), (QStringList{"r0", "r1", "r2", "r0", "r6", "r3", "r4", "r5", "r6"}));
    EXPECT_EQ(captionAt(list, list.HLIndex), "r5");
    EXPECT_EQ(list.NextIndex, 2);
}

TEST(VqRowListClipboard, PastingIntoEmptyListAndIntoItself)
{
    ClipboardRows().clear();
    VqRowList empty;
    empty.pasteRows(-1);
    EXPECT_EQ(empty.rowCount(), 0);

    VqRowList list = makeList(3);
    list.copyRows({0, 1, 2});
    list.pasteRows(0);
    EXPECT_EQ(captions(list), (QStringList{"r0", "r0", "r1", "r2", "r1", "r2"}));
}

TEST(VqRowListDrag, BlockKeepsItsGapAndThePlayingRowFollows)
{
    VqRowList list = makeList(11);
    list.HLIndex = 5;
    list.NextIndex = 9;
    const auto r = list.dragStep({3, 5}, 3, 8);
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(r.selection, (std::vector<int>{8, 10}));
    EXPECT_EQ(captionAt(list, 8), "r3");
    EXPECT_EQ(captionAt(list, 10), "r5");
    EXPECT_EQ(captionAt(list, 9), "r10");  // one row between the moved ones
    EXPECT_EQ(list.HLIndex, 10);
    EXPECT_EQ(list.Rows[10].ImageIndex, 5);
    EXPECT_EQ(captionAt(list, list.NextIndex), "r9");
    // Every row still there exactly once, with all its texts.
    QStringList sorted = captions(list);
    sorted.sort();
    QStringList all = captions(makeList(11));
    all.sort();
    EXPECT_EQ(sorted, all);
    EXPECT_EQ(list.Rows[10].SubItems[3], "/music/5.mp3");
}

TEST(VqRowListDrag, MovingUpAndBothMarksOnOneMovedRow)
{
    VqRowList list = makeList(6);
    list.HLIndex = 4;
    list.NextIndex = 4;
    const auto r = list.dragStep({4}, 4, 1);
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(captions(list), (QStringList{"r0", "r4", "r1", "r2", "r3", "r5"}));
    EXPECT_EQ(list.HLIndex, 1);
    EXPECT_EQ(list.NextIndex, 1);
}

TEST(VqRowListDrag, BlockThatDoesNotFitChangesNothing)
{
    VqRowList list = makeList(10);
    list.HLIndex = 2;
    const QStringList before = captions(list);
    const auto r = list.dragStep({2, 4}, 2, 8);  // span 3 from row 8 would end past row 9
    EXPECT_FALSE(r.changed);
    EXPECT_FALSE(r.counted);
    EXPECT_EQ(captions(list), before);
    EXPECT_EQ(list.HLIndex, 2);
    EXPECT_TRUE(list.dragStep({2, 4}, 2, 7).changed);  // the last position that fits
}

TEST(VqRowListDrag, MoreThanAHundredRowsCountButDoNotMove)
{
    VqRowList list = makeList(150);
    std::vector<int> selected(101);
    std::iota(selected.begin(), selected.end(), 0);
    const QStringList before = captions(list);
    const auto r = list.dragStep(selected, 0, 120);
    EXPECT_TRUE(r.counted);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(captions(list), before);

    selected.pop_back();  // exactly 100 move
    const auto ok = list.dragStep(selected, 0, 10);
    EXPECT_TRUE(ok.changed);
    EXPECT_EQ(captionAt(list, 10), "r0");
}

TEST(VqRowListDrag, NoTargetOrTheAnchorItselfDoesNothing)
{
    VqRowList list = makeList(5);
    EXPECT_FALSE(list.dragStep({1}, 1, -1).counted);
    EXPECT_FALSE(list.dragStep({1}, 1, 1).counted);
    EXPECT_FALSE(list.dragStep({}, 0, 3).counted);
}

TEST(VqRowListStyle, KeywordsAndMarksCombine)
{
    VqRowList list = makeList(4);
    list.HighlightColor = QColor(1, 2, 3);
    list.AdvertKeyword = "advert";
    list.JingleKeyword = "jingle";
    list.setCell("Big ADVERT and Jingle", 0, 1);
    list.setCell("an Advert", 1, 1);
    list.HLIndex = 1;
    list.NextIndex = 2;

    EXPECT_EQ(list.rowStyle(0).color, list.JingleColor);  // both keywords: the jingle wins
    const auto playing = list.rowStyle(1);
    EXPECT_TRUE(playing.bold);
    EXPECT_EQ(playing.color, list.AdvertColor);
    const auto next = list.rowStyle(2);
    EXPECT_TRUE(next.underline);
    EXPECT_FALSE(next.bold);
    EXPECT_EQ(next.color, QColor(1, 2, 3));
    EXPECT_FALSE(list.rowStyle(3).color.has_value());

    list.AdvertKeyword.clear();  // an empty keyword matches nothing
    list.JingleKeyword.clear();
    EXPECT_FALSE(list.rowStyle(0).color.has_value());
}
