// Playlist files and ".hst" files: byte-for-byte round trips, the header rule, encodings, limits.
#include "tests/player/playerfixtures.h"

#include "media/tag.h"
#include "platform/cp1251.h"
#include "player/playlist/playlistfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

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

TEST_F(PlaylistFile, ReadsExtendedAndPlainPlaylists)
{
    EXPECT_FALSE(ReadPlaylistFile(dir.path() + "/missing.m3u").has_value());
    // Bare paths, with or without a header, are entries named after their file.
    for (const char* text : {"/m/a.mp3\n", "#EXTM3U\r\n/m/a.mp3\r\n", "#extm3u\n\n/m/a.mp3"}) {
        const auto plain = ReadPlaylistFile(dir.write("plain.m3u", text));
        ASSERT_TRUE(plain.has_value()) << text;
        ASSERT_EQ(plain->size(), 1u) << text;
        EXPECT_EQ((*plain)[0].SubItems[1], "a");
        EXPECT_EQ((*plain)[0].SubItems[2], "??:??");
        EXPECT_EQ((*plain)[0].SubItems[3], "/m/a.mp3");
    }
    // Described and bare entries mixed, comments and blank lines between a description and its
    // path.
    const auto mixed = ReadPlaylistFile(
        dir.write("mix.m3u", "#EXTM3U  \n/first.mp3\n#EXTINF:61,A - B\n\n# a comment\n/a.mp3\n/last.ogg"));
    ASSERT_TRUE(mixed.has_value());
    ASSERT_EQ(mixed->size(), 3u);
    EXPECT_EQ((*mixed)[0].SubItems[1], "first");
    EXPECT_EQ((*mixed)[1].SubItems[1], "A - B");
    EXPECT_EQ((*mixed)[1].SubItems[2], "01:01");
    EXPECT_EQ((*mixed)[1].SubItems[3], "/a.mp3");
    EXPECT_EQ((*mixed)[2].SubItems[1], "last");
    EXPECT_EQ((*mixed)[2].SubItems[2], "??:??");
    // Read as a hand-over: a header and described entries only.
    EXPECT_FALSE(ReadPlaylistFile(dir.write("text.m3u", "not a playlist\r\n"), PlaylistEntries::ExtendedOnly).has_value());
    const auto described = ReadPlaylistFile(dir.path() + "/mix.m3u", PlaylistEntries::ExtendedOnly);
    ASSERT_TRUE(described.has_value());
    ASSERT_EQ(described->size(), 1u);
    EXPECT_EQ((*described)[0].SubItems[3], "/a.mp3");
    // A file with a zero byte is no playlist, and an empty one is an empty playlist.
    EXPECT_FALSE(ReadPlaylistFile(dir.write("audio.m3u", std::string("ID3\0\0\x04/x\n", 9))).has_value());
    const auto empty = ReadPlaylistFile(dir.write("empty.m3u", ""));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
}

TEST_F(PlaylistFile, SurvivesDamagedEntries)
{
    // A negative and a huge duration, no comma, a last description without its path.
    const auto rows = ReadPlaylistFile(
        dir.write("bad.m3u", "#EXTM3U\r\n#EXTINF:-5,neg\r\n/n\r\n#EXTINF:99999999999999999999,big\r\n/b\r\n#EXTINF:abc\r\n/c\r\n#EXTINF:3,last"));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0].SubItems[2], "??:??");
    EXPECT_EQ((*rows)[1].SubItems[2], "??:??");
    EXPECT_EQ((*rows)[2].SubItems[1], "c");
    EXPECT_EQ((*rows)[2].SubItems[3], "/c");
}

