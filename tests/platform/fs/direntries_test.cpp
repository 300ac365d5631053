// Folder listing with attributes, 64-bit sizes and DOS-grain times; rename and new folders.
#include "platform/direntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace {

using namespace platform;

void writeFile(const std::string& path, const char* text)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

std::string readFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

class DirEntriesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    std::string path(const std::string& name) const { return m_dir.path().toStdString() + "/" + name; }

    std::map<std::string, DirEntry> list()
    {
        std::vector<DirEntry> entries;
        EXPECT_TRUE(readDirectory(m_dir.path().toStdString(), entries));
        std::map<std::string, DirEntry> byName;
        for (const auto& e : entries)
            byName[e.name] = e;
        return byName;
    }

    QTemporaryDir m_dir;
};

TEST_F(DirEntriesTest, ListsKindsHiddenNamesAndSkipsDotEntries)
{
    QDir(m_dir.path()).mkdir("folder");
    QDir(m_dir.path()).mkdir(".config");
    writeFile(path("song.mp3"), "abc");
    writeFile(path(".hidden"), "");
    ASSERT_EQ(::symlink("folder", path("link").c_str()), 0);
    ASSERT_EQ(::symlink("missing-target", path("dangling").c_str()), 0);

    const auto entries = list();
    EXPECT_EQ(entries.count("."), 0u);
    EXPECT_EQ(entries.count(".."), 0u);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(entries.at("folder").attributes & kAttrDirectory);
    EXPECT_FALSE(entries.at("folder").attributes & kAttrHidden);
    EXPECT_EQ(entries.at("folder").size, 0u);
    EXPECT_TRUE(entries.at(".config").attributes & kAttrDirectory);
    EXPECT_TRUE(entries.at(".config").attributes & kAttrHidden);
    EXPECT_FALSE(entries.at("song.mp3").attributes & kAttrDirectory);
    EXPECT_EQ(entries.at("song.mp3").size, 3u);
    EXPECT_TRUE(entries.at(".hidden").attributes & kAttrHidden);
    EXPECT_TRUE(entries.at("link").attributes & kAttrDirectory);  // the kind of what it points at
    EXPECT_FALSE(entries.at("dangling").attributes & kAttrDirectory);

    std::vector<DirEntry> none;
    EXPECT_FALSE(readDirectory(path("no-such-folder"), none));
    EXPECT_TRUE(none.empty());
}

TEST_F(DirEntriesTest, ReadOnlyFilesAreMarked)
{
    writeFile(path("locked.wav"), "x");
    ::chmod(path("locked.wav").c_str(), 0444);
    writeFile(path("open.wav"), "x");
    const auto entries = list();
    EXPECT_TRUE(entries.at("locked.wav").attributes & kAttrReadOnly);
    EXPECT_FALSE(entries.at("open.wav").attributes & kAttrReadOnly);
}

TEST_F(DirEntriesTest, SizesBeyondFourGigabytesKeepAllBits)
{
    const std::string big = path("big.wav");
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const off_t fiveGiB = off_t(5) << 30;  // high half 1, low half 1073741824
    ASSERT_EQ(::ftruncate(fd, fiveGiB), 0);  // sparse: takes no space
    ::close(fd);
    EXPECT_EQ(list().at("big.wav").size, 5368709120ull);
}

TEST_F(DirEntriesTest, TimesAreLocalDayCountsAtTwoSecondGrain)
{
    std::tm local{};
    local.tm_year = 2020 - 1900;
    local.tm_mon = 4;  // May
    local.tm_mday = 17;
    local.tm_hour = 13;
    local.tm_min = 45;
    local.tm_sec = 31;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    writeFile(path("dated.mp3"), "x");
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path("dated.mp3").c_str(), times, 0), 0);

    // 2020-05-17 is day 43968 counted from 1899-12-30; 31 s rounds down to 30 s.
    const double expected = 43968 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
    EXPECT_NEAR(list().at("dated.mp3").modified, expected, 1e-9);
    EXPECT_NEAR(dosDayCount(when + 1), expected + 2 / 86400.0, 1e-9);
}

TEST_F(DirEntriesTest, RenameNeverReplacesAnExistingName)
{
    writeFile(path("a.mp3"), "first");
    writeFile(path("b.mp3"), "second");
    errno = 0;
    EXPECT_FALSE(renameNoReplace(path("a.mp3"), path("b.mp3")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(readFile(path("a.mp3")), "first");
    EXPECT_EQ(readFile(path("b.mp3")), "second");

    QDir(m_dir.path()).mkdir("Rock");
    EXPECT_FALSE(renameNoReplace(path("Rock"), path("a.mp3")));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path("Rock"))).isDir());

    EXPECT_TRUE(renameNoReplace(path("a.mp3"), path("c.mp3")));
    EXPECT_EQ(readFile(path("c.mp3")), "first");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("a.mp3"))));
    EXPECT_TRUE(renameNoReplace(path("Rock"), path("Pop")));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path("Pop"))).isDir());
    EXPECT_FALSE(renameNoReplace(path("missing"), path("other")));
}

TEST_F(DirEntriesTest, MakeFolderAndFolderHasEntries)
{
    EXPECT_TRUE(makeFolder(path("new")));
    EXPECT_FALSE(makeFolder(path("new")));
    EXPECT_FALSE(makeFolder(path("no/such/parent")));
    EXPECT_FALSE(folderHasEntries(path("new")));
    writeFile(path("new/.dot"), "");
    EXPECT_TRUE(folderHasEntries(path("new")));
    EXPECT_FALSE(folderHasEntries(path("missing")));

    EXPECT_NE(fileAttributes(path("new")) & kAttrDirectory, 0u);
    EXPECT_NE(fileAttributes(path("new/.dot")) & kAttrHidden, 0u);
    EXPECT_EQ(fileAttributes(path("missing")), kInvalidAttributes);
}

}  // namespace
