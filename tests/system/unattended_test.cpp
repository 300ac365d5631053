// The real player with nobody at the screen: it comes up and plays from a program folder it cannot
// write, and a SIGTERM ends it within 2 s also when the saves of its end fail (they are logged); a
// folder whose name it cannot carry is refused at once, and nothing is written anywhere.
#include "platform/window.h"
#include "tests/common/smalldisk.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/mount.h>

namespace {

using testrun::readFile;
using testrun::writeFile;

// 16-bit mono PCM of a quiet tone, `seconds` long.
std::string toneWav(int seconds)
{
    const std::uint32_t rate = 8000;
    const std::uint32_t frames = rate * static_cast<std::uint32_t>(seconds);
    auto le = [](std::string& s, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::string s = "RIFF";
    le(s, 36 + frames * 2, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);
    le(s, 1, 2);
    le(s, rate, 4);
    le(s, rate * 2, 4);
    le(s, 2, 2);
    le(s, 16, 2);
    s += "data";
    le(s, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        le(s, static_cast<std::uint32_t>((i / 8) % 2 ? 2000 : -2000), 2);
    return s;
}

class UnattendedPlayer : public ::testing::Test {
protected:
    // A program folder as a fresh install has it: no profile yet, the "no sound" device.
    static void prepareFolder(const std::string& folder)
    {
        writeFile(folder + "/player.ini", "[Options]\r\nNoCopy=0\r\nShellExt=0\r\n");
        writeFile(folder + "/system.ini", "[Device]\r\nMainDev=0\r\n");
        writeFile(folder + "/tone.wav", toneWav(20));
    }
    void start(const std::string& folder, const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(folder));
        env.insert("QUORVALEN_NOSOUND_WAV", QString::fromStdString(mix));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        player.setProcessEnvironment(env);
        player.setProcessChannelMode(QProcess::SeparateChannels);
        started.start();
        player.start(QStringLiteral(QV_BIN_DIR "/player"), args);
        ASSERT_TRUE(player.waitForStarted(5000));
    }
    // The main window once its first showing has finished (the caption then names the list).
    bool waitForWindow(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (const platform::WindowInfo& w : platform::enumWindows())
                if (w.className == "TForm1" && w.processId == player.processId() &&
                    w.caption.find(" - ") != std::string::npos)
                    return true;
            QThread::msleep(20);
        }
        return false;
    }
    // The tone in the mix the "no sound" device renders (16-bit PCM after a 44-byte header): the
    // device renders silence from its start, so only a sample of the tone proves playback.
    bool heard(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            const std::string bytes = readFile(mix);
            for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
                const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                              (static_cast<unsigned char>(bytes[i + 1]) << 8));
                if (sample > 300 || sample < -300)
                    return true;
            }
            QThread::msleep(100);
        }
        return false;
    }
    // Milliseconds from SIGTERM to the end of the process; -1 when it did not end within 10 s.
    qint64 terminate()
    {
        QElapsedTimer t;
        t.start();
        ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
        if (!player.waitForFinished(10000))
            return -1;
        return t.elapsed();
    }
    void TearDown() override
    {
        if (player.state() != QProcess::NotRunning) {
            player.kill();
            player.waitForFinished(3000);
        }
        // The search server it started ends with it (told to quit, or when its ping finds no player).
        QElapsedTimer t;
        t.start();
        while (platform::findWindow("TBase_main_window", "") != 0 && t.elapsed() < 5000)
            QThread::msleep(50);
    }

    QTemporaryDir scratch;
    std::string mix = scratch.filePath("mix.wav").toStdString();
    QProcess player;
    QElapsedTimer started;
};

