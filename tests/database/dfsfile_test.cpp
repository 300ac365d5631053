// The ".dfs" file: rows read and written byte for byte, trailing pieces, corrupt length bytes,
// failed saves, and the lists of the track base.
#include "database/dfsfile.h"
#include "database/recordtext.h"
#include "database/trackbase.h"
#include "testtracks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <sys/stat.h>

using namespace database;
using dbtest::readAll;
using dbtest::writeAll;

namespace {

// Rows of random bytes: every byte after each length byte must survive a load and a save.
std::string randomRows(std::size_t rows, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(rows * kDfsRowSize, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

class DfsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
};

TEST_F(DfsFileTest, RoundTripKeepsEveryByteAndIgnoresTrailingPiece)
{
    const std::string rows = randomRows(3, 7);
    writeAll(path("a.dfs"), rows + std::string(100, 'Z'));
    DfsLoadResult r = readDfsFile(path("a.dfs"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.records.size(), 3u);
    std::vector<media::TTrackRecord*> ptrs;
    for (auto& p : r.records)
        ptrs.push_back(p.get());
    ASSERT_TRUE(writeDfsFile(path("b.dfs"), ptrs, nullptr));
    EXPECT_EQ(readAll(path("b.dfs")), rows);  // the 100 trailing bytes are gone, the rest identical
}

TEST_F(DfsFileTest, LargeFileCrossingReadBlocksLoadsWhole)
{
    const std::string rows = randomRows(9000, 3);  // more than two internal read blocks
    writeAll(path("big.dfs"), rows + "abc");
    DfsLoadResult r = readDfsFile(path("big.dfs"));
    ASSERT_EQ(r.records.size(), 9000u);
    EXPECT_EQ(std::memcmp(r.records[8999].get(), rows.data() + 8999 * kDfsRowSize, kDfsRowSize), 0);
    EXPECT_EQ(std::memcmp(r.records[4096].get(), rows.data() + 4096 * kDfsRowSize, kDfsRowSize), 0);
}

TEST_F(DfsFileTest, MissingEmptyAndShortFilesGiveEmptyBase)
{
    EXPECT_TRUE(readDfsFile(path("none.dfs")).ok);
    EXPECT_TRUE(readDfsFile(path("none.dfs")).records.empty());
    writeAll(path("empty.dfs"), "");
    EXPECT_TRUE(readDfsFile(path("empty.dfs")).records.empty());
    writeAll(path("short.dfs"), std::string(423, 'q'));
    EXPECT_TRUE(readDfsFile(path("short.dfs")).records.empty());
}

TEST_F(DfsFileTest, WhatIsNoBaseFileIsRefusedUnread)
{
    std::filesystem::create_directory(path("folder.dfs"));
    ASSERT_EQ(::mkfifo(path("pipe.dfs").c_str(), 0600), 0);
    // Sparse: one row more than a base may hold, without the disk space.
    { std::ofstream(path("huge.dfs")); }
    std::filesystem::resize_file(path("huge.dfs"), (media::kMaxBaseRows + 1) * kDfsRowSize);
    for (const auto& [file, why] : {std::pair<std::string, std::string>{path("folder.dfs"), "Is a directory"},
                                    {path("pipe.dfs"), "Not a regular file"},
                                    {"/dev/zero", "Not a regular file"},
                                    {path("huge.dfs"), "Larger than 404.4 MB"}}) {
        const DfsLoadResult r = readDfsFile(file);
        EXPECT_FALSE(r.ok) << file;
        EXPECT_EQ(r.error, why);
        EXPECT_TRUE(r.records.empty());
    }
}

TEST_F(DfsFileTest, OverlongLengthByteIsClampedOnReadButSavedAsRead)
{
    std::string row(kDfsRowSize, 'A');
    row[0] = static_cast<char>(200);    // Title holds at most 30
    row[93] = static_cast<char>(255);   // Year holds at most 4
    row[160] = static_cast<char>(255);  // FileName: exactly full, legal
    writeAll(path("c.dfs"), row);
    DfsLoadResult r = readDfsFile(path("c.dfs"));
    ASSERT_EQ(r.records.size(), 1u);
    const media::TTrackRecord& rec = *r.records[0];
    EXPECT_EQ(storedBytes(rec, Field::Title).size(), 30u);
    EXPECT_EQ(storedBytes(rec, Field::Year).size(), 4u);
    EXPECT_EQ(storedBytes(rec, Field::FileName).size(), 255u);
    EXPECT_EQ(fieldText(rec, Field::Title), QString(30, 'A'));
    std::vector<media::TTrackRecord*> ptrs{r.records[0].get()};
    ASSERT_TRUE(writeDfsFile(path("d.dfs"), ptrs, nullptr));
    EXPECT_EQ(readAll(path("d.dfs")), row);
}

TEST_F(DfsFileTest, FailedSaveLeavesOldFileWhole)
{
    writeAll(path("keep.dfs"), randomRows(2, 1));
    const std::string before = readAll(path("keep.dfs"));
    auto rec = dbtest::makeTrack({.title = "x", .fileName = "/a.mp3"});
    std::vector<media::TTrackRecord*> ptrs{rec.get()};
    std::string error;
    // A path below a regular file cannot be created.
    EXPECT_FALSE(writeDfsFile(path("keep.dfs") + "/sub.dfs", ptrs, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(path("keep.dfs")), before);
    // Nothing half-written is left beside it.
    std::size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path().toStdString())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST(TrackBaseTest, FileNamedNOIsAnOrdinaryTrackAndOnlyFlaggedRowsArePurged)
{
    TrackBase base;
    auto* no = base.append(dbtest::makeTrack({.title = "a", .fileName = "NO"}));
    auto* b = base.append(dbtest::makeTrack({.title = "b", .fileName = "/b.mp3"}));
    auto* c = base.append(dbtest::makeTrack({.title = "c", .fileName = "/c.mp3"}));
    EXPECT_FALSE(base.isDeleted(no));
    base.markDeleted(b);
    base.markDeleted(b);
    base.purgeDeleted();
    EXPECT_EQ(base.List2, (std::vector<media::TTrackRecord*>{no, c}));
    EXPECT_EQ(base.List, base.List2);
}

TEST(TrackBaseTest, PurgeKeepsIndexesParallelToASearchResult)
{
    TrackBase base;
    auto* a = base.append(dbtest::makeTrack({.title = "a"}));
    auto* b = base.append(dbtest::makeTrack({.title = "b"}));
    auto* c = base.append(dbtest::makeTrack({.title = "c"}));
    base.List = {a, c};
    base.Indexes = {0, 2};
    base.markDeleted(a);
    base.purgeDeleted();
    EXPECT_EQ(base.List, (std::vector<media::TTrackRecord*>{c}));
    EXPECT_EQ(base.Indexes, (std::vector<int>{1}));
    EXPECT_EQ(base.List2[1], c);
    (void)b;
}

TEST(TrackBaseTest, AppendGoesToBothListsAlsoDuringASearch)
{
    TrackBase base;
    auto* a = base.append(dbtest::makeTrack({.title = "a"}));
    base.append(dbtest::makeTrack({.title = "b"}));
    base.List = {a};
    auto* c = base.append(dbtest::makeTrack({.title = "c"}));
    EXPECT_EQ(base.List, (std::vector<media::TTrackRecord*>{a, c}));
    EXPECT_EQ(base.List2.size(), 3u);
    base.ClearList();
    EXPECT_TRUE(base.List.empty());
    EXPECT_TRUE(base.List2.empty());
}

}  // namespace
