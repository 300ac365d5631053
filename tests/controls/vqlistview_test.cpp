// The playlist view widget over its rows: view count, keys that move as in a list, the playing-row
// error box, undoable delete and paste through the selection, fonts of marked rows, and a drag
// with the mouse.
#include "controls/vqlistview.h"

#include "platform/recordedusermessages.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <numeric>
#include <gtest/gtest.h>

using controls::ClipboardRows;
using controls::TVirtualItem;
using controls::TVqListView;

namespace {

class VqListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setUserMessages(&messages);
        view.setColumns({"#", "", "Name", "Time", "Path"});
        view.resize(400, 600);
        for (int i = 0; i < 20; ++i) {
            const int row = view.AddRow(QString("r%1").arg(i));
            view.SetCell(QString("name %1").arg(i), row, 1);
        }
    }
    void TearDown() override { platform::setUserMessages(nullptr); }

    QString caption(int row) const { return view.Rows[static_cast<size_t>(row)].Caption; }

    void mouse(QEvent::Type type, int row, Qt::MouseButtons buttons)
    {
        const QPointF at = view.visualRect(view.model()->index(row, 2)).center();
        QMouseEvent e(type, at, view.viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &e);
    }

    platform::RecordedUserMessages messages;
    TVqListView view;
};

}  // namespace

TEST_F(VqListViewTest, ViewShowsEveryRowAndItsTexts)
{
    EXPECT_EQ(view.model()->rowCount(), 20);
    EXPECT_EQ(view.model()->index(4, 0).data().toString(), "r4");
    EXPECT_EQ(view.model()->index(4, 2).data().toString(), "name 4");
    view.Rows.pop_back();  // changed behind the view's back: nothing is read past the rows
    EXPECT_FALSE(view.model()->index(19, 0).data().isValid());
    view.syncView();
    EXPECT_EQ(view.model()->rowCount(), 19);
    EXPECT_FALSE(view.CanRedo());
}

TEST_F(VqListViewTest, KeysMoveAsInAList)
{
    view.show();
    view.setFocus();
    view.setCurrentIndex(view.model()->index(5, 2));
    auto press = [this](Qt::Key key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&view, &down);
        return std::pair(view.currentIndex().row(), view.currentIndex().column());
    };
    EXPECT_EQ(press(Qt::Key_End), std::pair(19, 2));  // the last row, not the last column
    EXPECT_EQ(press(Qt::Key_Home), std::pair(0, 2));
    EXPECT_EQ(press(Qt::Key_Down), std::pair(1, 2));
    EXPECT_EQ(press(Qt::Key_Right), std::pair(1, 2));  // the columns scroll; the row stays current
}

TEST_F(VqListViewTest, NoPlayingRowShowsTheRangeErrorAndLeavesTheRecord)
{
    TVirtualItem item;
    item.Caption = "mine";
    view.HLIndex = 25;
    EXPECT_FALSE(view.GetHLItem(item));
    EXPECT_EQ(item.Caption, "mine");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Range check error. Func: GetHLItem");
    EXPECT_EQ(messages.shown()[0].caption, "Error");
    view.HLIndex = 3;
    EXPECT_TRUE(view.GetHLItem(item));
    EXPECT_EQ(item.Caption, "r3");
}

TEST_F(VqListViewTest, DeleteAndPasteThroughTheSelectionAreUndoable)
{
    view.HLIndex = 10;
    view.NextIndex = 10;
    view.selectRows({2, 5});
    view.CutSelection();
    EXPECT_EQ(view.model()->rowCount(), 18);
    EXPECT_EQ(caption(view.HLIndex), "r10");
    EXPECT_EQ(view.NextIndex, view.HLIndex);
    ASSERT_EQ(ClipboardRows().size(), 2u);

    view.selectRows({0});
    view.PasteRows();
    EXPECT_EQ(caption(1), "r2");
    EXPECT_EQ(caption(2), "r5");
    EXPECT_EQ(caption(view.HLIndex), "r10");
    EXPECT_EQ(view.selectedRows(), std::vector<int>{0});  // the selection stays
    EXPECT_EQ(view.UndoDepth(), 2);
    view.Undo();
    view.Undo();
    EXPECT_EQ(view.model()->rowCount(), 20);
    EXPECT_EQ(caption(5), "r5");
}

