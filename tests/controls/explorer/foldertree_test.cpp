// The folder tree over a fake fixed drive and an empty removable drive: building, filling,
// navigation, the keyboard delay, renaming, network browsing and drive watching.
#include "controls/zrexplorerunit.h"
#include "controls/zrfoldertreeview.h"
#include "controls/zrpaths.h"
#include "eventwait.h"
#include "fakedrives.h"
#include "linkedview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace controls;

std::vector<std::string> childNames(const QTreeWidgetItem* node)
{
    std::vector<std::string> out;
    for (int i = 0; i < node->childCount(); ++i)
        out.push_back(node->child(i)->text(0).toStdString());
    return out;
}

QTreeWidgetItem* childNamed(const QTreeWidgetItem* node, const std::string& name)
{
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0).toStdString() == name)
            return node->child(i);
    return nullptr;
}

class FolderTreeTest : public ::testing::Test {
protected:
    explicit FolderTreeTest(const std::string& extraMounts = "") : drives(extraMounts) {}

    TzrFolderTreeView& makeTree()
    {
        tree = std::make_unique<TzrFolderTreeView>();
        tree->resize(300, 400);
        tree->BuildNodes();
        return *tree;
    }
    QTreeWidgetItem* driveNode() const { return tree->MyComputerNode()->child(0); }
    QTreeWidgetItem* stickNode() const { return tree->MyComputerNode()->child(1); }
    std::string root() const { return drives.driveRoot(); }
    std::string rootBare() const { return root().substr(0, root().size() - 1); }

    FakeDrives drives;
    std::unique_ptr<TzrFolderTreeView> tree;
};

TEST_F(FolderTreeTest, BuildsDesktopComputerAndPausedDriveWatchers)
{
    auto& t = makeTree();
    ASSERT_EQ(t.topLevelItemCount(), 1);
    EXPECT_EQ(t.DesktopNode()->text(0).toStdString(), "Рабочий стол");
    EXPECT_EQ(childNames(t.DesktopNode()), (std::vector<std::string>{"Мой компьютер"}));
    EXPECT_EQ(childNames(t.MyComputerNode()), (std::vector<std::string>{"drive", "stick"}));
    EXPECT_TRUE(t.DesktopNode()->isExpanded());
    EXPECT_TRUE(t.MyComputerNode()->isExpanded());
    for (auto* drive : {driveNode(), stickNode()}) {
        EXPECT_EQ(childNames(drive), (std::vector<std::string>{"."}));
        EXPECT_FALSE(drive->isExpanded());
    }
    // Only the fixed drive is watched, and its watcher has built nothing while paused.
    ASSERT_EQ(t.Watchers().size(), 1u);
    EXPECT_EQ(TzrFolderTreeView::RecordOf(driveNode())->Watcher.get(), t.Watchers()[0]);
    EXPECT_EQ(t.Watchers()[0]->Path(), rootBare());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(t.Watchers()[0]->Thread()->Built());
    EXPECT_FALSE(TzrFolderTreeView::RecordOf(stickNode())->Watcher);
    // "/" names no drive of this machine: the computer stays selected.
    EXPECT_EQ(t.SelectionPath(), "?.1Мой компьютер");
    EXPECT_EQ(t.Directory(), "Мой компьютер");
}

TEST_F(FolderTreeTest, FillShowsFoldersThenPlayableFiles)
{
    drives.makeFolder("b");
    drives.makeFolder("C");
    drives.makeFolder("a");
    drives.makeFolder(".git");
    drives.writeFile("b/inside.txt");
    for (const char* name : {"x.mp3", "y.txt", "line.in", "LINE.IN", "list.M3U", "z.WAV", ".h.mp3", "noext"})
        drives.writeFile(name);
    auto& t = makeTree();
    driveNode()->setExpanded(true);
    EXPECT_TRUE(driveNode()->isExpanded());
    EXPECT_EQ(childNames(driveNode()),
              (std::vector<std::string>{"a", "b", "C", "line.in", "list.M3U", "x.mp3", "z.WAV"}));
    EXPECT_EQ(childNames(childNamed(driveNode(), "b")), (std::vector<std::string>{"."}));
    EXPECT_EQ(childNamed(driveNode(), "a")->childCount(), 0);
    EXPECT_EQ(t.PathOf(childNamed(driveNode(), "b")), root() + "b/");
    EXPECT_EQ(t.PathOf(childNamed(driveNode(), "x.mp3")), root() + "x.mp3/");

    // A folder holding only files the player cannot play expands to nothing.
    QTreeWidgetItem* b = childNamed(driveNode(), "b");
    b->setExpanded(true);
    EXPECT_EQ(b->childCount(), 0);
}

