// The real Sorbelt executable as the player meets it: started with the database path, found by
// its window class, pinged, greeted, and handing a list over to a window of this process.
#include "sorbelttest.h"
#include "media/tag.h"
#include "platform/messageids.h"
#include "tools/Sorbelt/sorbelt.h"
#include "tools/Sorbelt/stacklist.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <filesystem>

using namespace sorbelt;
using namespace sorbelttest;
using namespace std::chrono_literals;

namespace {

class GeneratorProgram : public ::testing::Test {
protected:
    ~GeneratorProgram() override
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts the program the way the player does and waits for its window, as the player does.
    platform::WindowHandle start(const std::string& databasePath)
    {
        const QString program = QStringLiteral(QV_BIN_DIR "/") + QString::fromLatin1(kExecutableName.data());
        if (!std::filesystem::exists(program.toStdString())) {
            ADD_FAILURE() << program.toStdString() << " is not built";
            return 0;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);  // the program folder and the object prefix of this run
        m_process.setWorkingDirectory(QString::fromStdString(m_folder.path()));
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(program, {QString::fromStdString(databasePath)});
        if (!m_process.waitForStarted(5000))
            return 0;
        platform::WindowHandle window = 0;
        pumpUntil([&] { return (window = platform::findWindow("TSorbeltWnd", "")) != 0; }, 10s);
        return window;
    }

    ScopedProgramFolder m_folder;
    QProcess m_process;
};

}  // namespace

TEST_F(GeneratorProgram, AnswersThePingAndHandsItsListToThePlayerThatGreetedIt)
{
    std::vector<media::TTrackRecord> rows;
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back(makeRow("\xc0\xf0\xf2\xe8\xf1\xf2 " + n, "Title " + n, i % 4 == 0 ? "NO" : "/music/" + n + ".mp3",
                               1000 * i));
    }
    const std::string basePath = m_folder.path() + "Database/Base.dfs";
    std::filesystem::create_directories(m_folder.path() + "Database");
    writeDfs(basePath, rows, 123);

    const platform::WindowHandle generator = start(basePath);
    ASSERT_NE(generator, 0u);
    EXPECT_EQ(platform::sendMessage(generator, platform::UM_PING, 0, 0), 1000);

    RecordingWindow player("player");
    std::vector<media::TTrackRecord> atMessage(100);
    int loaded = -1;
    player.onMessage = [&](const Received& message) {
        if (message.msg == platform::UM_LOAD_TEMP_LIST && std::filesystem::exists(stackListPath()))
            loaded = media::LoadM3UPlaylist(stackListPath(), atMessage);
    };
    platform::sendMessage(generator, platform::UM_SEARCH_HELLO, player.handle(), 23);
    pumpUntil([] { return false; }, 200ms);
    EXPECT_TRUE(player.received.empty()) << "the greeting alone hands nothing over";

    platform::sendMessage(generator, kWmCommand, kGenerateButtonId, 0);
    ASSERT_TRUE(pumpUntil([&] { return !player.received.empty(); }, 10s));
    EXPECT_EQ(player.received[0].msg, platform::UM_LOAD_TEMP_LIST);
    EXPECT_EQ(player.received[0].wParam, 0);
    ASSERT_EQ(loaded, kDefaultTrackCount);
    for (int i = 0; i < loaded; ++i) {
        const std::string name = atMessage[i].FileName.str();
        EXPECT_EQ(name.rfind("/music/", 0), 0u) << name;
        EXPECT_EQ(atMessage[i].Artist.str().rfind("\xc0\xf0\xf2\xe8\xf1\xf2 ", 0), 0u) << "Cyrillic survives the trip";
    }
}

TEST_F(GeneratorProgram, WithAnEmptyArgumentItRunsButHandsNothingOver)
{
    const platform::WindowHandle generator = start("");
    ASSERT_NE(generator, 0u);
    EXPECT_EQ(platform::sendMessage(generator, platform::UM_PING, 0, 0), 1000);
    RecordingWindow player("player");
    platform::sendMessage(generator, platform::UM_SEARCH_HELLO, player.handle(), 23);
    platform::sendMessage(generator, kWmCommand, kGenerateButtonId, 0);
    pumpUntil([] { return false; }, 500ms);
    EXPECT_TRUE(player.received.empty());
    EXPECT_FALSE(std::filesystem::exists(stackListPath()));
}
