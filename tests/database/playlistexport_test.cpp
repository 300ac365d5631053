// Playlist export: the M3U text of track rows, Save playlist with its rows (selection or view) and
// the hand-over to the player through the exchange list.
#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "database/tracklistmodel.h"
#include "media/m3uexport.h"
#include "media/tag.h"
#include "platform/recordedusermessages.h"
#include "testplayer.h"
#include "testtracks.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>

using namespace database;

namespace {

media::TTrackRecord row(const dbtest::TrackFields& fields) { return *dbtest::makeTrack(fields); }

// ---- The text --------------------------------------------------------------------------------

TEST(M3uExportText, TagTextsBecomeUtf8AndPathsKeepTheirBytes)
{
    const std::vector<media::TTrackRecord> rows = {
        row({.title = "Группа крови", .artist = "Кино", .fileName = "/music/Кино/Группа крови.mp3", .duration = 285500}),
        row({.title = "Song", .artist = "Band", .fileName = "/music/Ünïcode raw.mp3", .duration = 2500}),
    };
    EXPECT_EQ(media::m3uText(rows), "#EXTM3U\r\n"
                                    "#EXTINF:286,Кино - Группа крови\r\n"
                                    "/music/Кино/Группа крови.mp3\r\n"
                                    "#EXTINF:2,Band - Song\r\n"
                                    "/music/Ünïcode raw.mp3\r\n");
}

TEST(M3uExportText, APathThatIsNotUtf8NeverGarblesTheOtherEntries)
{
    // The reader takes a playlist as UTF-8 only when all of it is: one path in another encoding
    // (a base made on another system) would turn every Cyrillic path into one that does not exist.
    const auto cyrillic = row({.title = "Группа крови", .artist = "Кино", .fileName = "/music/Кино/1.mp3"});
    const auto legacy = row({.title = "Old", .artist = "Base", .fileName = "/music/\xca\xe8\xed\xee/2.mp3"});
    media::M3uText text;
    EXPECT_TRUE(text.add(cyrillic));
    EXPECT_FALSE(text.add(legacy));
    QTemporaryDir dir;
    const std::string path = dir.filePath("mixed.m3u").toStdString();
    dbtest::writeAll(path, media::m3uText(std::vector{cyrillic, legacy, cyrillic}));
    std::array<media::TTrackRecord, 8> back{};
    ASSERT_EQ(media::LoadM3UPlaylist(path, back), 2);
    EXPECT_EQ(back[0].FileName.str(), "/music/Кино/1.mp3");
    EXPECT_EQ(back[1].FileName.str(), "/music/Кино/1.mp3");
}

TEST(M3uExportText, FieldsAreCutAtTheirFirstZeroByteThenTrimmed)
{
    auto padded = row({.fileName = "  /music/a.mp3\t "});
    // A 30-byte artist with blanks and zero bytes after the text, and bytes after the first zero.
    std::memcpy(padded.Artist.chars, "  Band  \0\0junk after the zero", 30);
    padded.Artist.length = 30;
    std::memcpy(padded.Title.chars, "Title\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0x", 30);
    padded.Title.length = 30;
    // A length byte larger than the field never reads past it.
    auto damaged = row({.artist = "A", .fileName = "/music/b.mp3"});
    damaged.Title.length = 255;
    std::memset(damaged.Title.chars, 'T', 30);
    EXPECT_EQ(media::m3uText(std::vector{padded, damaged}), "#EXTM3U\r\n"
                                                            "#EXTINF:0,Band - Title\r\n"
                                                            "/music/a.mp3\r\n"
                                                            "#EXTINF:0,A - " + std::string(30, 'T') + "\r\n"
                                                            "/music/b.mp3\r\n");
}

TEST(M3uExportText, LineBreaksNeverSplitAnEntry)
{
    const auto inTag = row({.title = "Tab\there", .artist = "Two\r\nLines", .fileName = "/music/x.mp3"});
    const auto inPath = row({.title = "t", .artist = "a", .fileName = "/music/evil\r\n#EXTINF:1,x - y\r\n/etc/passwd"});
    media::M3uText text;
    EXPECT_TRUE(text.add(inTag));
    EXPECT_FALSE(text.add(inPath));
    EXPECT_EQ(text.text(), "#EXTM3U\r\n#EXTINF:0,Two  Lines - Tab here\r\n/music/x.mp3\r\n");
}

// ---- The window's commands --------------------------------------------------------------------

class PlaylistExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
        setenv("QUORVALEN_NOSOUND", "1", 1);
        platform::setUserMessages(&messages);
        std::vector<std::unique_ptr<media::TTrackRecord>> rows;
        std::vector<media::TTrackRecord*> ptrs;
        for (int i = 0; i < 6; ++i) {
            rows.push_back(dbtest::makeTrack({.title = "Title " + std::to_string(i),
                                              .artist = i % 2 ? "Odd" : "Even",
                                              .fileName = "/music/" + std::to_string(i) + ".mp3",
                                              .duration = 1000 * i}));
            ptrs.push_back(rows.back().get());
        }
        ASSERT_TRUE(writeDfsFile(path("base.dfs"), ptrs, nullptr));
    }
    void TearDown() override { platform::setUserMessages(nullptr); }

    std::string path(const std::string& rel) const { return dir.filePath(QString::fromStdString(rel)).toStdString(); }
    static std::string entry(int i)
    {
        return "#EXTINF:" + std::to_string(i) + "," + (i % 2 ? "Odd" : "Even") + " - Title " + std::to_string(i) +
               "\r\n/music/" + std::to_string(i) + ".mp3\r\n";
    }
    static void selectRows(TBase_main_window& w, std::initializer_list<int> rows)
    {
        for (int r : rows)
            w.ListView1->selectionModel()->select(w.model()->index(r, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QTemporaryDir dir;
    platform::RecordedUserMessages messages;
};

TEST_F(PlaylistExportTest, WithoutASelectionTheRowsInViewAreExportedInViewOrder)
{
    TBase_main_window w({path("base.dfs")});
    w.Edits[1]->setText("odd");
    w.SearchBase();
    ASSERT_EQ(w.Base.List.size(), 3u);
    ASSERT_TRUE(w.ExportPlaylist(path("search.m3u")));
    EXPECT_EQ(dbtest::readAll(path("search.m3u")), "#EXTM3U\r\n" + entry(1) + entry(3) + entry(5));

    // Sorted descending by duration, the whole base is exported in that order.
    w.ListView1ColumnClick(6);
    ASSERT_TRUE(w.ExportPlaylist(path("sorted.m3u")));
    EXPECT_EQ(dbtest::readAll(path("sorted.m3u")),
              "#EXTM3U\r\n" + entry(5) + entry(4) + entry(3) + entry(2) + entry(1) + entry(0));
}

TEST_F(PlaylistExportTest, SelectedRowsAreExportedFromTheTop)
{
    TBase_main_window w({path("base.dfs")});
    selectRows(w, {4, 0, 2});
    ASSERT_TRUE(w.ExportPlaylist(path("sel.m3u")));
    EXPECT_EQ(dbtest::readAll(path("sel.m3u")), "#EXTM3U\r\n" + entry(0) + entry(2) + entry(4));
    // The player's reader takes the file back.
    std::array<media::TTrackRecord, 8> back{};
    ASSERT_EQ(media::LoadM3UPlaylist(path("sel.m3u"), back), 3);
    EXPECT_EQ(back[1].FileName.str(), "/music/2.mp3");
    EXPECT_EQ(back[1].Duration, 2000);
}

TEST_F(PlaylistExportTest, SavePlaylistWritesWhereTheDialogSaysAndReplacesTheOldFile)
{
    TBase_main_window w({path("base.dfs")});
    dbtest::writeAll(path("out.m3u"), std::string(5000, 'x'));
    messages.pushText(path("out.m3u"));
    w.Button11Click();
    EXPECT_EQ(dbtest::readAll(path("out.m3u")),
              "#EXTM3U\r\n" + entry(0) + entry(1) + entry(2) + entry(3) + entry(4) + entry(5));
    // A cancelled dialog writes nothing.
    std::filesystem::remove(path("out.m3u"));
    w.Button11Click();
    EXPECT_FALSE(std::filesystem::exists(path("out.m3u")));
    // A file that cannot be written is reported.
    messages.pushText(path("no such folder/out.m3u"));
    w.Button11Click();
    ASSERT_EQ(messages.boxTexts().size(), 1u);
    EXPECT_NE(messages.boxTexts()[0].find("no such folder/out.m3u"), std::string::npos);
}

TEST_F(PlaylistExportTest, ToPlayerWritesTheExchangeListBeforeTellingThePlayer)
{
    dbtest::TestPlayer player;
    TBase_main_window w({"fromplayer", std::to_string(player.handle()), path("base.dfs")});
    EXPECT_EQ(w.DBTempPath(), path("Temp/DBTemp.m3u"));
    std::string seenByPlayer;
    player.onLoadTempList = [&] { seenByPlayer = dbtest::readAll(w.DBTempPath()); };
    selectRows(w, {3});
    w.Button12Click();  // the program folder has no "Temp" yet
    ASSERT_EQ(player.loadTempLists, std::vector<platform::WParam>{1});
    EXPECT_EQ(seenByPlayer, "#EXTM3U\r\n" + entry(3));
}

TEST_F(PlaylistExportTest, ToPlayerWithoutAPlayerOnlyWritesTheList)
{
    dbtest::TestPlayer bystander;
    TBase_main_window w({path("base.dfs")});
    ASSERT_EQ(w.PlayerWindow, 0u);
    w.Button12Click();
    EXPECT_EQ(dbtest::readAll(w.DBTempPath()).substr(0, 9), "#EXTM3U\r\n");
    EXPECT_TRUE(bystander.loadTempLists.empty());
}

TEST_F(PlaylistExportTest, ToPlayerSendsNothingWhenTheListCannotBeWritten)
{
    dbtest::TestPlayer player;
    TBase_main_window w({"fromplayer", std::to_string(player.handle()), path("base.dfs")});
    dbtest::writeAll(path("Temp"), "a file where the folder should be");
    w.Button12Click();
    EXPECT_TRUE(player.loadTempLists.empty());
    ASSERT_EQ(messages.boxTexts().size(), 1u);
    EXPECT_NE(messages.boxTexts()[0].find("DBTemp.m3u"), std::string::npos);
}

TEST_F(PlaylistExportTest, NegativeDurationsAreRoundedLikeAnyOther)
{
    std::vector<std::unique_ptr<media::TTrackRecord>> rows;
    std::vector<media::TTrackRecord*> ptrs;
    for (int ms : {-2500, -3500, -1600, -400, 2500, 3500, 0}) {
        rows.push_back(dbtest::makeTrack({.title = "T", .artist = "A", .fileName = "/music/a.mp3", .duration = ms}));
        ptrs.push_back(rows.back().get());
    }
    ASSERT_TRUE(writeDfsFile(path("negative.dfs"), ptrs, nullptr));
    TBase_main_window w({path("negative.dfs")});
    ASSERT_TRUE(w.ExportPlaylist(path("negative.m3u")));
    std::string expected = "#EXTM3U\r\n";
    for (const char* seconds : {"-2", "-4", "-2", "0", "2", "4", "0"})
        expected += std::string("#EXTINF:") + seconds + ",A - T\r\n/music/a.mp3\r\n";
    EXPECT_EQ(dbtest::readAll(path("negative.m3u")), expected);
}

TEST_F(PlaylistExportTest, RowsAPlaylistCannotHoldAreNamedAndTheExportSaysSo)
{
    std::vector<std::unique_ptr<media::TTrackRecord>> rows;
    std::vector<media::TTrackRecord*> ptrs;
    rows.push_back(dbtest::makeTrack({.title = "Good", .artist = "A", .fileName = "/music/good.mp3"}));
    // A path in code page 1251 ("Кино"), from a base made on another system, and one with a line break.
    rows.push_back(dbtest::makeTrack({.title = "Old", .artist = "B", .fileName = "/music/\xca\xe8\xed\xee.mp3"}));
    rows.push_back(dbtest::makeTrack({.title = "Evil", .artist = "C", .fileName = "/music/a\r\n/etc/passwd"}));
    for (int i = 0; i < 12; ++i)
        rows.push_back(dbtest::makeTrack({.title = "More " + std::to_string(i), .artist = "D",
                                          .fileName = "/music/\xff" + std::to_string(i) + ".mp3"}));
    for (auto& r : rows)
        ptrs.push_back(r.get());
    ASSERT_TRUE(writeDfsFile(path("mixed.dfs"), ptrs, nullptr));

    dbtest::TestPlayer player;
    TBase_main_window w({"fromplayer", std::to_string(player.handle()), path("mixed.dfs")});
    EXPECT_FALSE(w.ExportPlaylist(path("mixed.m3u"))) << "not everything was written";
    EXPECT_EQ(dbtest::readAll(path("mixed.m3u")), "#EXTM3U\r\n#EXTINF:0,A - Good\r\n/music/good.mp3\r\n");
    ASSERT_EQ(messages.boxTexts().size(), 1u) << "one message for all of them";
    const std::string box = messages.boxTexts()[0];
    EXPECT_NE(box.find("не записано строк: 14"), std::string::npos) << box;
    EXPECT_NE(box.find("B - Old (/music/Кино.mp3)"), std::string::npos) << box;
    EXPECT_NE(box.find("C - Evil (/music/a  /etc/passwd)"), std::string::npos) << box;
    EXPECT_NE(box.find("D - More 7"), std::string::npos) << box;
    EXPECT_EQ(box.find("D - More 8"), std::string::npos) << "ten rows are named, the rest counted";
    EXPECT_NE(box.find("(ещё 4)"), std::string::npos) << box;

    // The player still gets the rows that could be written, and the same one message is shown.
    w.Button12Click();
    EXPECT_EQ(player.loadTempLists, std::vector<platform::WParam>{1});
    EXPECT_EQ(dbtest::readAll(w.DBTempPath()), "#EXTM3U\r\n#EXTINF:0,A - Good\r\n/music/good.mp3\r\n");
    EXPECT_EQ(messages.boxTexts().size(), 2u);
}

}  // namespace