TEST_F(FolderTreeTest, DirectoryWalksWithCaseFallbackAndStopsAtAMissingTail)
{
    drives.makeFolder("Music/Rock");
    drives.makeFolder("Abc");
    drives.makeFolder("abc");
    drives.writeFile("Music/Rock/song.mp3");
    auto& t = makeTree();

    t.SetDirectory(root() + "MUSIC/ROCK");
    EXPECT_EQ(t.Directory(), root() + "Music/Rock");
    EXPECT_EQ(t.SelectionPath(), root() + "Music/Rock/");

    t.SetDirectory(root() + "Music/Missing/");
    EXPECT_EQ(t.Directory(), root() + "Music");

    t.SetDirectory(root() + "abc");
    EXPECT_EQ(t.Directory(), root() + "abc");  // the exact name wins over the earlier "Abc"
    t.SetDirectory(root() + "Abc");
    EXPECT_EQ(t.Directory(), root() + "Abc");

    t.SetDirectory(root() + "Music/Rock/song.mp3");
    EXPECT_EQ(t.Directory(), root() + "Music/Rock/song.mp3");
    EXPECT_EQ(t.currentItem()->text(0).toStdString(), "song.mp3");

    t.SetDirectory(rootBare());
    EXPECT_EQ(t.Directory(), rootBare());
    EXPECT_EQ(t.currentItem(), driveNode());

    t.SetDirectory("Мой компьютер");
    EXPECT_EQ(t.currentItem(), t.MyComputerNode());
}

TEST_F(FolderTreeTest, LinkedViewsHearOfSelectionsButNotOfEachStepOfAWalk)
{
    drives.makeFolder("Music/Rock");
    auto& t = makeTree();
    LinkedView view;
    t.AddLinkedView(&view);
    t.SetDirectory(root() + "Music/Rock");
    ASSERT_EQ(view.directories.size(), 1u);
    EXPECT_EQ(view.directories.back().toStdString(), root() + "Music/Rock/");

    t.setCurrentItem(t.MyComputerNode());
    ASSERT_EQ(view.directories.size(), 2u);
    // A virtual path carries the node's opaque id after "?.$"; only the leading mark counts.
    EXPECT_EQ(view.directories.back().toStdString(), "?.1Мой компьютер");
    t.RemoveLinkedView(&view);
    t.setCurrentItem(driveNode());
    EXPECT_EQ(view.directories.size(), 2u);
}

TEST_F(FolderTreeTest, KeyboardRunReportsOnceAfterTheDelay)
{
    for (int i = 0; i < 8; ++i)
        drives.makeFolder("f" + std::to_string(i));
    auto& t = makeTree();
    t.show();
    t.SetDirectory(root());
    driveNode()->setExpanded(true);
    int changes = 0;
    QObject::connect(&t, &TzrFolderTreeView::changed, [&] { ++changes; });
    const std::string before = t.SelectionPath();

    for (int i = 0; i < 5; ++i) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&t, &down);
    }
    EXPECT_EQ(t.currentItem()->text(0).toStdString(), "f4");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(t.SelectionPath(), before);
    EXPECT_TRUE(t.NavTimer()->isActive());

    spinEvents(TzrFolderTreeView::kNavDelayMs - 300);
    EXPECT_EQ(changes, 0);
    ASSERT_TRUE(waitFor([&] { return changes > 0; }, 2000));
    spinEvents(200);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(t.SelectionPath(), root() + "f4/");
    EXPECT_FALSE(t.NavTimer()->isActive());
}

TEST_F(FolderTreeTest, EmptyRemovableDriveSaysSoOnceAndKeepsItsButton)
{
    makeTree();
    stickNode()->setExpanded(true);
    const auto shown = drives.messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "В дисководе " + drives.stickRoot() + " нет диска.");
    EXPECT_FALSE(stickNode()->isExpanded());
    EXPECT_EQ(childNames(stickNode()), (std::vector<std::string>{"."}));

    stickNode()->setExpanded(true);  // each try asks once more
    EXPECT_EQ(drives.messages.shown().size(), 2u);
}

