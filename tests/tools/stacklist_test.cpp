// The generator's playlist: which rows are drawn, the M3U text, and the atomic write.
#include "sorbelttest.h"
#include "media/tag.h"
#include "tools/Sorbelt/dfsreader.h"
#include "tools/Sorbelt/stacklist.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <set>

using namespace sorbelt;
using sorbelttest::makeRow;

namespace {

std::vector<media::TTrackRecord> mixedBase()
{
    std::vector<media::TTrackRecord> rows;
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back(makeRow("Artist " + n, "Title " + n, i % 3 == 0 ? "NO" : "/music/" + n + ".mp3", 1000 * i));
    }
    rows.push_back(makeRow("A", "T", "", 1000));
    return rows;  // 8 playable rows: 1, 2, 4, 5, 7, 8, 10, 11
}

}  // namespace

TEST(StackRows, OnlyPlayableRowsAreDrawnEachAtMostOnce)
{
    const auto base = mixedBase();
    std::mt19937 random(7);
    for (int count : {0, 1, 5, 8, 50}) {
        const auto chosen = chooseRows(base, count, random);
        EXPECT_EQ(chosen.size(), static_cast<std::size_t>(std::min(count, 8))) << "count " << count;
        std::set<std::string> names;
        for (const auto& row : chosen) {
            EXPECT_TRUE(isPlayableRow(row));
            names.insert(row.FileName.str());
        }
        EXPECT_EQ(names.size(), chosen.size()) << "no row twice";
    }
    EXPECT_TRUE(chooseRows(base, -3, random).empty());
    EXPECT_TRUE(chooseRows({}, 10, random).empty());
}

TEST(StackRows, TheDrawIsRandomOverTheWholeBase)
{
    const auto base = mixedBase();
    std::mt19937 random(99);
    std::set<std::string> firstRows;
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const auto chosen = chooseRows(base, 2, random);
        firstRows.insert(chosen.at(0).FileName.str());
        for (const auto& row : chosen)
            seen.insert(row.FileName.str());
    }
    EXPECT_GT(firstRows.size(), 4u);
    EXPECT_EQ(seen.size(), 8u) << "every playable row can be drawn";
}

TEST(StackText, SecondsRoundHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(roundedSeconds(2500), 2);
    EXPECT_EQ(roundedSeconds(3500), 4);
    EXPECT_EQ(roundedSeconds(0), 0);
    EXPECT_EQ(roundedSeconds(1499), 1);
    EXPECT_EQ(roundedSeconds(1501), 2);
    EXPECT_EQ(roundedSeconds(499), 0);
    // A damaged negative duration is rounded by the same rule, not written as 0.
    EXPECT_EQ(roundedSeconds(-2500), -2);
    EXPECT_EQ(roundedSeconds(-3500), -4);
    EXPECT_EQ(roundedSeconds(-1501), -2);
    EXPECT_EQ(roundedSeconds(-499), 0);
    EXPECT_EQ(roundedSeconds(INT32_MIN), -2147484);
    EXPECT_EQ(roundedSeconds(INT32_MAX), 2147484);
}

TEST(StackText, EntriesAreWrittenAsTheProgramsWriteThem)
{
    EXPECT_EQ(m3uText({}), "#EXTM3U\r\n");

    // Artist "Кино" and title "Группа крови" in code page 1251, the path as UTF-8 bytes.
    const auto cyrillic = makeRow("\xca\xe8\xed\xee", "\xc3\xf0\xf3\xef\xef\xe0 \xea\xf0\xee\xe2\xe8",
                                  "/music/Кино/Группа крови.mp3", 285500);
    auto padded = makeRow("  Band   ", "Song\0tail", "  /music/song.mp3  ", 2500);
    padded.Title.length = 30;
    std::memcpy(padded.Title.chars, "Song\0tail", 9);
    auto broken = makeRow("Two\r\nLines", "Tab\there", "/music/x.mp3", 0);

    EXPECT_EQ(m3uText({cyrillic, padded, broken}),
              "#EXTM3U\r\n"
              "#EXTINF:286,Кино - Группа крови\r\n"
              "/music/Кино/Группа крови.mp3\r\n"
              "#EXTINF:2,Band - Song\r\n"
              "/music/song.mp3\r\n"
              "#EXTINF:0,Two  Lines - Tab here\r\n"
              "/music/x.mp3\r\n");
}

TEST(StackText, ThePlayersReaderGetsTheRowsBack)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/Stack.m3u";
    const std::vector<media::TTrackRecord> rows = {
        makeRow("\xc0\xe3\xe0\xf2\xe0 \xca\xf0\xe8\xf1\xf2\xe8", "\xcc\xe8\xeb\xfb\xe9", "/music/1.mp3", 181000),
        makeRow("Latin", "Name", "/music/Папка/2.ogg", 59600),
    };
    ASSERT_TRUE(writeFileAtomically(path, m3uText(rows), nullptr));
    std::array<media::TTrackRecord, 10> back{};
    ASSERT_EQ(media::LoadM3UPlaylist(path, back), 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(back[i].Artist.str(), fieldText(rows[i].Artist)) << i;
        // The reader keeps a blank after the title; the player trims it when it shows the row.
        EXPECT_EQ(cleanFieldText(back[i].Title.str()), fieldText(rows[i].Title)) << i;
        EXPECT_EQ(back[i].FileName.str(), fieldText(rows[i].FileName)) << i;
    }
    EXPECT_EQ(back[0].Duration, 181000);
    EXPECT_EQ(back[1].Duration, 60000);
}

TEST(StackFile, WriteCreatesTheFolderAndReplacesTheOldListWhole)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/Temp";
    const std::string path = folder + "/Stack.m3u";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "first list, rather long\r\n", &error)) << error;
    EXPECT_EQ(sorbelttest::readFile(path), "first list, rather long\r\n");
    ASSERT_TRUE(writeFileAtomically(path, "second", &error)) << error;
    EXPECT_EQ(sorbelttest::readFile(path), "second");
    EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Stack.m3u")})
        << "no temporary file is left behind";
}

TEST(StackFile, AFailedWriteSaysWhy)
{
    QTemporaryDir dir;
    const std::string blocker = dir.path().toStdString() + "/Temp";
    sorbelttest::writeDfs(blocker, {});  // a plain file where the folder should be
    std::string error;
    EXPECT_FALSE(writeFileAtomically(blocker + "/Stack.m3u", "x", &error));
    EXPECT_FALSE(error.empty());
}

