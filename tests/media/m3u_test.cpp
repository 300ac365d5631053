// The extended M3U reader and the playlist total.
#include "mediafixtures.h"

#include "media/tag.h"
#include "platform/recordedusermessages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace mediatest;

namespace {

class M3uTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setUserMessages(&messages);
        std::memset(records.data(), 0x55, sizeof(media::TTrackRecord) * records.size());
    }
    void TearDown() override { platform::setUserMessages(nullptr); }

    int load(const std::string& text, const std::string& name = "lists/set.m3u")
    {
        path = dir.write(name, text);
        return media::LoadM3UPlaylist(path, records);
    }

    TempDir dir;
    platform::RecordedUserMessages messages;
    std::array<media::TTrackRecord, 8> records;
    std::string path;
};

TEST_F(M3uTest, EntryWithArtistAndTitleAndRelativeBackslashPath)
{
    ASSERT_EQ(load("#EXTM3U\r\n#EXTINF:215,Artist - Song\r\nmusic\\song.mp3\r\n"), 1);
    const media::TTrackRecord& r = records[0];
    EXPECT_EQ(r.Artist.str(), "Artist");
    EXPECT_EQ(r.Title.str(), "Song ");  // the blank appended to the line stays
    EXPECT_EQ(r.Duration, 215000);
    EXPECT_EQ(r.FileName.str(), dir.path() + "/lists/music/song.mp3");
    EXPECT_EQ(r.Album.length, 0);
    EXPECT_EQ(r.Genre.length, 0);
    EXPECT_EQ(r.Size, 0x55555555);  // not written
}

TEST_F(M3uTest, EntryWithoutSeparatorUsesTheTildeRule)
{
    const std::string long60 = "0123456789abcdefghijABCDEFGHIJ0123456789abcdefghijABCDEFGHIJ";
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:-1,Live stream\n/radio/live\n#EXTINF:10," + long60 + "\n/x/long.mp3\n"), 2);
    EXPECT_EQ(records[0].Duration, -1000);
    EXPECT_EQ(records[0].Artist.str(), "~Live stream ");
    EXPECT_EQ(records[0].Title.length, 0);
    EXPECT_EQ(records[0].FileName.str(), "/radio/live");
    // "~" and 29 characters, then characters 30..59 of the text.
    EXPECT_EQ(records[1].Artist.str(), "~" + long60.substr(0, 29));
    EXPECT_EQ(records[1].Title.str(), long60.substr(29, 30));
    EXPECT_EQ(records[1].Artist.str().substr(1) + records[1].Title.str(), long60.substr(0, 59));
}

TEST_F(M3uTest, TheHeaderLineDecides)
{
    EXPECT_EQ(load("#EXTM3U   \t\n#EXTINF:1,a - b\nx.mp3\n"), 1);
    EXPECT_EQ(load("\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,a - b\nx.mp3\n"), 0);  // a byte-order mark is not blank
    EXPECT_EQ(load("  #EXTM3U\n#EXTINF:1,a - b\nx.mp3\n"), 1);
    EXPECT_EQ(load("#extm3u\n#EXTINF:1,a - b\nx.mp3\n"), 0);
    EXPECT_EQ(load("#EXTINF:1,a - b\nx.mp3\n"), 0);
    EXPECT_EQ(load(""), 0);
    EXPECT_EQ(media::GetM3UTotalSeconds(dir.write("l.m3u", "#EXTM3u\n#EXTINF:5,a\nx\n")), 0);
}

TEST_F(M3uTest, PlainEntriesAreSkippedAndOddDurationsAreZero)
{
    ASSERT_EQ(load("#EXTM3U\nplain.mp3\n#EXTINF:abc,A - B\n/a.mp3\n#EXTINF:12\n/b.mp3\n"
                   "#EXTINF:7,Name, with comma - T\n/c.mp3\n#EXTINF:99999999999,x - y\n/d.mp3\n"),
              4);
    EXPECT_EQ(records[0].Duration, 0);
    EXPECT_EQ(records[0].FileName.str(), "/a.mp3");
    EXPECT_EQ(records[1].Duration, 0);  // no comma: no display text either
    EXPECT_EQ(records[1].Artist.str(), "~");
    EXPECT_EQ(records[2].Duration, 7000);
    EXPECT_EQ(records[2].Artist.str(), "Name, with comma");
    EXPECT_EQ(records[3].Duration, 0);
}

