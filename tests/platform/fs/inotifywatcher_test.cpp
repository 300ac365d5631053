// The inotify set of a watcher: which folders are watched and how a wait ends.
#include "platform/inotifywatcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <thread>

namespace {

using platform::InotifyWatcher;

class InotifyWatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_outside.isValid());
    }
    std::string path(const std::string& name = "") const { return m_dir.path().toStdString() + "/" + name; }
    void mkdir(const std::string& name) const { QDir().mkpath(QString::fromStdString(path(name))); }

    QTemporaryDir m_dir;
    QTemporaryDir m_outside;
};

TEST_F(InotifyWatcherTest, SubtreeCoversRealFoldersButNotSymlinks)
{
    mkdir("a/b/c");
    mkdir("d");
    QDir().mkpath(m_outside.path() + "/x/y");
    ASSERT_EQ(::symlink(m_outside.path().toStdString().c_str(), path("link").c_str()), 0);
    InotifyWatcher watcher;
    ASSERT_TRUE(watcher.watch(path(), IN_CREATE, true));
    EXPECT_EQ(watcher.watchCount(), 5);  // top, a, a/b, a/b/c, d
    ASSERT_TRUE(watcher.watch(path(), IN_CREATE, false));
    EXPECT_EQ(watcher.watchCount(), 1);
    EXPECT_FALSE(watcher.watch(path("missing"), IN_CREATE, true));
    EXPECT_EQ(watcher.watchCount(), 0);
    QFile file(QString::fromStdString(path("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_FALSE(watcher.watch(path("file"), IN_CREATE, true));  // not a folder
}

TEST_F(InotifyWatcherTest, NewFoldersJoinTheSet)
{
    InotifyWatcher watcher;
    ASSERT_TRUE(watcher.watch(path(), IN_CREATE, true));
    mkdir("new/inner");
    std::vector<std::uint32_t> masks;
    ASSERT_EQ(watcher.wait(2000, masks), InotifyWatcher::Wait::Changes);
    EXPECT_TRUE(masks[0] & IN_ISDIR);
    EXPECT_EQ(watcher.watchCount(), 3);  // the walk of the new folder found its child too
    masks.clear();
    mkdir("new/inner/deeper");
    ASSERT_EQ(watcher.wait(2000, masks), InotifyWatcher::Wait::Changes);
}

TEST_F(InotifyWatcherTest, WakeEndsAWaitAndLeavesChangesQueued)
{
    InotifyWatcher watcher;
    ASSERT_TRUE(watcher.watch(path(), IN_CREATE, false));
    std::vector<std::uint32_t> masks;
    EXPECT_EQ(watcher.wait(50, masks), InotifyWatcher::Wait::Timeout);
    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        watcher.wake();
    });
    EXPECT_EQ(watcher.wait(5000, masks), InotifyWatcher::Wait::Woken);
    waker.join();

    mkdir("queued");
    EXPECT_EQ(watcher.wait(100, masks, false), InotifyWatcher::Wait::Timeout);
    EXPECT_TRUE(masks.empty());
    EXPECT_TRUE(watcher.poll(masks));
    EXPECT_FALSE(masks.empty());
    EXPECT_FALSE(watcher.poll(masks));
}

}  // namespace
