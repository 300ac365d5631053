// The folder combo over the fake drives: display, accepting, cancelling and the drop-down.
#include "controls/zrfoldercombo.h"
#include "controls/zrfoldertreeview.h"
#include "fakedrives.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using namespace controls;

void press(QWidget* w, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

class FolderComboTest : public ::testing::Test {
protected:
    FolderComboTest() : drives("srv:/music /nonexistent/net nfs rw 0 0\n") {}

    // Drives in root order: the network share, the fixed drive, the stick.
    QTreeWidgetItem* node(const std::string& name) const
    {
        QTreeWidgetItem* computer = combo->Tree()->MyComputerNode();
        for (int i = 0; i < computer->childCount(); ++i)
            if (computer->child(i)->text(0).toStdString() == name)
                return computer->child(i);
        return nullptr;
    }

    FakeDrives drives;
    std::unique_ptr<TzrFolderCombo> combo = std::make_unique<TzrFolderCombo>();
};

TEST_F(FolderComboTest, HeightStaysFixed)
{
    combo->resize(200, 50);
    EXPECT_EQ(combo->height(), TzrFolderCombo::kHeight);
    combo->setGeometry(0, 0, 120, 5);
    EXPECT_EQ(combo->height(), TzrFolderCombo::kHeight);
    EXPECT_EQ(combo->width(), 120);
}

TEST_F(FolderComboTest, ShowsTheSelectionAndReadsTheRealForm)
{
    EXPECT_EQ(combo->text().toStdString(), "Мой компьютер");
    EXPECT_EQ(combo->KeptPath(), "?.1Мой компьютер");
    EXPECT_EQ(combo->Directory(), "Мой компьютер");

    combo->SetDirectory(drives.driveRoot());
    EXPECT_EQ(combo->text().toStdString(), "drive");
    EXPECT_EQ(combo->Directory(), drives.driveRoot());  // a drive keeps its trailing "/"
    EXPECT_EQ(combo->IconIndex(), static_cast<TzrTreeNode*>(node("drive"))->ImageIndex);
    EXPECT_FALSE(combo->Tree()->isVisible());
}

TEST_F(FolderComboTest, EmptyRemovableDriveCannotBeAcceptedUntilCancelled)
{
    combo->SetDirectory(drives.driveRoot());
    combo->Tree()->setCurrentItem(node("stick"));
    ASSERT_EQ(combo->Tree()->currentItem()->text(0).toStdString(), "stick");
    drives.messages.pushAnswer(platform::IDRETRY);
    drives.messages.pushAnswer(platform::IDCANCEL);
    combo->Accept();
    const auto shown = drives.messages.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Нет доступа к устройству " + drives.stickRoot() + "\r\rУстройство не готово.");
    EXPECT_EQ(shown[0].caption, "Ошибка");
    EXPECT_EQ(shown[0].flags, platform::MB_ICONERROR | platform::MB_RETRYCANCEL);
    EXPECT_EQ(combo->text().toStdString(), "drive");
    EXPECT_EQ(combo->Directory(), drives.driveRoot());
    EXPECT_EQ(combo->Tree()->SelectionPath(), drives.driveRoot());  // the tree went back
}

TEST_F(FolderComboTest, KeysWhileHiddenAndWhileDropped)
{
    combo->SetDirectory(drives.driveRoot());
    press(combo.get(), Qt::Key_Escape);  // nothing to close
    EXPECT_EQ(combo->Directory(), drives.driveRoot());
    press(combo.get(), Qt::Key_Return);  // accepts the same selection again
    EXPECT_EQ(combo->text().toStdString(), "drive");

    press(combo.get(), Qt::Key_F4);
    ASSERT_TRUE(combo->Tree()->isVisible());
    press(combo.get(), Qt::Key_Up);  // handed to the tree: moves to the drive above
    EXPECT_EQ(combo->Tree()->currentItem(), node("net"));
    press(combo.get(), Qt::Key_Escape);
    EXPECT_FALSE(combo->Tree()->isVisible());
    EXPECT_EQ(combo->Tree()->SelectionPath(), drives.driveRoot());
    EXPECT_EQ(combo->text().toStdString(), "drive");

    combo->DropDown();
    combo->Tree()->setCurrentItem(combo->Tree()->MyComputerNode());
    press(combo.get(), Qt::Key_Return);
    EXPECT_FALSE(combo->Tree()->isVisible());
    EXPECT_EQ(combo->Directory(), "Мой компьютер");

    // The same keys reaching the dropped tree itself.
    combo->DropDown();
    combo->Tree()->setCurrentItem(node("drive"));
    press(combo->Tree(), Qt::Key_Escape);
    EXPECT_FALSE(combo->Tree()->isVisible());
    EXPECT_EQ(combo->Tree()->SelectionPath(), "?.1Мой компьютер");
    combo->DropDown();
    combo->Tree()->setCurrentItem(node("drive"));
    press(combo->Tree(), Qt::Key_Enter);
    EXPECT_FALSE(combo->Tree()->isVisible());
    EXPECT_EQ(combo->Directory(), drives.driveRoot());
}

void click(QWidget* w, const QPoint& at)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST_F(FolderComboTest, ClicksOnTheDroppedTree)
{
    combo->SetDirectory(drives.driveRoot());
    combo->DropDown();
    TzrFolderTreeView* tree = combo->Tree();
    ASSERT_TRUE(tree->isVisible());
    tree->setCurrentItem(tree->MyComputerNode());
    click(tree, QPoint(-5, -5));  // outside: cancel
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(tree->SelectionPath(), drives.driveRoot());
    EXPECT_EQ(combo->text().toStdString(), "drive");

    combo->DropDown();
    const QRect computer = tree->visualItemRect(tree->MyComputerNode());
    ASSERT_FALSE(computer.isEmpty());
    click(tree->viewport(), computer.center());
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(combo->Directory(), "Мой компьютер");
}

TEST_F(FolderComboTest, SwitchingNetBrowseKeepsTheSelection)
{
    combo->SetDirectory(drives.driveRoot());
    combo->SetNetBrowse(true);
    EXPECT_TRUE(combo->Tree()->NetBrowse());
    EXPECT_EQ(combo->Directory(), drives.driveRoot());
    EXPECT_EQ(combo->text().toStdString(), "drive");
    combo->SetNetBrowse(false);
    EXPECT_FALSE(combo->Tree()->NetBrowse());
    EXPECT_EQ(combo->text().toStdString(), "drive");
}

}  // namespace
