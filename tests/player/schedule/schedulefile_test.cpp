// Schedule files: written and read back, a shorter list replacing a longer one, damaged and
// foreign content, and the file name a profile gives its schedule.
#include "player/schedule/schedulefile.h"

#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>


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
    EXPECT_EQ(readScheduleFile(path).entries, entries);
    // A shorter list leaves nothing of the longer one behind.
    ASSERT_TRUE(writeScheduleFile(path, {entries[1]}));
    EXPECT_EQ(readScheduleFile(path).entries, std::vector<ScheduleEntry>{entries[1]});
    ASSERT_TRUE(writeScheduleFile(path, {}));
    EXPECT_TRUE(readScheduleFile(path).entries.empty());
}

TEST(ScheduleFile, WhatCanBeReadIsReadAndTheRestIsNamedAndWrittenBackAsItWas)
{
    TempDir dir;
    EXPECT_TRUE(readScheduleFile(dir.path() + "/none.sdl").entries.empty());
    const std::string path = dir.write("hand.sdl", "[Schedule]\n"
                                                   "Date1=2024-05-10\nTime1=08:00:00\nFile1=/a.mp3\n"
                                                   "Date2=yesterday\nTime2=08:00:00\nFile2=/b.mp3\n"
                                                   "Date3=2024-05-10\nTime3=25:00:00\nFile3=/c.mp3\n"
                                                   "Date4=2024-05-10\nTime4=09:00:00\nFile4=\n"
                                                   // As the dialog shows the date, no seconds.
                                                   "Date5=02.01.2031\nTime5=10:30\nFile5=/e.mp3\n"
                                                   // After a gap in the numbers.
                                                   "date12=2024-05-10\nTIME12=11:00:00\nFile12=/g.mp3\n"
                                                   // Code page 1251: a name, and a blank no date has.
                                                   "Date13=2024-05-10\nTime13=12:00:00\nFile13=/\xCD\xEE\xE2\xEE\xF1\xF2\xE8.mp3\n"
                                                   "Date14=2024-05-10\xA0\nTime14=13:00:00\nFile14=/h.mp3\n"
                                                   "Time15=14:00:00\nFile15=/i.mp3\n"
                                                   // A field of a number twice: the first is read.
                                                   "File05=/twice.mp3\nFile1=/again.mp3\nfile1=/thrice.mp3\n"
                                                   "Note=by hand\n");
    const ScheduleFile read = readScheduleFile(path);
    const std::vector<ScheduleEntry> expected{
        {QDate(2024, 5, 10), QTime(8, 0, 0), "/a.mp3"},
        {QDate(2031, 1, 2), QTime(10, 30, 0), "/e.mp3"},
        {QDate(2024, 5, 10), QTime(11, 0, 0), "/g.mp3"},
        {QDate(2024, 5, 10), QTime(12, 0, 0), QString::fromUtf8("/Новости.mp3")},
    };
    EXPECT_EQ(read.entries, expected);
    std::vector<int> unread;
    for (const ScheduleFileRest::Entry& e : read.rest.unread)
        unread.push_back(e.number);
    EXPECT_EQ(unread, (std::vector<int>{1, 1, 2, 3, 4, 5, 14, 15}));
    const std::string told = unreadScheduleEntriesText(path, read.rest);
    for (const char* named : {"2: Date=yesterday", "3: Date=2024-05-10 Time=25:00:00 File=/c.mp3", "15: Time=14:00:00",
                              "1: File=/again.mp3", "1: File=/thrice.mp3", "5: File=/twice.mp3"})
        EXPECT_NE(told.find(named), std::string::npos) << named << " in " << told;
    EXPECT_EQ(told.find("/a.mp3"), std::string::npos);
    EXPECT_EQ(unreadScheduleEntriesText(path, {}), "");

    // Written again (one entry removed by the operator), nothing else goes.
    ASSERT_TRUE(writeScheduleFile(path, {expected[1], expected[2], expected[3]}, read.rest));
    const ScheduleFile again = readScheduleFile(path);
    EXPECT_EQ(again.entries, (std::vector<ScheduleEntry>{expected[1], expected[2], expected[3]}));
    ASSERT_EQ(again.rest.unread.size(), read.rest.unread.size());
    for (std::size_t i = 0; i < again.rest.unread.size(); ++i)
        EXPECT_EQ(again.rest.unread[i].values, read.rest.unread[i].values) << i;
    EXPECT_EQ(again.rest.otherKeys, read.rest.otherKeys);
    EXPECT_NE(dir.read(path).find("Date10=2024-05-10\xC2\xA0\r\n"), std::string::npos) << dir.read(path);
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