TEST_F(PlaylistFile, AFilePastTheBoundsIsRefusedUnread)
{
    // Past the bounds the rows would take some 20 times the file's size, or more for short lines
    // (each one a row of its own). The size alone refuses it: a file with a hole will do.
    const std::string big = dir.write("big.m3u", "#EXTM3U\r\n#EXTINF:60,Artist - Title\r\n/music/track.mp3\r\n");
    std::filesystem::resize_file(big, media::kMaxPlaylistFileBytes + 1);
    EXPECT_FALSE(ReadPlaylistFile(big, PlaylistEntries::All, &error));
    EXPECT_EQ(error, "Larger than 64 MB");
    std::string many = "#EXTM3U\r";
    for (std::size_t i = 0; i <= media::kMaxPlaylistEntries; ++i)
        many += "a\n";
    EXPECT_FALSE(ReadPlaylistFile(dir.write("many.m3u", many), PlaylistEntries::All, &error));
    EXPECT_EQ(error, "More than 300000 entries");
    // Lines that hold no entry are bounded too: splitting them takes memory all the same.
    const std::string blank(media::kMaxPlaylistLines + 1, '\n');
    EXPECT_FALSE(ReadPlaylistFile(dir.write("blank.m3u", blank), PlaylistEntries::All, &error));
    EXPECT_EQ(error, "More than 1200000 lines");
}

TEST_F(PlaylistFile, AListIsSavedOnlyWhenItReadsBackWhole)
{
    // Two lines a row: a list at the bound of entries has twice as many lines. The bounds are all
    // that could refuse its rows when read.
    const controls::TVirtualItem one = row("Artist - Title", "03:00", "/music/track.mp3");
    std::vector<controls::TVirtualItem> rows(media::kMaxPlaylistEntries, one);
    const std::string path = dir.path() + "/full.m3u";
    ASSERT_TRUE(WritePlaylistFile(path, rows, error)) << error;
    std::string bytes;
    EXPECT_EQ(media::ReadPlaylistBytes(path, bytes, error), media::PlaylistRead::Ok) << error;
    // One row more would not be read: the file keeps the list it holds.
    const auto before = std::filesystem::file_size(path);
    rows.push_back(one);
    EXPECT_FALSE(WritePlaylistFile(path, rows, error));
    EXPECT_EQ(error, "More than 300000 entries");
    EXPECT_EQ(std::filesystem::file_size(path), before);
}

TEST_F(PlaylistFile, RelativeEntriesLieInThePlaylistsFolder)
{
    const std::string name = platform::utf8ToCp1251("Группа - Песня");
    std::filesystem::create_directories(dir.path() + "/lists/sub");
    const std::string track = dir.write("lists/sub/t.mp3", "x");
    const auto rows = ReadPlaylistFile(
        dir.write("lists/cp.m3u", "#EXTM3U\r\n#EXTINF:10," + name + "\r\nsub\\t.mp3\r\nsub/t.mp3\r\n" + track + "\r\n"));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0].SubItems[1], QStringLiteral("Группа - Песня"));
    for (const auto& r : *rows)
        EXPECT_EQ(r.SubItems[3].toStdString(), track);
}

TEST_F(PlaylistFile, TruncatedAndRandomFilesNeverBreakTheReader)
{
    const std::string good = "#EXTM3U\r\n#EXTINF:215,Artist - Song\r\nmusic\\song.mp3\r\n/abs/b.ogg\r\n#EXTINF:3,x\r\n";
    for (std::size_t n = 0; n <= good.size(); ++n) {
        const auto rows = ReadPlaylistFile(dir.write("cut.m3u", good.substr(0, n)));
        ASSERT_TRUE(rows.has_value()) << n;
        EXPECT_LE(rows->size(), 2u) << n;
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(rng() % 400), ' ');
        for (char& c : bytes)
            c = static_cast<char>(1 + rng() % 255);  // no zero byte: read as text
        const auto rows = ReadPlaylistFile(dir.write("random.m3u", bytes));
        ASSERT_TRUE(rows.has_value());
        for (const auto& r : *rows) {
            EXPECT_FALSE(r.SubItems[3].contains('\n'));
            EXPECT_FALSE(r.SubItems[3].contains('\r'));
            EXPECT_FALSE(r.SubItems[3].isEmpty());
        }
    }
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
