// The folder scan: order, subfolders in place, supported files only, loops and abort.
#include "tests/player/playerfixtures.h"

#include "player/playlist/folderscan.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;
using playertest::TempDir;

class FolderScan : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() + "/b sub");
        dir.write("C.MP3", "x");
        dir.write("a.wav", "x");
        dir.write("notes.txt", "x");
        dir.write("b sub/inner.ogg", "x");
        dir.write("d.wma", "x");
    }
};

TEST_F(FolderScan, SortedWithSubfoldersInPlace)
{
    std::vector<std::string> list;
    ScanFolder(dir.path(), list, {});
    const std::string d = dir.path();
    EXPECT_EQ(list, (std::vector<std::string>{d + "/a.wav", d + "/b sub/inner.ogg", d + "/C.MP3", d + "/d.wma"}));
}

TEST_F(FolderScan, DirectoryLoopIsScannedOnce)
{
    std::filesystem::create_directory_symlink(dir.path(), dir.path() + "/b sub/loop");
    std::vector<std::string> list;
    ScanFolder(dir.path(), list, {});
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(FolderScan, AbortKeepsWhatWasFound)
{
    std::vector<std::string> list;
    int polls = 0;
    FolderScanHooks hooks;
    hooks.aborted = [&] { return ++polls > 2; };
    ScanFolder(dir.path(), list, hooks);
    EXPECT_EQ(list.size(), 1u);  // a.wav, then the abort inside "b sub"
    std::vector<std::string> folders;
    hooks.aborted = {};
    hooks.enterFolder = [&](const std::string& f) { folders.push_back(f); };
    list.clear();
    ScanFolder(dir.path() + "/missing", list, hooks);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(folders.empty());
}