TEST_F(FolderTreeTest, RefreshSequenceReadsEveryFolderOnTheWayAgain)
{
    drives.makeFolder("Music/Rock");
    auto& t = makeTree();
    t.SetDirectory(root() + "Music/Rock");
    const std::string directory = t.Directory();
    drives.makeFolder("Music/Rock/Added");
    drives.makeFolder("Music/Jazz");
    t.FullCollapse();
    EXPECT_EQ(childNames(driveNode()), (std::vector<std::string>{"."}));
    t.SetDirectory(directory);
    t.ExpandSelected();
    EXPECT_EQ(t.Directory(), directory);
    EXPECT_EQ(childNames(childNamed(driveNode(), "Music")), (std::vector<std::string>{"Jazz", "Rock"}));
    EXPECT_EQ(childNames(t.currentItem()), (std::vector<std::string>{"Added"}));
}

TEST_F(FolderTreeTest, CollapseDropsChildrenAndTheNextExpandReadsAfresh)
{
    drives.makeFolder("Old");
    makeTree();
    driveNode()->setExpanded(true);
    EXPECT_EQ(childNames(driveNode()), (std::vector<std::string>{"Old"}));
    drives.makeFolder("New");
    driveNode()->setExpanded(false);
    EXPECT_EQ(childNames(driveNode()), (std::vector<std::string>{"."}));
    driveNode()->setExpanded(true);
    EXPECT_EQ(childNames(driveNode()), (std::vector<std::string>{"New", "Old"}));
    // The computer keeps its drives when collapsed.
    tree->MyComputerNode()->setExpanded(false);
    EXPECT_EQ(tree->MyComputerNode()->childCount(), 2);
}

class RenameTest : public FolderTreeTest {
protected:
    struct Rename {
        std::string oldName, newName;
        bool success, isFolder;
    };

    void SetUp() override
    {
        drives.writeFile("a.mp3", "first");
        drives.writeFile("b.mp3", "second");
        drives.makeFolder("Rock");
        makeTree();
        tree->OnFileRename = [this](TzrFolderTreeView*, const std::string& o, const std::string& n, bool ok,
                                    bool folder) { renames.push_back({o, n, ok, folder}); };
        tree->SetDirectory(root() + "a.mp3");
        a = childNamed(driveNode(), "a.mp3");
        ASSERT_NE(a, nullptr);
    }

    std::vector<Rename> renames;
    QTreeWidgetItem* a = nullptr;
};

TEST_F(RenameTest, OntoAnExistingNameIsRefusedAndBothFilesStay)
{
    tree->EndEdit(a, std::string("b.mp3"));
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_FALSE(renames[0].success);
    EXPECT_EQ(renames[0].oldName, root() + "a.mp3");
    EXPECT_EQ(renames[0].newName, root() + "b.mp3");
    EXPECT_EQ(drives.readFile("a.mp3"), "first");
    EXPECT_EQ(drives.readFile("b.mp3"), "second");
    EXPECT_EQ(a->text(0).toStdString(), "a.mp3");

    tree->EndEdit(a, std::string("Rock"));
    EXPECT_FALSE(renames.back().success);
    EXPECT_EQ(drives.readFile("a.mp3"), "first");
}

TEST_F(RenameTest, NamesWithSlashesAreRefused)
{
    tree->EndEdit(a, std::string("Rock/a.mp3"));
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_FALSE(renames[0].success);
    EXPECT_EQ(drives.readFile("a.mp3"), "first");
    EXPECT_EQ(drives.readFile("Rock/a.mp3"), "<missing>");
    tree->EndEdit(a, std::string(".."));
    EXPECT_FALSE(renames.back().success);
}

TEST_F(RenameTest, SuccessUpdatesDiskTextRecordAndPath)
{
    tree->EndEdit(a, std::string("c.mp3"));
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_TRUE(renames[0].success);
    EXPECT_FALSE(renames[0].isFolder);
    EXPECT_EQ(drives.readFile("c.mp3"), "first");
    EXPECT_EQ(drives.readFile("a.mp3"), "<missing>");
    EXPECT_EQ(a->text(0).toStdString(), "c.mp3");
    EXPECT_EQ(TzrFolderTreeView::RecordOf(a)->Name, "c.mp3");
    EXPECT_EQ(TzrFolderTreeView::RecordOf(a)->Path, "c.mp3");
    EXPECT_EQ(tree->SelectionPath(), root() + "c.mp3/");

    QTreeWidgetItem* rock = childNamed(driveNode(), "Rock");
    tree->EndEdit(rock, std::string("Pop"));
    EXPECT_TRUE(renames.back().success);
    EXPECT_TRUE(renames.back().isFolder);
    EXPECT_EQ(tree->PathOf(rock), root() + "Pop/");
}

