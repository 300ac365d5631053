// The Base executable as the player's hidden search server: found by class and caption, ended by
// UM_SEARCH_QUIT, leaving "Base.ini" unwritten.
#include "platform/messageids.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(BaseProcessTest, HiddenServerEndsOnSearchQuit)
{
    const QString exe = QString(QV_BIN_DIR) + "/Base";
    if (!std::filesystem::exists(exe.toStdString()))
        GTEST_SKIP() << "Base is not built in " << QV_BIN_DIR;
    QTemporaryDir dir;
    const std::string prefix = "dbproc" + std::to_string(QCoreApplication::applicationPid());
    setenv("QUORVALEN_PREFIX", prefix.c_str(), 1);
    setenv("QUORVALEN_REGISTRY_FILE", dir.filePath("registry").toUtf8().constData(), 1);
    QProcess base;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVALEN_PROGRAM_DIR", dir.path());
    env.insert("QUORVALEN_NOSOUND", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    base.setProcessEnvironment(env);
    base.start(exe, {"hidden", "4321", dir.filePath("none.dfs")});
    ASSERT_TRUE(base.waitForStarted(5000));

    platform::WindowHandle window = 0;
    QElapsedTimer t;
    t.start();
    while (window == 0 && t.elapsed() < 10000) {
        window = platform::findWindow("TBase_main_window", "DatabaseWindow4321");
        if (window == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(platform::postMessage(window, platform::UM_SEARCH_QUIT, 0, 0));
    EXPECT_TRUE(base.waitForFinished(10000));
    EXPECT_EQ(base.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.filePath("Base.ini").toStdString()));
    if (base.state() != QProcess::NotRunning)
        base.kill();
}

}  // namespace
