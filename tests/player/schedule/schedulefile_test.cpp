// Schedule files: written and read back, a shorter list replacing a longer one, damaged and
// foreign content, and the file name a profile gives its schedule.
#include "player/schedule/schedulefile.h"

#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>

#include <random>

using namespace player;
using playertest::TempDir;

namespace {

TEST(ScheduleFile, EntriesComeBackAsTheyWereWritten)
{
    TempDir dir;
    const std::string path = dir.path() + "/Presets/Schedule/day.sdl";
    const std::vector<ScheduleEntry> entries{
        {QDate(2024, 5, 10), QTime(8, 0, 0), "/music/news.m3u"},
        {QDate(2024, 12, 31), QTime(23, 59, 59), QString::fromUtf8("/music/Новый год & ёлка.mp3")},
        {QDate(2025, 1, 1), QTime(0, 0, 2), "/music/a=b.mp3"},
    };
    ASSERT_TRUE(writeScheduleFile(path, entries)) << "the folder was not made";
    EXPECT_EQ(readScheduleFile(path), entries);
    // A shorter list leaves nothing of the longer one behind.
    ASSERT_TRUE(writeScheduleFile(path, {entries[1]}));
    EXPECT_EQ(readScheduleFile(path), std::vector<ScheduleEntry>{entries[1]});
    ASSERT_TRUE(writeScheduleFile(path, {}));
    EXPECT_TRUE(readScheduleFile(path).empty());
}

TEST(ScheduleFile, MissingDamagedAndForeignFilesGiveWhatCanBeRead)
{
    TempDir dir;
    EXPECT_TRUE(readScheduleFile(dir.path() + "/none.sdl").empty());
    const std::string path = dir.write("bad.sdl", "[Schedule]\n"
                                                  "Date1=2024-05-10\nTime1=08:00:00\nFile1=/a.mp3\n"
                                                  "Date2=yesterday\nTime2=08:00:00\nFile2=/b.mp3\n"
                                                  "Date3=2024-05-10\nTime3=25:00:00\nFile3=/c.mp3\n"
                                                  "Date4=2024-05-10\nTime4=09:00:00\nFile4=\n"
                                                  "Date5=2024-05-10\nTime5=10:00:00\nFile5=/e.mp3\n"
                                                  "Date7=2024-05-10\nTime7=11:00:00\nFile7=/g.mp3\n");
    const std::vector<ScheduleEntry> read = readScheduleFile(path);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].path, "/a.mp3");
    EXPECT_EQ(read[1].path, "/e.mp3");  // File6 is missing: the list ends there
    // Random bytes read as nothing, or as what happens to look like entries; never a crash.
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::string junk(static_cast<std::size_t>(rng() % 4000), '\0');
        for (char& c : junk)
            c = static_cast<char>(rng());
        if (round % 2 == 0)
            junk = "[Schedule]\nFile1=" + junk;
        const std::string p = dir.write("junk.sdl", junk);
        for (const ScheduleEntry& e : readScheduleFile(p)) {
            EXPECT_TRUE(e.date.isValid());
            EXPECT_TRUE(e.time.isValid());
        }
    }
}

TEST(ScheduleFile, AProfileNamesItsScheduleByItsFileName)
{
    EXPECT_EQ(profileScheduleFile("/opt/q/", "/opt/q/Profile/Default.prf"), "/opt/q/Presets/Schedule/Default.sdl");
    EXPECT_EQ(profileScheduleFile("/opt/q", "/x/a.prf"), "/opt/q/Presets/Schedule/a.sdl");
    // The last four characters go, whatever they are.
    EXPECT_EQ(profileScheduleFile("/p/", "/x/Work.PRF"), "/p/Presets/Schedule/Work.sdl");
    EXPECT_EQ(profileScheduleFile("/p/", "/x/night.txt1"), "/p/Presets/Schedule/night..sdl");
    EXPECT_EQ(profileScheduleFile("/p/", "/x/ab"), "/p/Presets/Schedule/.sdl");
}

}  // namespace