TEST_F(RenameTest, CancelAndVirtualSelectionChangeNothingOnDisk)
{
    int cancels = 0;
    tree->OnEditCancel = [&](TzrFolderTreeView*, QTreeWidgetItem* node) {
        ++cancels;
        EXPECT_EQ(node, a);
    };
    tree->EndEdit(a, std::nullopt);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(renames.empty());

    tree->SetDirectory("Мой компьютер");
    tree->EndEdit(a, std::string("d.mp3"));
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_FALSE(renames[0].success);
    EXPECT_EQ(renames[0].oldName, "a.mp3");
    EXPECT_EQ(drives.readFile("a.mp3"), "first");
    EXPECT_EQ(drives.readFile("d.mp3"), "<missing>");
}

TEST_F(RenameTest, NewFolderIsCreatedOrReportedAndRemoved)
{
    QTreeWidgetItem* node = tree->BeginNewFolder(driveNode(), "Новая папка");
    ASSERT_NE(node, nullptr);
    tree->EndEdit(node, std::string("Jazz"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(root() + "Jazz")).isDir());
    EXPECT_NE(childNamed(driveNode(), "Jazz"), nullptr);

    node = tree->BeginNewFolder(driveNode(), "Новая папка");
    tree->EndEdit(node, std::string("Jazz"));  // exists already
    const auto shown = drives.messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Невозможно создать каталог " + root() + "Jazz");
    int jazz = 0;
    for (const auto& name : childNames(driveNode()))
        jazz += name == "Jazz";
    EXPECT_EQ(jazz, 1);

    bool asked = false;
    tree->OnNewEditCancel = [&](TzrFolderTreeView*, QTreeWidgetItem*, bool& remove) {
        asked = true;
        EXPECT_TRUE(remove);
    };
    const int before = driveNode()->childCount();
    node = tree->BeginNewFolder(driveNode(), "Новая папка");
    tree->EndEdit(node, std::nullopt);
    EXPECT_TRUE(asked);
    EXPECT_EQ(driveNode()->childCount(), before);
}

class NetworkTreeTest : public FolderTreeTest {
protected:
    NetworkTreeTest() : FolderTreeTest("srv:/export/music /nonexistent/net-music nfs4 rw 0 0\n") {}
};

TEST_F(NetworkTreeTest, SwitchingNetBrowseTwiceLeavesNoNodeBehind)
{
    auto& t = makeTree();
    LinkedView view;
    t.AddLinkedView(&view);
    EXPECT_EQ(t.MyComputerNode()->childCount(), 3);  // the share is also a network drive
    for (int round = 0; round < 2; ++round) {
        t.SetNetBrowse(true);
        ASSERT_TRUE(t.NetBrowse());
        ASSERT_EQ(t.DesktopNode()->childCount(), 2);
        EXPECT_EQ(t.DesktopNode()->child(1), t.NetworkNode());
        EXPECT_EQ(t.NetworkNode()->text(0).toStdString(), "Сеть");
        EXPECT_EQ(childNames(t.NetworkNode()), (std::vector<std::string>{"NFS"}));
        t.SetNetBrowse(false);
        EXPECT_FALSE(t.NetBrowse());
        EXPECT_EQ(t.NetworkNode(), nullptr);
        ASSERT_EQ(t.DesktopNode()->childCount(), 1);
        EXPECT_EQ(t.DesktopNode()->child(0), t.MyComputerNode());
    }
    EXPECT_EQ(view.fileSystemChanges, 4);
}

TEST_F(NetworkTreeTest, VirtualSelectionsCarryAnOpaqueIdForLinkedViews)
{
    auto& t = makeTree();
    t.SetNetBrowse(true);
    LinkedView view;
    t.AddLinkedView(&view);
    t.setCurrentItem(t.NetworkNode());
    ASSERT_FALSE(view.directories.empty());
    const std::string told = view.directories.back().toStdString();
    const std::string head = "?.2Сеть?.$";
    ASSERT_EQ(told.rfind(head, 0), 0u) << told;
    const std::string id = told.substr(head.size());
    EXPECT_EQ(id.size(), 16u);  // room for any 64-bit value
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(RealPath(told), "Сеть");
    EXPECT_EQ(t.Directory(), "Сеть");
}

