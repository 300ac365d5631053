// The directory watcher: slot layout, deferred build, reports on the right thread, pausing,
// idling without handles, and destruction while a report waits.
#include "controls/zrfilenotify.h"
#include "eventwait.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

namespace {

using namespace controls;

struct Recorder {
    std::vector<TNotifyKind> kinds;
    std::vector<std::thread::id> threads;
    TFileNotify::ChangeHandler handler()
    {
        return [this](TFileNotify*, TNotifyKind kind) {
            kinds.push_back(kind);
            threads.push_back(std::this_thread::get_id());
        };
    }
};

class FileNotifyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    std::string path(const std::string& name = "") const { return m_dir.path().toStdString() + "/" + name; }
    void mkdir(const std::string& name) const { QDir().mkpath(QString::fromStdString(path(name))); }

    QTemporaryDir m_dir;
};

TEST_F(FileNotifyTest, SlotsFollowTheFixedKindOrder)
{
    TFileNotify two(NotifyFlag(nkAttributes) | NotifyFlag(nkFileName));
    two.SetPath(path());
    two.Start();
    ASSERT_TRUE(two.Thread()->WaitBuilt(3000));
    EXPECT_EQ(two.Thread()->HandleCount(), 2);
    EXPECT_EQ(two.Thread()->Kinds()[0], nkFileName);
    EXPECT_EQ(two.Thread()->Kinds()[1], nkAttributes);

    TFileNotify all(NotifyFlag(nkFileName) | NotifyFlag(nkDirName) | NotifyFlag(nkAttributes) | NotifyFlag(nkSize) |
                    NotifyFlag(nkLastWrite));
    all.SetPath(path());
    all.Start();
    ASSERT_TRUE(all.Thread()->WaitBuilt(3000));
    ASSERT_EQ(all.Thread()->HandleCount(), 5);
    const auto kinds = all.Thread()->Kinds();
    EXPECT_EQ((std::vector<TNotifyKind>(kinds.begin(), kinds.begin() + 5)),
              (std::vector<TNotifyKind>{nkFileName, nkDirName, nkSize, nkLastWrite, nkAttributes}));

    TFileNotify subtreeOnly(NotifyFlag(nkSubtree));
    subtreeOnly.SetPath(path());
    subtreeOnly.Start();
    ASSERT_TRUE(subtreeOnly.Thread()->WaitBuilt(3000));
    EXPECT_EQ(subtreeOnly.Thread()->HandleCount(), 0);
}

TEST_F(FileNotifyTest, PathKeepsOnlyTheRootsSlash)
{
    TFileNotify w(NotifyFlag(nkDirName));
    w.SetPath("/");
    EXPECT_EQ(w.Path(), "/");
    w.SetPath("/media/u/STICK/");
    EXPECT_EQ(w.Path(), "/media/u/STICK");
    // Never started: pausing and resuming do nothing.
    w.Suspend();
    w.Resume();
    EXPECT_FALSE(w.Started());
}

TEST_F(FileNotifyTest, EventsMapToKinds)
{
    const std::uint32_t createFile = 0x100, createDir = 0x100 | 0x40000000, attrib = 0x4, modify = 0x2,
                        overflow = 0x4000;
    EXPECT_TRUE(TNotificationThread::EventMatches(nkFileName, createFile));
    EXPECT_FALSE(TNotificationThread::EventMatches(nkFileName, createDir));
    EXPECT_TRUE(TNotificationThread::EventMatches(nkDirName, createDir));
    EXPECT_FALSE(TNotificationThread::EventMatches(nkDirName, createFile));
    EXPECT_TRUE(TNotificationThread::EventMatches(nkAttributes, attrib));
    EXPECT_FALSE(TNotificationThread::EventMatches(nkAttributes, modify));
    EXPECT_TRUE(TNotificationThread::EventMatches(nkSize, modify));
    EXPECT_TRUE(TNotificationThread::EventMatches(nkLastWrite, modify));
    for (TNotifyKind kind : {nkFileName, nkDirName, nkAttributes, nkSize, nkLastWrite})
        EXPECT_TRUE(TNotificationThread::EventMatches(kind, overflow));
}

int inotifyInstances()
{
    int count = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        count += fd.symLinkTarget().contains("inotify") || QFile::symLinkTarget(fd.filePath()).contains("inotify");
    return count;
}

