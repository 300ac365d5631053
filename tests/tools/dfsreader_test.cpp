// Reading ".dfs" files the generator is given: whole rows only, damaged length bytes, deleted and
// unusable rows, and files that are not a base at all.
#include "sorbelttest.h"
#include "tools/Sorbelt/dfsreader.h"
#include "tools/Sorbelt/stacklist.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

#include <sys/stat.h>

using namespace sorbelt;
using sorbelttest::makeRow;
using sorbelttest::writeDfs;

namespace {

class DfsReading : public ::testing::Test {
protected:
    std::string file(const char* name) const { return m_dir.path().toStdString() + "/" + name; }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(DfsReading, WholeRowsAreReadByteForByteAndATruncatedTailIsIgnored)
{
    const std::vector<media::TTrackRecord> rows = {
        makeRow("Artist 1", "Title 1", "/music/1.mp3", 1000),
        makeRow("Artist 2", "Title 2", "/music/2.mp3", 2000),
        makeRow("Artist 3", "Title 3", "/music/3.mp3", 3000),
    };
    writeDfs(file("base.dfs"), rows, 100);
    const DfsRows read = readDfsRows(file("base.dfs"));
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.rows.size(), 3u);
    EXPECT_EQ(read.ignoredTailBytes, 100u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(std::memcmp(&read.rows[i], &rows[i], kDfsRowSize), 0) << "row " << i;

    writeDfs(file("short.dfs"), {}, kDfsRowSize - 1);
    const DfsRows shortOnly = readDfsRows(file("short.dfs"));
    EXPECT_TRUE(shortOnly.ok);
    EXPECT_TRUE(shortOnly.rows.empty());

    writeDfs(file("empty.dfs"), {});
    const DfsRows empty = readDfsRows(file("empty.dfs"));
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.rows.empty());
}

TEST_F(DfsReading, NoPathAMissingFileAFolderAPipeAndADeviceAreFailures)
{
    EXPECT_FALSE(readDfsRows("").ok);
    EXPECT_FALSE(readDfsRows(file("missing.dfs")).ok);
    EXPECT_FALSE(readDfsRows(m_dir.path().toStdString()).ok);
    // Neither waits for a writer nor reads without end.
    ASSERT_EQ(::mkfifo(file("pipe.dfs").c_str(), 0600), 0);
    EXPECT_FALSE(readDfsRows(file("pipe.dfs")).ok);
    const DfsRows zero = readDfsRows("/dev/zero");
    EXPECT_FALSE(zero.ok);
    EXPECT_TRUE(zero.rows.empty());
}

TEST_F(DfsReading, OverLongLengthBytesAreClampedToTheirField)
{
    media::TTrackRecord row = makeRow("Artist", "Title", "/music/a.mp3", 1000);
    row.Title.length = 255;   // the title's 30 bytes are followed by the artist field
    row.Artist.length = 200;
    row.Year.length = 90;
    std::memcpy(row.Year.chars, "1999", 4);
    writeDfs(file("long.dfs"), {row});
    const DfsRows read = readDfsRows(file("long.dfs"));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(fieldText(read.rows[0].Title), "Title");
    EXPECT_EQ(fieldText(read.rows[0].Artist), "Artist");
    EXPECT_EQ(read.rows[0].Year.str(), "1999");

    // A title filling its whole field with a length byte beyond it: nothing of the next field leaks.
    row.Title.length = 255;
    std::memset(row.Title.chars, 'T', 30);
    EXPECT_EQ(fieldText(row.Title), std::string(30, 'T'));
    EXPECT_EQ(m3uText({row}), "#EXTM3U\r\n#EXTINF:1,Artist - " + std::string(30, 'T') + "\r\n/music/a.mp3\r\n");
}

TEST_F(DfsReading, DeletedAndUnusableRowsAreNotPlayable)
{
    const auto deleted = makeRow("A", "T", "NO", 1000);
    EXPECT_TRUE(isDeletedRow(deleted));
    EXPECT_FALSE(isPlayableRow(deleted));
    auto paddedDeleted = deleted;
    paddedDeleted.FileName.length = 5;  // "NO" and zero bytes
    EXPECT_TRUE(isDeletedRow(paddedDeleted));

    EXPECT_TRUE(isPlayableRow(makeRow("A", "T", "/music/NO", 1000)));
    EXPECT_FALSE(isDeletedRow(makeRow("A", "T", "/music/NO", 1000)));
    EXPECT_TRUE(isPlayableRow(makeRow("A", "T", "/music/Песня.mp3", 1000)));
    EXPECT_FALSE(isPlayableRow(makeRow("A", "T", "", 1000)));
    EXPECT_FALSE(isPlayableRow(makeRow("A", "T", "   ", 1000)));
    EXPECT_FALSE(isPlayableRow(makeRow("A", "T", "/music/a.mp3\r\n#EXTINF:1,x - y\r\n/etc/b", 1000)));
    EXPECT_FALSE(isPlayableRow(makeRow("A", "T", "/music/\xcf\xe5\xf1\xed\xff.mp3", 1000)))
        << "a name that is not UTF-8 would turn the whole list into code page 1251";
}

TEST_F(DfsReading, RandomBytesNeverCrashAndGiveWhole424ByteRows)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        const std::size_t size = random() % (kDfsRowSize * 40);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const std::string path = file("random.dfs");
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
        const DfsRows read = readDfsRows(path);
        ASSERT_TRUE(read.ok);
        ASSERT_EQ(read.rows.size(), size / kDfsRowSize);
        EXPECT_EQ(read.ignoredTailBytes, size % kDfsRowSize);
        const auto chosen = chooseRows(read.rows, 1000, random);
        const std::string text = m3uText(chosen);
        // Every chosen row is exactly two lines.
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, 1 + 2 * chosen.size());
    }
}
