// The database program run as main() runs it: a quit always ends it, also one that the player
// sends while a box of the hidden server's start (a base that cannot be read) is still up.
#include "database/baseprogram.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "platform/window.h"
#include "testplayer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

// A box that stays up a while (its own message loop runs meanwhile, as a modal box's does) and
// lets the test act while it is up.
class LingeringBoxes : public platform::RecordedUserMessages {
public:
    std::function<void()> whileUp;
    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        const int answer = RecordedUserMessages::messageBox(text, caption, flags);
        if (whileUp)
            std::exchange(whileUp, {})();
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        return answer;
    }
};

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
    // Runs the program; a loop that does not end within 10 s is ended from outside with 99.
    int run(const std::vector<std::string>& args)
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
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
    LingeringBoxes boxes;
    dbtest::TestPlayer player;
};

TEST_F(BaseProgram, AQuitWhileTheStartIsStillReportingEndsTheProgram)
{
    boxes.whileUp = [this] {
        const platform::WindowHandle w = server();
        ASSERT_NE(w, 0u);
        platform::sendMessage(w, platform::UM_SEARCH_QUIT, 0, 0);
    };
    EXPECT_EQ(run({"hidden", std::to_string(player.handle()), base}), 0);
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_NE(boxes.shown()[0].text.find("Cannot read " + base), std::string::npos) << boxes.shown()[0].text;
}

TEST_F(BaseProgram, AQuitAfterTheBoxesWereDismissedEndsTheProgram)
{
    QTimer::singleShot(500, [this] {
        // The player greets the server (its reload reports the base again) and later quits it.
        const platform::WindowHandle w = server();
        ASSERT_NE(w, 0u);
        platform::sendMessage(w, platform::UM_SEARCH_HELLO, player.handle(), 12);
        QTimer::singleShot(300, [w] { platform::sendMessage(w, platform::UM_SEARCH_QUIT, 0, 0); });
    });
    EXPECT_EQ(run({"hidden", std::to_string(player.handle()), base}), 0);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

TEST_F(BaseProgram, APlayerThatIsGoneEndsTheServerAlsoFromItsStart)
{
    player.pingAnswer = 0;
    // The first ping (3 s after the start) finds no player while the start's box is still up.
    boxes.whileUp = [] {
        QEventLoop loop;
        QTimer::singleShot(3500, &loop, &QEventLoop::quit);
        loop.exec();
    };
    EXPECT_EQ(run({"hidden", std::to_string(player.handle()), base}), 0);
    EXPECT_GE(player.pings, 1);
}

}  // namespace