TEST_F(FileNotifyTest, PausedWatcherBuildsOnlyWhenItFirstRuns)
{
    mkdir("a/b");
    const int instancesBefore = inotifyInstances();
    TFileNotify w(NotifyFlag(nkDirName) | NotifyFlag(nkSubtree));
    w.SetPath(path());
    w.Start(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(w.Thread()->Built());
    EXPECT_EQ(w.Thread()->WatchCount(), 0);
    EXPECT_EQ(inotifyInstances(), instancesBefore);  // not even an inotify instance yet
    w.Resume();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    EXPECT_EQ(w.Thread()->WatchCount(), 3);
    EXPECT_EQ(inotifyInstances(), instancesBefore + 1);
}

TEST_F(FileNotifyTest, ChangeBelowTheSubtreeIsReportedOnTheUserInterfaceThread)
{
    mkdir("a/b");
    Recorder rec;
    TFileNotify w(NotifyFlag(nkDirName) | NotifyFlag(nkSubtree));
    w.OnChange = rec.handler();
    w.SetPath(path());
    w.Start();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    mkdir("a/b/c");
    ASSERT_TRUE(waitFor([&] { return !rec.kinds.empty(); }, 3000));
    EXPECT_EQ(rec.kinds[0], nkDirName);
    EXPECT_EQ(rec.threads[0], std::this_thread::get_id());

    // The new folder is watched too.
    spinEvents(300);
    const std::size_t before = rec.kinds.size();
    mkdir("a/b/c/d");
    ASSERT_TRUE(waitFor([&] { return rec.kinds.size() > before; }, 3000));

    // A file is not a folder change.
    spinEvents(300);
    const std::size_t afterFolders = rec.kinds.size();
    QFile f(QString::fromStdString(path("a/b/c/file.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    spinEvents(500);
    EXPECT_EQ(rec.kinds.size(), afterFolders);
}

TEST_F(FileNotifyTest, SynchronousReportsRunOnTheWatcherThread)
{
    std::atomic<int> count{0};
    std::atomic<bool> onMain{true};
    const auto mainId = std::this_thread::get_id();
    TFileNotify w(NotifyFlag(nkFileName));
    w.SetSynchronous(true);
    w.OnChange = [&](TFileNotify*, TNotifyKind) {
        onMain = std::this_thread::get_id() == mainId;
        ++count;
    };
    w.SetPath(path());
    w.Start();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    QFile f(QString::fromStdString(path("x.mp3")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    for (int i = 0; i < 300 && count == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // no event loop needed
    EXPECT_GE(count.load(), 1);
    EXPECT_FALSE(onMain.load());
}

TEST_F(FileNotifyTest, BurstGivesFewReportsAndPausedChangesComeAfterResume)
{
    Recorder rec;
    TFileNotify w(NotifyFlag(nkDirName));
    w.OnChange = rec.handler();
    w.SetPath(path());
    w.Start();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    for (int i = 0; i < 300; ++i)
        mkdir("burst" + std::to_string(i));
    ASSERT_TRUE(waitFor([&] { return !rec.kinds.empty(); }, 3000));
    spinEvents(500);
    EXPECT_LT(rec.kinds.size(), 10u);

    w.Suspend();
    spinEvents(300);
    const std::size_t before = rec.kinds.size();
    mkdir("while-paused");
    spinEvents(500);
    EXPECT_EQ(rec.kinds.size(), before);
    w.Resume();
    ASSERT_TRUE(waitFor([&] { return rec.kinds.size() > before; }, 3000));
}

TEST_F(FileNotifyTest, NewPathOfARunningWatcherIsWatched)
{
    mkdir("one");
    mkdir("two");
    Recorder rec;
    TFileNotify w(NotifyFlag(nkDirName));
    w.OnChange = rec.handler();
    w.SetPath(path("one"));
    w.Start();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    w.SetPath(path("two"));
    spinEvents(400);
    mkdir("one/ignored");
    spinEvents(400);
    EXPECT_TRUE(rec.kinds.empty());
    mkdir("two/seen");
    EXPECT_TRUE(waitFor([&] { return !rec.kinds.empty(); }, 3000));
}

double processCpuSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

TEST_F(FileNotifyTest, WatcherWithoutHandlesStaysIdle)
{
    Recorder rec;
    TFileNotify w(NotifyFlag(nkDirName) | NotifyFlag(nkSubtree));
    w.OnChange = rec.handler();
    w.SetPath(path("does-not-exist"));
    w.Start();
    ASSERT_TRUE(w.Thread()->WaitBuilt(3000));
    EXPECT_EQ(w.Thread()->HandleCount(), 0);
    const double start = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_LT(processCpuSeconds() - start, 0.1);
    mkdir("does-not-exist");
    spinEvents(300);
    EXPECT_TRUE(rec.kinds.empty());
}

TEST_F(FileNotifyTest, DestroyingWithAReportPendingCancelsIt)
{
    Recorder rec;
    auto w = std::make_unique<TFileNotify>(NotifyFlag(nkDirName));
    w->OnChange = rec.handler();
    w->SetPath(path());
    w->Start();
    ASSERT_TRUE(w->Thread()->WaitBuilt(3000));
    mkdir("x");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the report is queued for this thread
    const auto begin = std::chrono::steady_clock::now();
    w.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    spinEvents(200);
    EXPECT_TRUE(rec.kinds.empty());
}

TEST_F(FileNotifyTest, DestroyingAPausedOrNeverStartedWatcherReturns)
{
    auto paused = std::make_unique<TFileNotify>(NotifyFlag(nkDirName));
    paused->SetPath(path());
    paused->Start(false);
    auto running = std::make_unique<TFileNotify>(NotifyFlag(nkDirName));
    running->SetPath(path());
    running->Start();
    running->Suspend();
    const auto begin = std::chrono::steady_clock::now();
    paused.reset();
    running.reset();
    TFileNotify idle(NotifyFlag(nkDirName));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
}

}  // namespace
