// The real player program: a second start hands its file over to the running player and ends, or
// says why it could not and fails; NoCopy=0 allows a second player; the single-instance mutex is
// free once the player is killed.
#include "playerfixtures.h"

#include "platform/messageids.h"
#include "platform/namedmutex.h"
#include "platform/sharedmemory.h"
#include "player/commandlinearea.h"
#include "platform/window.h"
#include "tests/common/smalldisk.h"

#include <QCoreApplication>
#include <QDate>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

using playertest::TempDir;

namespace {

int playerWindows()
{
    int n = 0;
    for (const platform::WindowInfo& w : platform::enumWindows())
        n += w.className == "TForm1" ? 1 : 0;
    return n;
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        QThread::msleep(50);
    }
    return done();
}

}  // namespace

class PlayerProcess : public ::testing::Test {
protected:
    TempDir programDir;
    std::vector<std::unique_ptr<QProcess>> processes;

    void SetUp() override
    {
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        std::filesystem::create_directories(programDir.path() + "/Report");
    }
    void TearDown() override
    {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
    QProcess* start(const QStringList& args, QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(programDir.path()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(channels);
        p->start(QStringLiteral(QV_BIN_DIR "/player"), args);
        EXPECT_TRUE(p->waitForStarted(5000));
        processes.push_back(std::move(p));
        return processes.back().get();
    }
};

TEST_F(PlayerProcess, SecondStartHandsItsFileOverAndEnds)
{
    QProcess* first = start({});
    ASSERT_TRUE(waitFor([] { return playerWindows() == 1; }, 10000));
    const std::string wav = programDir.write("x.wav", playertest::soundWavFile(1, 8000, 8000 * 30));
    QProcess* second = start({"file", QString::fromStdString(wav)});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(playerWindows(), 1);

    // The running player started the track: its report holds the line.
    const std::string report =
        programDir.path() + "/Report/" + QDate::currentDate().toString("dd-MM-yyyy").toStdString() + ".txt";
    EXPECT_TRUE(waitFor([&] { return programDir.read(report).find("x") != std::string::npos; }, 5000));

    // Ending the session saves the Main list with the handed-over row.
    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_NE(programDir.read(programDir.path() + "/Profile/Default.m3u").find(wav), std::string::npos);
}

TEST_F(PlayerProcess, AHandOverThroughAFullDevShmIsToldAndFailsWithoutASignal)
{
    // Another user's files fill /dev/shm (here one of this test's own, which the players inherit).
    testrun::FullSharedMemory full;
    QV_NEED_FULL_SHARED_MEMORY(full);
    QProcess* first = start({});
    ASSERT_TRUE(waitFor([] { return playerWindows() == 1; }, 10000));
    const std::string wav = programDir.write("x.wav", playertest::soundWavFile(1, 8000, 8000));
    QProcess* second = start({"file", QString::fromStdString(wav)}, QProcess::SeparateChannels);
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit) << "ended by a signal";
    EXPECT_EQ(second->exitCode(), 1);
    const std::string said = second->readAllStandardError().toStdString();
    EXPECT_NE(said.find("player: передача в работающий плеер не удалась: нет области командной строки (No space left on "
                        "device)"),
              std::string::npos)
        << said;
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(PlayerProcess, NoCopyOffAllowsASecondPlayerAndAKilledPlayerFreesTheMutex)
{
    QProcess* first = start({});
    ASSERT_TRUE(waitFor([] { return playerWindows() == 1; }, 10000));
    {
        platform::NamedMutex probe("уникальное_имя_для_твоей_проги");
        EXPECT_TRUE(probe.alreadyExisted());
    }
    programDir.write("player.ini", "[Options]\nNoCopy=0\n");
    start({});
    EXPECT_TRUE(waitFor([] { return playerWindows() == 2; }, 10000));
    first->kill();
    first->waitForFinished(5000);
    platform::NamedMutex probe("уникальное_имя_для_твоей_проги");
    EXPECT_TRUE(probe.owned());
}

namespace {

// Stands in for a running player whose window appears only after a while.
class LateWindow : public platform::MessageWindow {
public:
    LateWindow() : platform::MessageWindow("TForm1", "Quorvalen (test)") {}
    std::vector<std::pair<std::string, std::string>> received;
    platform::SharedMemory area;

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam, platform::LParam) override
    {
        if (msg != platform::UM_COMMAND_LINE)
            return 0;
        received.push_back(player::ReadCommandLineArea(&area));
        return player::kCommandLineTaken;
    }
};

}  // namespace

TEST_F(PlayerProcess, SecondStartsWaitForTheRunningWindowAndBothArrive)
{
    // This process holds the single-instance mutex, as a player that is still starting would.
    platform::NamedMutex running("уникальное_имя_для_твоей_проги");
    ASSERT_TRUE(running.owned());
    QProcess* a = start({"file", "/music/a.mp3"});
    QProcess* b = start({"file", "/music/b.mp3"});
    QThread::msleep(1000);
    EXPECT_EQ(a->state(), QProcess::Running);
    LateWindow window;
    ASSERT_TRUE(window.area.open(player::kCommandLineAreaName, player::kCommandLineAreaSize));
    ASSERT_TRUE(waitFor([&] {
        QCoreApplication::processEvents();
        return a->state() == QProcess::NotRunning && b->state() == QProcess::NotRunning;
    }, 10000));
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(a->exitCode(), 0);
    EXPECT_EQ(b->exitCode(), 0);
    std::vector<std::string> paths = {window.received[0].second, window.received[1].second};
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/music/a.mp3", "/music/b.mp3"}));
    EXPECT_EQ(window.received[0].first, "file");
}
