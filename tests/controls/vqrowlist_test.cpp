// The playlist rows: marks across delete, paste, undo and drag; the undo levels, of copies and
// of edits; what the list says of its changes; keyword styles.
#include "controls/vqrowlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

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

// Every text and image of every row, to compare lists by.
QStringList described(const VqRowList& list)
{
    QStringList out;
    for (const auto& row : list.Rows)
        out << row.Caption + "|" + row.SubItems[1] + "|" + row.SubItems[3] + "|" + QString::number(row.ImageIndex);
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

TEST(VqRowListUndo, EachLevelKeepsTheMarksOfItsSave)
{
    VqRowList list = makeList(4);
    EXPECT_EQ(list.undoHLIndex(), -1);
    list.HLIndex = 2;
    list.NextIndex = 3;
    list.saveUndo();
    list.HLIndex = 9;  // past the rows: saved as none
    list.NextIndex = 0;
    list.saveUndo();
    EXPECT_EQ(list.undoHLIndex(), -1);
    EXPECT_EQ(list.undoNextIndex(), 0);
    list.HLIndex = 1;
    list.undo();
    EXPECT_EQ(list.HLIndex, 1) << "undo itself leaves the marks alone";
    EXPECT_EQ(list.undoHLIndex(), 2);
    EXPECT_EQ(list.undoNextIndex(), 3);
    list.undo();
    EXPECT_EQ(list.undoHLIndex(), -1);
}

TEST(VqRowListUndo, LevelsOfEditsUndoAsCopiesWouldAndKeepOnlyWhatChanged)
{
    // The same edits on two lists, one saving copies, the other keeping its edits: every undo
    // brings back the same rows.
    VqRowList copies = makeList(40);
    VqRowList edits = makeList(40);
    edits.HLIndex = 30;  // the playing row, which must stay on its track
    auto both = [&](auto edit) {
        copies.saveUndo();
        edits.startUndoLevel();
        edit(copies);
        edit(edits);
        ASSERT_EQ(described(copies), described(edits));
    };
    both([](VqRowList& l) { l.deleteRow(7); });
    // An edit of one row keeps that row, not a copy of the list: no other row's text is shared.
    for (const TVirtualItem& row : edits.Rows)
        ASSERT_TRUE(row.SubItems[3].isDetached()) << row.Caption.toStdString();
    both([](VqRowList& l) {
        l.deleteRows({0, 11, 12, 38});
        l.copyRows({2, 3});
        l.pasteRows(20);  // a level of its own inside this one
        l.dragStep({5, 7}, 5, 15);
    });
    both([](VqRowList& l) {
        std::vector<int> order(static_cast<std::size_t>(l.rowCount()));
        std::iota(order.rbegin(), order.rend(), 0);
        l.reorderRows(order);
        l.insertRow(4, l.Rows[9]);
        l.Rows.push_back(l.Rows[1]);  // appended behind the list's back
        l.setCell("renamed", 2, 1);
    });
    both([](VqRowList& l) { l.clearRows(); });
    EXPECT_EQ(edits.undoDepth(), copies.undoDepth());
    while (copies.canUndo()) {
        ASSERT_TRUE(edits.canUndo());
        const int playing = edits.HLIndex;
        const QString track = playing >= 0 ? edits.Rows[static_cast<std::size_t>(playing)].SubItems[3] : QString();
        copies.undo();
        EXPECT_FALSE(edits.undo().has_value()) << "the marks follow the rows";
        ASSERT_EQ(described(edits).join(";").toStdString(), described(copies).join(";").toStdString());
        if (playing >= 0 && edits.HLIndex >= 0) {
            EXPECT_EQ(edits.Rows[static_cast<std::size_t>(edits.HLIndex)].SubItems[3], track);
        }
    }
    EXPECT_FALSE(edits.canUndo());
    EXPECT_EQ(described(edits), described(makeList(40)));
    EXPECT_EQ(edits.Rows[30].Caption, "r30");
    EXPECT_EQ(edits.HLIndex, -1) << "the playing row went with the list cleared";

    // Rows taken away behind the list's back leave no edit to take back.
    edits.startUndoLevel();
    edits.deleteRow(0);
    edits.Rows.pop_back();
    edits.addRow("after");
    EXPECT_FALSE(edits.canUndo());
}

TEST(VqRowListUndo, ALongRunOfEditsKeepsNoMoreThanACopy)
{
    VqRowList list = makeList(100);
    list.HLIndex = 50;
    list.startUndoLevel();
    std::vector<int> rotated(100);
    std::iota(rotated.begin(), rotated.end(), 1);
    rotated.back() = 0;
    for (int k = 0; k < 4000; ++k) {  // more than a copy's worth of edits
        list.reorderRows(rotated);
        list.deleteRow(k % 100);
        list.addRow(QString("n%1").arg(k));
    }
    ASSERT_EQ(list.undoDepth(), 1);
    EXPECT_TRUE(list.undo().has_value()) << "the level became a copy";
    EXPECT_EQ(described(list), described(makeList(100)));
}

TEST(VqRowListChanges, ChangesSayWhatHappenedToTheRows)
{
    VqRowList list = makeList(10);
    list.trackChanges();
    EXPECT_TRUE(list.takeChanges().empty());
    list.deleteRows({2, 5});
    list.insertRow(0, TVirtualItem{});
    list.Rows.push_back(TVirtualItem{});  // appended directly
    list.dragStep({1}, 1, 3);
    list.setCell("x", 4, 1);
    const std::vector<controls::RowChange> changes = list.takeChanges();
    ASSERT_EQ(changes.size(), 5u);
    EXPECT_EQ(changes[0].kind, controls::RowChange::Removed);
    EXPECT_EQ(changes[0].at, (controls::RowIndices{2, 5}));
    EXPECT_EQ(changes[1].kind, controls::RowChange::Inserted);
    EXPECT_EQ(changes[1].at, controls::RowIndices{0});
    EXPECT_EQ(changes[2].kind, controls::RowChange::Inserted);
    EXPECT_EQ(changes[2].at, controls::RowIndices{9});
    EXPECT_EQ(changes[3].kind, controls::RowChange::Moved);
    EXPECT_EQ(changes[3].firstChanged(), 1);
    EXPECT_EQ(changes[4].kind, controls::RowChange::Changed);
    EXPECT_TRUE(list.takeChanges().empty());
    list.Rows.pop_back();  // gone without a word: every row may be another
    const std::vector<controls::RowChange> after = list.takeChanges();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].kind, controls::RowChange::Replaced);
    EXPECT_EQ(after[0].firstChanged(), 0);
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
