// The real player and the real Base: the database window the operator opens from the player is the
// player's search server itself, so the player's next search answers from what that window holds;
// and the server ends with its player, also one that was killed.
#include "media/records.h"
#include "media/searchlink.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"
#include "tests/common/smalldisk.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using testrun::writeFile;

void writeBase(const std::string& path, const std::vector<std::string>& titles)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& title : titles) {
        media::TTrackRecord r{};
        r.Title.assign(title);
        r.FileName.assign("/music/" + title + ".mp3");
        out.write(reinterpret_cast<const char*>(&r), sizeof r);
    }
}

bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QThread::msleep(50);
    return done();
}

std::vector<platform::WindowInfo> windowsOf(const std::string& className)
{
    std::vector<platform::WindowInfo> out;
    for (const platform::WindowInfo& w : platform::enumWindows())
        if (w.className == className)
            out.push_back(w);
    return out;
}

class PlayerAndBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder + "/Database");
        writeFile(folder + "/player.ini", "[Options]\r\nNoCopy=0\r\nShellExt=0\r\n");
        writeFile(folder + "/system.ini", "[Device]\r\nMainDev=0\r\n");
        writeBase(base, {"Old song"});
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(folder));
        env.insert("QUORVALEN_NOSOUND", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(QV_BIN_DIR "/player"), {});
        ASSERT_TRUE(player.waitForStarted(5000));
        // The player's window, and the hidden search server its start has brought up.
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const platform::WindowInfo& w : windowsOf("TForm1"))
                    if (w.processId == player.processId())
                        playerWindow = w.handle;
                return playerWindow != 0 &&
                       (server = platform::findWindow("TBase_main_window",
                                                      "DatabaseWindow" + std::to_string(playerWindow))) != 0;
            },
            15000))
            << "player " << playerWindow << ", server " << server;
        ASSERT_TRUE(area.open(media::kSearchAreaName, media::kSearchAreaBytes));
    }
    void TearDown() override
    {
        if (player.state() != QProcess::NotRunning) {
            player.kill();
            player.waitForFinished(3000);
        }
        waitUntil([] { return windowsOf("TBase_main_window").empty(); }, 5000);
    }
    // The title of the first result the server gives the player for a title query (empty: none).
    std::string firstResult(const std::string& query)
    {
        auto* bytes = static_cast<unsigned char*>(area.data());
        std::memset(bytes + media::kSearchSlotBytes, 0, media::kSearchSlotBytes);
        bytes[0] = static_cast<unsigned char>(query.size());
        std::memcpy(bytes + 1, query.data(), query.size());
        platform::sendMessage(server, platform::UM_SEARCH_QUERY, 0, 0);
        media::TTrackRecord first;
        std::memcpy(&first, bytes + media::kSearchSlotBytes, sizeof first);
        return first.Title.str();
    }

    QTemporaryDir scratch;
    std::string folder = scratch.filePath("program").toStdString();
    std::string base = folder + "/Database/Base.dfs";
    QProcessEnvironment env;
    QProcess player;
    platform::WindowHandle playerWindow = 0;
    platform::WindowHandle server = 0;
    platform::SharedMemory area;
};

TEST_F(PlayerAndBase, TheBaseOpenedFromThePlayerIsItsServerAndEndsWithIt)
{
    // Once the player's greeting has reached it, the server answers from the base it read then.
    ASSERT_TRUE(waitUntil([&] { return firstResult("Old") == "Old song"; }, 5000));
    EXPECT_EQ(firstResult("Fresh"), "");
    // The base as the operator will load it; then "Запустить" in the player's menu.
    writeBase(base, {"Old song", "Fresh song"});
    QProcess opened;
    opened.setProcessEnvironment(env);
    opened.start(QStringLiteral(QV_BIN_DIR "/Base"),
                 {"fromplayer", QString::number(playerWindow), QString::fromStdString(base)});
    ASSERT_TRUE(opened.waitForStarted(5000));
    EXPECT_TRUE(waitUntil([&] { return firstResult("Fresh") == "Fresh song"; }, 5000))
        << "the player's search answers from the base shown to the operator";
    EXPECT_TRUE(opened.waitForFinished(5000));
    EXPECT_EQ(opened.exitCode(), 0);
    EXPECT_EQ(windowsOf("TBase_main_window").size(), 1u) << "one base, the server's";

    // A player that is killed says nothing: its server finds it gone at its next ping.
    ::kill(static_cast<pid_t>(player.processId()), SIGKILL);
    EXPECT_TRUE(waitUntil([] { return windowsOf("TBase_main_window").empty(); }, 5000))
        << "the server outlived its player";
}

}  // namespace
