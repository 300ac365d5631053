// Virtual paths, last components and shortening a path for a label.
#include "controls/zrpaths.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

using namespace controls;

TEST(RealPathTest, StripsOnlyALeadingMark)
{
    EXPECT_EQ(RealPath("?.1Мой компьютер"), "Мой компьютер");
    EXPECT_EQ(RealPath("?.5//SRV"), "//SRV");
    EXPECT_EQ(RealPath("?.5//SRV?.$0000000012ABCDEF"), "//SRV");
    // After the leading mark only the node-id suffix ends the name; a "?." inside it does not.
    EXPECT_EQ(RealPath("?.5//a?.b"), "//a?.b");
    EXPECT_EQ(RealPath("?.5//a?.b?.$0000000012ABCDEF"), "//a?.b");
    EXPECT_EQ(RealPath("/music/a?.b/"), "/music/a?.b/");  // "?." inside a Linux name is no mark
    EXPECT_EQ(RealPath("/music/"), "/music/");
    EXPECT_EQ(RealPath("?.2"), "");
    EXPECT_EQ(RealPath(""), "");
    EXPECT_TRUE(IsVirtualPath("?.0Рабочий стол"));
    EXPECT_FALSE(IsVirtualPath("/x?.0"));
}

TEST(RealPathTest, LastComponent)
{
    EXPECT_EQ(LastPathComponent("//SRV"), "SRV");
    EXPECT_EQ(LastPathComponent("/media/u/STICK/"), "");
    EXPECT_EQ(LastPathComponent("NFS"), "NFS");
    EXPECT_EQ(LastPathComponent("/a/b.mp3"), "b.mp3");
}

TEST(RealPathTest, FileNamesMatchExactlyFirst)
{
    EXPECT_TRUE(SameFileName("Rock", "rock"));
    EXPECT_TRUE(SameFileName("Рок", "РОК"));
    EXPECT_FALSE(SameFileName("Rock", "Rocks"));
    EXPECT_LT(CompareFileNames("b", "C"), 0);
    EXPECT_LT(CompareFileNames("C", "d"), 0);
    EXPECT_NE(CompareFileNames("abc", "Abc"), 0);  // a stable order for names equal but for case
}

int byLength(const std::string& s)
{
    return static_cast<int>(s.size());
}

TEST(ShortenPathTest, CutsFoldersFromTheFrontStepByStep)
{
    const std::string path = "/music/rock/album/";
    EXPECT_EQ(ShortenPath(path, 100, byLength), path);
    EXPECT_EQ(ShortenPath(path, 17, byLength), "/.../rock/album/");
    EXPECT_EQ(ShortenPath(path, 12, byLength), "/.../album/");
    EXPECT_EQ(ShortenPath(path, 6, byLength), "/.../");
    EXPECT_EQ(ShortenPath(path, 4, byLength), ".../");
    EXPECT_EQ(ShortenPath(path, 3, byLength), "");
}

TEST(ShortenPathTest, KeepsTheNameEvenWhenStillTooWide)
{
    const std::string path = "/music/rock/a-very-long-file-name.mp3";
    EXPECT_EQ(ShortenPath(path, 30, byLength), "/.../a-very-long-file-name.mp3");
    EXPECT_EQ(ShortenPath(path, 5, byLength), "a-very-long-file-name.mp3");
    EXPECT_EQ(ShortenPath("plain", 1, byLength), "plain");
}

TEST(ShortenPathTest, FolderNamesBeginningWithDotsAreCutWhole)
{
    EXPECT_EQ(ShortenPath("/.hidden/x/y/", 12, byLength), "/.../x/y/");
}

TEST(ShowPathInLabelTest, WritesTheRealFormShortenedToTheLabel)
{
    QLabel label;
    label.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    label.resize(10000, 20);
    ShowPathInLabel(&label, "?.1Мой компьютер", 0);
    EXPECT_EQ(label.text().toStdString(), "Мой компьютер");

    const QFontMetrics metrics(label.font());
    const std::string path = "/music/rock/album/songs/";
    label.resize(metrics.horizontalAdvance("/.../album/songs/") + 1, 20);
    ShowPathInLabel(&label, path, 0);
    EXPECT_EQ(label.text().toStdString(), "/.../album/songs/");

    // A label that sizes itself takes the given width.
    QLabel free;
    free.setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    ShowPathInLabel(&free, path, 1);
    EXPECT_EQ(free.text().toStdString(), "");
    ShowPathInLabel(nullptr, path, 100);  // nothing to write into
}

}  // namespace
