// The database program run as main() runs it: the hidden server logs what its start cannot read
// and a quit ends it; a player that is gone ends it; SIGTERM runs its Exit, which saves.
#include "database/basemainwindow.h"
#include "database/baseprogram.h"
#include "database/dfsfile.h"
#include "database/strconst.h"
#include "platform/inifile.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "platform/window.h"
#include "testplayer.h"
#include "testtracks.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace {

class BaseProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
        setenv("QUORVALEN_NOSOUND", "1", 1);
        platform::setUserMessages(&boxes);
        // A folder where the base file should be: it exists and cannot be read.
        std::filesystem::create_directory(base);
    }
    void TearDown() override
    {
        platform::setUserMessages(nullptr);
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }
    // Runs the program; a loop that does not end within watchdogMs is ended from outside with 99.
    int run(const std::vector<std::string>& args, int watchdogMs = 10000)
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(watchdogMs);
        const int result = database::runBaseProgram(args);
        watchdog.stop();
        return result;
    }
    platform::WindowHandle server() const
    {
        return platform::findWindow("TBase_main_window", "DatabaseWindow" + std::to_string(player.handle()));
    }

    QTemporaryDir dir;
    std::string base = dir.filePath("Base.dfs").toStdString();
    platform::RecordedUserMessages boxes;
    dbtest::TestPlayer player;
};

TEST_F(BaseProgram, AHiddenStartLogsWhatItCannotReadWithoutABoxAndAQuitEndsIt)
{
    QTimer::singleShot(500, [this] {
        // The player greets the server (its reload reports the base again) and later quits it.
        const platform::WindowHandle w = server();
        ASSERT_NE(w, 0u);
        platform::sendMessage(w, platform::UM_SEARCH_HELLO, player.handle(), 12);
        QTimer::singleShot(300, [w] { platform::sendMessage(w, platform::UM_SEARCH_QUIT, 0, 0); });
    });
    EXPECT_EQ(run({"hidden", std::to_string(player.handle()), base}), 0);
    EXPECT_TRUE(boxes.shown().empty());
    const std::string log = dbtest::readAll(dir.filePath("Base.log").toStdString());
    const std::string report = "Base: Cannot read " + base;
    const std::size_t first = log.find(report);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(report, first + 1), std::string::npos) << "the start and the hello: " << log;
}

TEST_F(BaseProgram, APlayerThatIsGoneEndsTheServerAlsoFromItsStart)
{
    player.pingAnswer = 0;
    // The first ping (3 s after the start) finds no player.
    EXPECT_EQ(run({"hidden", std::to_string(player.handle()), base}), 0);
    EXPECT_GE(player.pings, 1);
}

TEST_F(BaseProgram, SigtermRunsItsExitWhichSavesTheChangedBaseAndLogsWhereItWent)
{
    const std::string music = dir.filePath("Music.dfs").toStdString();
    const auto first = dbtest::makeTrack({.title = "first", .fileName = "/m/1.mp3"});
    std::vector<media::TTrackRecord*> rows{first.get()};
    ASSERT_TRUE(database::writeDfsFile(music, rows, nullptr));
    // Without the program's own handler the signal would be lost here, and the loop would stay.
    struct sigaction ignore {}, before {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &before);
    const auto addThenSigterm = [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* w = qobject_cast<database::TBase_main_window*>(top)) {
                w->Base.append(dbtest::makeTrack({.title = "added", .fileName = "/m/2.mp3"}));
                w->Modified = true;
            }
        ::raise(SIGTERM);
    };
    QTimer::singleShot(300, addThenSigterm);
    // Well within the end's deadline, so a hang fails here rather than ending the process.
    EXPECT_EQ(run({music}, 3000), 0);

    EXPECT_TRUE(boxes.shown().empty());
    const database::DfsLoadResult saved = database::readDfsFile(music);
    ASSERT_EQ(saved.records.size(), 2u);
    EXPECT_EQ(saved.records[1]->FileName.str(), "/m/2.mp3");
    const platform::IniFile ini(dir.filePath("Base.ini").toStdString());
    EXPECT_EQ(ini.readString("Data", "LastBaseName", ""), music);
    const std::string log = dbtest::readAll(dir.filePath("Base.log").toStdString());
    EXPECT_NE(log.find("Save database: База сохранена в файл " + music + "\n"), std::string::npos) << log;
    EXPECT_EQ(log.find(database::_ask_savebase), std::string::npos) << "nobody was asked: " << log;

    // A base that has no file yet goes to a new one in "Database", which Base.ini then names.
    QTimer::singleShot(300, addThenSigterm);
    EXPECT_EQ(run({}, 3000), 0);
    ::sigaction(SIGTERM, &before, nullptr);
    const std::string created = platform::IniFile(dir.filePath("Base.ini").toStdString())
                                    .readString("Data", "LastBaseName", "");
    EXPECT_EQ(created.rfind(dir.filePath("Database/Base ").toStdString(), 0), 0u) << created;
    EXPECT_EQ(database::readDfsFile(created).records.size(), 1u);
}

}  // namespace
