// Playlist files and ".hst" files: byte-for-byte round trips, the header rule, encodings, limits.
#include "tests/player/playerfixtures.h"

#include "platform/cp1251.h"
#include "player/playlist/playlistfile.h"

#include <gtest/gtest.h>

using namespace player;
using playertest::row;
using playertest::TempDir;

class PlaylistFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string error;
};

TEST_F(PlaylistFile, WritesTheExtendedForm)
{
    const std::string path = dir.path() + "/a.m3u";
    ASSERT_TRUE(WritePlaylistFile(path, {row("Artist - Title", "03:25", "/m/a.mp3"), row("x", "??:??", "/m/x.wav")}, error));
    EXPECT_EQ(dir.read(path), "#EXTM3U\r\n#EXTINF:205,Artist - Title\r\n/m/a.mp3\r\n#EXTINF:0,x\r\n/m/x.wav\r\n");
    ASSERT_TRUE(WritePlaylistFile(path, {}, error));
    EXPECT_EQ(dir.read(path), "#EXTM3U\r\n");
}

TEST_F(PlaylistFile, LargeListRoundTripsByteForByte)
{
    std::vector<controls::TVirtualItem> rows;
    const QString longName = QString(50, QChar(0x0416)) + QString(50, 'n');  // 100 characters
    const QString longPath = "/" + QString(299, 'p');                         // 300 bytes
    rows.push_back(row(longName, "100:05", longPath));
    for (int i = 1; i < 12000; ++i)
        rows.push_back(row("Artist " + QString::number(i) + " - Title", i % 7 == 0 ? "??:??" : "04:1" + QString::number(i % 10),
                           "/music/" + QString::number(i) + ".mp3"));
    const std::string a = dir.path() + "/a.m3u";
    const std::string b = dir.path() + "/b.m3u";
    ASSERT_TRUE(WritePlaylistFile(a, rows, error));
    const auto back = ReadPlaylistFile(a);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), rows.size());
    EXPECT_EQ((*back)[0].SubItems[1], longName);
    EXPECT_EQ((*back)[0].SubItems[2], "100:05");
    EXPECT_EQ((*back)[0].SubItems[3], longPath);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ((*back)[i], rows[i]) << i;
    ASSERT_TRUE(WritePlaylistFile(b, *back, error));
    EXPECT_EQ(dir.read(a), dir.read(b));
}

TEST_F(PlaylistFile, ReadsOnlyExtendedPlaylists)
{
    EXPECT_FALSE(ReadPlaylistFile(dir.path() + "/missing.m3u").has_value());
    EXPECT_FALSE(ReadPlaylistFile(dir.write("plain.m3u", "/m/a.mp3\n")).has_value());
    EXPECT_FALSE(ReadPlaylistFile(dir.write("lower.m3u", "#extm3u\n#EXTINF:1,a\n/a\n")).has_value());
    const auto padded = ReadPlaylistFile(dir.write("pad.m3u", "#EXTM3U  \n/ignored.mp3\n#EXTINF:61,a\n/a.mp3"));
    ASSERT_TRUE(padded.has_value());
    ASSERT_EQ(padded->size(), 1u);
    EXPECT_EQ((*padded)[0].SubItems[2], "01:01");
    EXPECT_EQ((*padded)[0].SubItems[3], "/a.mp3");
}

TEST_F(PlaylistFile, SurvivesDamagedEntries)
{
    // A last entry without its path line, a negative and a huge duration, no comma.
    const auto rows = ReadPlaylistFile(
        dir.write("bad.m3u", "#EXTM3U\r\n#EXTINF:-5,neg\r\n/n\r\n#EXTINF:99999999999999999999,big\r\n/b\r\n#EXTINF:abc\r\n/c\r\n#EXTINF:3,last"));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ((*rows)[0].SubItems[2], "??:??");
    EXPECT_EQ((*rows)[1].SubItems[2], "??:??");
    EXPECT_EQ((*rows)[2].SubItems[1], "");
    EXPECT_EQ((*rows)[3].SubItems[3], "");
}

TEST_F(PlaylistFile, TakesCodePage1251LinesAndBackslashPaths)
{
    const std::string name = platform::utf8ToCp1251("Группа - Песня");
    std::string track = dir.write("t.mp3", "x");
    std::string windowsStyle = track;
    std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');
    const auto rows = ReadPlaylistFile(dir.write("cp.m3u", "#EXTM3U\r\n#EXTINF:10," + name + "\r\n" + windowsStyle + "\r\n"));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0].SubItems[1], QStringLiteral("Группа - Песня"));
    EXPECT_EQ((*rows)[0].SubItems[3].toStdString(), track);
}

TEST_F(PlaylistFile, UnwritableFolderIsReported)
{
    EXPECT_FALSE(WritePlaylistFile(dir.path() + "/no/such/folder/a.m3u", {}, error));
    EXPECT_FALSE(error.empty());
}

class HistoryFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string error;
};

TEST_F(HistoryFile, RoundTripsByteForByte)
{
    const std::vector<std::string> paths = {"/lists/one.m3u", "/lists/Два.m3u"};
    const std::string a = dir.path() + "/a.hst";
    ASSERT_TRUE(WriteHistoryFile(a, paths, error));
    EXPECT_EQ(dir.read(a), "/lists/one.m3u\r\n/lists/Два.m3u\r\n");
    const auto back = ReadHistoryFile(a);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, paths);
    const std::string b = dir.path() + "/b.hst";
    ASSERT_TRUE(WriteHistoryFile(b, *back, error));
    EXPECT_EQ(dir.read(a), dir.read(b));
}

TEST_F(HistoryFile, UsesNoLineBeyondTheNinth)
{
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += "/l/" + std::to_string(i) + ".m3u\n";
    const auto lines = ReadHistoryFile(dir.write("many.hst", text));
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 9u);
    EXPECT_EQ(lines->back(), "/l/9.m3u");
    EXPECT_FALSE(ReadHistoryFile(dir.path() + "/none.hst").has_value());
}