TEST_F(NetworkTreeTest, ServersAndSharesBelowTheNetwork)
{
    auto& t = makeTree();
    t.SetNetBrowse(true);
    QTreeWidgetItem* nfs = t.NetworkNode()->child(0);
    nfs->setExpanded(true);
    ASSERT_EQ(childNames(nfs), (std::vector<std::string>{"srv"}));
    QTreeWidgetItem* server = nfs->child(0);
    EXPECT_EQ(t.PathOf(server), "?.5//srv");
    server->setExpanded(true);
    ASSERT_EQ(childNames(server), (std::vector<std::string>{"music"}));
    EXPECT_EQ(t.PathOf(server->child(0)), "/nonexistent/net-music/");
}

class RootedTreeTest : public FolderTreeTest {
protected:
    RootedTreeTest() : FolderTreeTest("/dev/sda2 / ext4 rw 0 0\n") {}
};

TEST_F(RootedTreeTest, RootVolumeReadsSlashAndPathsGoToTheLongestRoot)
{
    drives.makeFolder("Music");
    auto& t = makeTree();
    ASSERT_EQ(t.MyComputerNode()->child(0)->text(0).toStdString(), "Файловая система");
    EXPECT_EQ(t.currentItem(), t.MyComputerNode()->child(0));  // the "/" default
    EXPECT_EQ(t.Directory(), "/");
    t.SetDirectory(root() + "Music");
    EXPECT_EQ(t.Directory(), root() + "Music");
    EXPECT_EQ(t.currentItem()->parent(), t.MyComputerNode()->child(1));  // below the fake drive, not "/"
}

TEST(AudioDiscTreeTest, TracksAreShownAsPlayableFiles)
{
    AudioDiscVolumes disc({{1, 2352u * 75 * 60}, {2, 2352u * 75 * 90}});
    platform::setVolumeSource(&disc);
    {
        TzrFolderTreeView tree;
        tree.BuildNodes();
        QTreeWidgetItem* cd = tree.MyComputerNode()->child(0);
        cd->setExpanded(true);
        EXPECT_EQ(childNames(cd), (std::vector<std::string>{"Track01.cda", "Track02.cda"}));
        tree.setCurrentItem(cd->child(1));
        EXPECT_EQ(tree.Directory(), "/dev/sr0/Track02.cda");  // the path the audio library opens
    }
    platform::setVolumeSource(nullptr);
}

TEST(FolderTreeWithoutNetwork, NetBrowseStaysOff)
{
    FakeDrives drives;
    TzrFolderTreeView tree;
    tree.SetNetBrowse(true);
    EXPECT_FALSE(tree.NetBrowse());
    EXPECT_EQ(tree.DesktopNode()->childCount(), 1);
}

TEST_F(FolderTreeTest, WatchedDriveReportsAChangeOnTheUserInterfaceThread)
{
    drives.makeFolder("Music/Deep");
    auto& t = makeTree();
    t.SetNotify(true);
    LinkedView view;
    t.AddLinkedView(&view);
    t.SetDirectory(root() + "Music");
    driveNode()->setExpanded(true);
    TFileNotify* watcher = t.Watchers()[0];
    ASSERT_TRUE(watcher->Thread()->WaitBuilt(3000));
    EXPECT_EQ(watcher->Thread()->HandleCount(), 1);
    EXPECT_GE(watcher->Thread()->WatchCount(), 3);  // the drive, Music and Deep

    drives.makeFolder("Music/Deep/New");
    ASSERT_TRUE(waitFor([&] { return view.fileSystemChanges > 0; }, 3000));
    EXPECT_EQ(t.Directory(), root() + "Music");

    // Collapsing the drive pauses its watcher: changes wait for the next expansion.
    driveNode()->setExpanded(false);
    spinEvents(100);
    const int before = view.fileSystemChanges;
    drives.makeFolder("Music/Later");
    spinEvents(500);
    EXPECT_EQ(view.fileSystemChanges, before);
}

TEST_F(FolderTreeTest, DestroyingWithAReportPendingIsSafe)
{
    drives.makeFolder("Music");
    auto& t = makeTree();
    t.SetNotify(true);
    driveNode()->setExpanded(true);
    ASSERT_TRUE(t.Watchers()[0]->Thread()->WaitBuilt(3000));
    drives.makeFolder("Music/New");
    // The watcher posts its report and waits for this thread, which does not run it.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    LinkedView view;
    t.AddLinkedView(&view);
    tree.reset();
    spinEvents(200);  // the report that was queued must find the watcher gone and do nothing
    EXPECT_EQ(view.fileSystemChanges, 0);
}

}  // namespace