TEST_F(VqListViewTest, SelectedRowsAreReadFromMergedRanges)
{
    view.selectRows({7, 3, 4, 5, 12, 4, -1, 40});  // any order; duplicates and strays ignored
    EXPECT_EQ(view.selectedRows(), (std::vector<int>{3, 4, 5, 7, 12}));
    EXPECT_EQ(view.selectionModel()->selection().size(), 3);  // 3-5, 7, 12
    EXPECT_EQ(view.firstSelectedRow(), 3);
    EXPECT_TRUE(view.hasSelectedRows());
    view.selectRows({});
    EXPECT_EQ(view.firstSelectedRow(), -1);
    EXPECT_FALSE(view.hasSelectedRows());
    EXPECT_TRUE(view.selectedRows().empty());

    // Selected by the user with the keyboard or the mouse, the rows read the same.
    view.selectAll();
    EXPECT_EQ(view.selectedRows().size(), 20u);
    EXPECT_EQ(view.firstSelectedRow(), 0);

    // A row counts only when every column of it is selected, as the view's own selection says.
    QItemSelectionModel* sel = view.selectionModel();
    sel->clearSelection();
    sel->select(view.model()->index(2, 1), QItemSelectionModel::Select);
    sel->select(view.model()->index(9, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(QItemSelection(view.model()->index(6, 0), view.model()->index(6, 1)), QItemSelectionModel::Select);
    sel->select(QItemSelection(view.model()->index(6, 2), view.model()->index(6, 4)), QItemSelectionModel::Select);
    EXPECT_EQ(view.selectedRows(), (std::vector<int>{6, 9}));
    EXPECT_EQ(view.firstSelectedRow(), 6);
    sel->select(view.model()->index(9, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    sel->select(view.model()->index(6, 3), QItemSelectionModel::Deselect);
    EXPECT_TRUE(view.selectedRows().empty());
    EXPECT_EQ(view.firstSelectedRow(), -1);
}

TEST_F(VqListViewTest, MarkedAndKeywordRowsGetTheirFonts)
{
    view.HLIndex = 1;
    view.NextIndex = 2;
    view.JingleKeyword = "name 2";
    const QFont playing = view.model()->index(1, 0).data(Qt::FontRole).value<QFont>();
    EXPECT_TRUE(playing.bold());
    const QFont next = view.model()->index(2, 0).data(Qt::FontRole).value<QFont>();
    EXPECT_TRUE(next.underline());
    EXPECT_EQ(view.model()->index(2, 0).data(Qt::ForegroundRole).value<QColor>(), view.JingleColor);
    EXPECT_FALSE(view.model()->index(3, 0).data(Qt::FontRole).isValid());
}

TEST_F(VqListViewTest, DraggingTheSelectionWithTheMouse)
{
    view.show();
    view.DragInsideList = true;
    view.dragScrollPauseMs = 0;
    int ended = 0;
    view.OnMyEndDrag = [&ended](QObject*) { ++ended; };
    view.HLIndex = 5;
    view.selectRows({3, 5});
    mouse(QEvent::MouseButtonPress, 3, Qt::LeftButton);
    EXPECT_EQ(view.selectedRows(), (std::vector<int>{3, 5}));
    mouse(QEvent::MouseMove, 8, Qt::LeftButton);
    mouse(QEvent::MouseMove, 9, Qt::LeftButton);  // the block follows from its new place
    mouse(QEvent::MouseMove, 19, Qt::LeftButton);  // would not fit: nothing changes
    mouse(QEvent::MouseMove, 8, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 8, Qt::NoButton);
    EXPECT_EQ(caption(8), "r3");
    EXPECT_EQ(caption(10), "r5");
    EXPECT_EQ(view.HLIndex, 10);
    EXPECT_EQ(view.selectedRows(), (std::vector<int>{8, 10}));
    EXPECT_EQ(ended, 1);

    // Without DragInsideList a press and move reorder nothing.
    view.DragInsideList = false;
    mouse(QEvent::MouseButtonPress, 8, Qt::LeftButton);
    mouse(QEvent::MouseMove, 2, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 2, Qt::NoButton);
    EXPECT_EQ(caption(8), "r3");
    EXPECT_EQ(ended, 1);
}

TEST_F(VqListViewTest, MoreThanAHundredSelectedRowsEndADragWithoutMoving)
{
    for (int i = 20; i < 130; ++i)
        view.AddRow(QString("r%1").arg(i));
    view.show();
    view.DragInsideList = true;
    view.dragScrollPauseMs = 0;
    int ended = 0;
    view.OnMyEndDrag = [&ended](QObject*) { ++ended; };
    std::vector<int> rows(101);
    std::iota(rows.begin(), rows.end(), 0);
    view.selectRows(rows);
    mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    mouse(QEvent::MouseMove, 3, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 3, Qt::NoButton);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(caption(0), "r0");
    EXPECT_EQ(caption(3), "r3");
}