TEST_F(UnattendedPlayer, ComesUpAndPlaysFromAProgramFolderItCannotWrite)
{
    testrun::SmallDisk disk(8 << 20);
    QV_NEED_SMALL_DISK(disk);
    prepareFolder(disk.path());
    ASSERT_EQ(::mount("tmpfs", disk.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);

    start(disk.path(), {"file", QString::fromStdString(disk.path() + "/tone.wav")});
    ASSERT_TRUE(waitForWindow(15000)) << "the window never came up: " << player.readAllStandardError().toStdString();
    const qint64 upMs = started.elapsed();
    // It plays the file it was given, which it does only once its start has gone through.
    EXPECT_TRUE(heard(5000)) << "the tone never reached the mix";
    const qint64 playingMs = started.elapsed();

    const qint64 exitMs = terminate();
    EXPECT_GE(exitMs, 0) << "SIGTERM did not end it";
    EXPECT_LT(exitMs, 2000);
    EXPECT_EQ(player.exitCode(), 0);
    std::printf("[ figures  ] read-only program folder: window up after %lld ms, playing after %lld ms, "
                "exit %lld ms after SIGTERM\n",
                static_cast<long long>(upMs), static_cast<long long>(playingMs), static_cast<long long>(exitMs));
}

TEST_F(UnattendedPlayer, SigtermEndsItWithin2sWhenItsSaveFailsAndTheFailureIsLogged)
{
    const std::string folder = scratch.filePath("program").toStdString();
    std::filesystem::create_directories(folder + "/Profile/Default.prf");  // nothing can be saved there
    prepareFolder(folder);
    start(folder, {"file", QString::fromStdString(folder + "/tone.wav")});
    ASSERT_TRUE(waitForWindow(15000)) << player.readAllStandardError().toStdString();
    EXPECT_TRUE(heard(5000));

    const qint64 exitMs = terminate();
    EXPECT_GE(exitMs, 0) << "SIGTERM did not end it";
    EXPECT_LT(exitMs, 2000);
    EXPECT_EQ(player.exitCode(), 0);
    const std::string log = readFile(folder + "/player.log");
    EXPECT_NE(log.find("Func: TIniFile.Create (Is a directory)"), std::string::npos) << log;
    EXPECT_NE(player.readAllStandardError().toStdString().find("TIniFile.Create (Is a directory)"), std::string::npos);
    // The playlist beside the profile was still saved.
    EXPECT_NE(readFile(folder + "/Profile/Default.m3u").find("tone.wav"), std::string::npos);
    std::printf("[ figures  ] failing save: exit %lld ms after SIGTERM\n", static_cast<long long>(exitMs));
}

TEST_F(UnattendedPlayer, SigtermEndsItWithin2sWhenItsSearchServerHangs)
{
    const std::string folder = scratch.filePath("program").toStdString();
    std::filesystem::create_directories(folder);
    prepareFolder(folder);
    start(folder);
    ASSERT_TRUE(waitForWindow(15000));
    std::int64_t server = 0;
    QElapsedTimer t;
    t.start();
    while (server == 0 && t.elapsed() < 10000) {
        for (const platform::WindowInfo& w : platform::enumWindows())
            if (w.className == "TBase_main_window")
                server = w.processId;
        QThread::msleep(50);
    }
    ASSERT_NE(server, 0) << "no search server came up";
    ASSERT_EQ(::kill(static_cast<pid_t>(server), SIGSTOP), 0);  // it answers nothing any more

    const qint64 exitMs = terminate();
    ::kill(static_cast<pid_t>(server), SIGCONT);  // it then finds no player and ends by itself
    EXPECT_GE(exitMs, 0) << "SIGTERM did not end it";
    EXPECT_LT(exitMs, 2000);
    EXPECT_EQ(player.exitCode(), 0);
    std::printf("[ figures  ] hung search server: exit %lld ms after SIGTERM\n", static_cast<long long>(exitMs));
}

TEST_F(UnattendedPlayer, RefusesAProgramFolderNamedInBytesThatAreNotUtf8AndWritesNothing)
{
    // "эфир" in code page 1251, as a folder copied from elsewhere may be named.
    const std::string folder = scratch.filePath("program").toStdString() + "\xFD\xF4\xE8\xF0";
    std::filesystem::create_directories(folder);
    prepareFolder(folder);
    // The bytes go into the environment as they are (a QString would turn them into U+FFFD).
    setenv("QUORVALEN_PROGRAM_DIR", folder.c_str(), 1);
    player.setProcessChannelMode(QProcess::SeparateChannels);
    player.start(QStringLiteral(QV_BIN_DIR "/player"), {});
    unsetenv("QUORVALEN_PROGRAM_DIR");
    ASSERT_TRUE(player.waitForStarted(5000));
    std::string said;
    QElapsedTimer t;
    t.start();
    while (said.find("UTF-8") == std::string::npos && player.state() == QProcess::Running && t.elapsed() < 5000) {
        player.waitForReadyRead(100);
        said += player.readAllStandardError().toStdString();
    }
    said += player.readAllStandardError().toStdString();
    EXPECT_NE(said.find("player: Имя папки программы не в кодировке UTF-8"), std::string::npos) << said;
    // Its box waits for nobody; whatever ends it, nothing is written beside the folder or into it.
    terminate();
    std::vector<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path().toStdString()))
        beside.push_back(entry.path().filename().string());
    EXPECT_EQ(beside, std::vector<std::string>{std::filesystem::path(folder).filename().string()});
    std::vector<std::string> inside;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        inside.push_back(entry.path().filename().string());
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(inside, (std::vector<std::string>{"player.ini", "system.ini", "tone.wav"}));
}

}  // namespace
