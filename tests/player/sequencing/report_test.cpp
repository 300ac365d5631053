// The daily report file with an injected clock, and the audio error box.
#include "player/sequencing/report.h"
#include "player/reporterror.h"

#include "platform/recordedusermessages.h"
#include "platform/usermessages.h"
#include "tests/common/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class PlayReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("Report"));
    }
    std::string readAll(const std::string& path)
    {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll().toStdString();
    }

    QTemporaryDir dir;
    QDateTime now{QDate(2026, 3, 7), QTime(9, 5, 3)};
    player::PlayReport report{dir.path().toStdString(), [this] { return now; }};
};

TEST_F(PlayReportTest, OneFileADayOneLineAStart)
{
    const std::string day1 = report.fileName(QDate(2026, 3, 7));
    EXPECT_EQ(day1, dir.path().toStdString() + "/Report/07-03-2026.txt");
    EXPECT_EQ(report.write("Artist - Title"), "09:05:03    Artist - Title");
    now = now.addSecs(3600 + 61);
    report.write("Песня");
    EXPECT_EQ(readAll(day1), "09:05:03    Artist - Title\r\n10:06:04    Песня\r\n");
    EXPECT_EQ(report.todayLines(), (std::vector<std::string>{"09:05:03    Artist - Title", "10:06:04    Песня"}));

    now = QDateTime(QDate(2026, 3, 8), QTime(0, 0, 1));
    report.write("Next day");
    EXPECT_EQ(readAll(report.fileName(QDate(2026, 3, 8))), "00:00:01    Next day\r\n");
    EXPECT_EQ(report.todayLines().size(), 1u);
    EXPECT_EQ(readAll(day1), "09:05:03    Artist - Title\r\n10:06:04    Песня\r\n") << "yesterday's file is left alone";
}

TEST_F(PlayReportTest, MissingFolderLosesTheLineButNotThePlayback)
{
    QTemporaryDir empty;
    player::PlayReport noFolder(empty.path().toStdString() + "/", [this] { return now; });
    EXPECT_EQ(noFolder.write("x"), "09:05:03    x");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(noFolder.fileName(now.date()))));
    EXPECT_TRUE(noFolder.todayLines().empty());
}

TEST_F(PlayReportTest, WhatIsNoFileUnderTheDaysNameNeverHoldsAStart)
{
    // A FIFO would block the open for writing (no reader) and for reading (no writer): a track
    // start must never wait on it.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Report"));
    const std::string day = report.fileName(now.date());
    ASSERT_EQ(::mkfifo(day.c_str(), 0600), 0);
    EXPECT_EQ(report.write("x"), "09:05:03    x");
    EXPECT_TRUE(report.todayLines().empty());
}

TEST_F(PlayReportTest, AFullDiskLeavesNeitherAnEmptyDayFileNorAHalfLine)
{
    testrun::SmallDisk disk(64 * 1024);
    QV_NEED_SMALL_DISK(disk);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(disk.file("Report"))));
    player::PlayReport full(disk.path(), [this] { return now; });
    full.write("on air before");
    const std::string day = full.fileName(now.date());
    const std::string held = readAll(day);
    disk.fill();
    // Longer than what is left of the file's last page, so that part of it would fit.
    full.write(std::string(6000, 'n'));
    EXPECT_TRUE(readAll(day) == held) << "no half line is left";
    now = now.addDays(1);
    full.write("next day");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(full.fileName(now.date()))));
}

TEST(ReportAudioErrorTest, BoxOnlyForNonZeroCodes)
{
    platform::RecordedUserMessages messages;
    platform::setUserMessages(&messages);
    EXPECT_TRUE(player::ReportAudioError(0, "/a.mp3", "PlayFile"));
    EXPECT_FALSE(player::ReportAudioError(-1, "/p/Default.prf", "SaveProfile"));
    platform::setUserMessages(nullptr);
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error: -1, \r\nFile: /p/Default.prf\r\nFunc: SaveProfile");
    EXPECT_EQ(shown[0].caption, "Player: Error");
    EXPECT_EQ(shown[0].flags & platform::MB_ICONERROR, platform::MB_ICONERROR);
}

}  // namespace