TEST_F(M3uTest, PathRules)
{
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:1,a - b\nC:\\music\\a.mp3\n#EXTINF:1,a - b\nab\n"
                   "#EXTINF:1,a - b\n\\rel\\x.mp3\n#EXTINF:1,a - b"),
              4);
    EXPECT_EQ(records[0].FileName.str(), "C:/music/a.mp3");   // drive letter: absolute
    EXPECT_EQ(records[1].FileName.str(), "ab");               // two characters: kept as they are
    EXPECT_EQ(records[2].FileName.str(), dir.path() + "/lists//rel/x.mp3");
    EXPECT_EQ(records[3].FileName.str(), "");  // no path line at the end
    // A name with a backslash that exists as written is kept.
    const std::string literal = dir.write("lists/odd\\name.mp3", "x");
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:1,a - b\nodd\\name.mp3\n"), 1);
    EXPECT_EQ(records[0].FileName.str(), literal);
}

TEST_F(M3uTest, CapacityAndLongPaths)
{
    std::string text = "#EXTM3U\n";
    for (int i = 0; i < 12; ++i)
        text += "#EXTINF:1,a - " + std::to_string(i) + "\n/m/" + std::to_string(i) + ".mp3\n";
    EXPECT_EQ(load(text), 8);
    EXPECT_EQ(records[7].Title.str(), "7 ");

    const std::string longPath = "/" + std::string(255, 'p');
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:1,a - b\n" + longPath + "\n#EXTINF:2,c - d\n/ok.mp3\n#EXTINF:1,e - f\n" +
                   longPath + "x\n"),
              1);
    EXPECT_EQ(records[0].FileName.str(), "/ok.mp3");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(": 2"), std::string::npos);
    EXPECT_NE(messages.shown()[0].text.find(longPath), std::string::npos);
    // 255 bytes fit.
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:1,a - b\n" + std::string("/") + std::string(254, 'q') + "\n"), 1);
    EXPECT_EQ(records[0].FileName.length, 255);
}

TEST_F(M3uTest, TextIsStoredInCodePage1251)
{
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:3,Кино - Группа крови\n/a.mp3\n"), 1);
    EXPECT_EQ(records[0].Artist.str(), "\xCA\xE8\xED\xEE");
    // A playlist written in code page 1251 reads the same.
    ASSERT_EQ(load("#EXTM3U\n#EXTINF:3,\xCA\xE8\xED\xEE - x\n/a.mp3\n"), 1);
    EXPECT_EQ(records[0].Artist.str(), "\xCA\xE8\xED\xEE");
}

TEST_F(M3uTest, MissingPlaylist)
{
    const std::string missing = dir.path() + "/none.m3u";
    EXPECT_EQ(media::LoadM3UPlaylist(missing, records), 0);
    EXPECT_EQ(media::GetM3UTotalSeconds(missing), 0);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Плейлист \"" + missing + "\" не найден!");
    EXPECT_EQ(messages.shown()[0].caption, "Error");
    EXPECT_EQ(messages.shown()[1].text, messages.shown()[0].text);
}

TEST_F(M3uTest, AFolderOrAFilePastTheBoundIsRefusedWithItsReason)
{
    // The size alone refuses it: a file with a hole will do.
    const std::string large = dir.write("large.m3u", "#EXTM3U\r\n#EXTINF:60,a\r\n/a.mp3\r\n");
    std::filesystem::resize_file(large, media::kMaxPlaylistFileBytes + 1);
    EXPECT_EQ(media::GetM3UTotalSeconds(large), 0);
    EXPECT_EQ(media::LoadM3UPlaylist(dir.path(), records), 0);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Плейлист \"" + large + "\" не читается: Larger than 64 MB");
    EXPECT_EQ(messages.shown()[1].text, "Плейлист \"" + dir.path() + "\" не читается: Is a directory");
}

TEST_F(M3uTest, TotalSkipsThePathLines)
{
    const std::string p = dir.write("t.m3u", "#EXTM3U\r\n#EXTINF:100,a - b\r\n#EXTINF:1000,not counted\r\n"
                                             "#EXTINF:-20,c\r\nx\r\n#EXTINF:zz,d\r\ny\r\nplain\r\n#EXTINF:5\r\nz\r\n");
    EXPECT_EQ(media::GetM3UTotalSeconds(p), 80);
}

}  // namespace
