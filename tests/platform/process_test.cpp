// Starting programs, opening documents, and priority classes applied to every thread but the
// ones kept lowest.
#include "platform/process.h"
#include "platform/programfolder.h"
#include "urlcatcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <optional>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

bool waitForFile(const std::string& path)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        if (std::filesystem::exists(path))
            return true;
        QThread::msleep(10);
    }
    return false;
}

int niceOf(pid_t tid) { return getpriority(PRIO_PROCESS, static_cast<id_t>(tid)); }

// Runs in a forked child so the test process keeps its own priority; returns failures counted.
int priorityChecks()
{
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "priority check failed: %s\n", what);
            ++failures;
        }
    };
    std::atomic<pid_t> workerTid{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        workerTid = static_cast<pid_t>(syscall(SYS_gettid));
        while (!stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (workerTid == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::atomic<pid_t> backgroundTid{0};
    std::thread background([&] {
        const LowestPriorityScope lowest;
        backgroundTid = static_cast<pid_t>(syscall(SYS_gettid));
        while (!stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (workerTid == 0 || backgroundTid == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const pid_t main = getpid();
    const pid_t other = workerTid;
    const pid_t lowest = backgroundTid;
    auto both = [&](int nice) {
        return niceOf(main) == nice && niceOf(other) == nice && niceOf(lowest) == 19;
    };

    if (geteuid() == 0) {
        check(setPriorityClass(kPriorityRealtime) && both(-20), "realtime is nice -20 on every thread");
        check(sched_getscheduler(0) == SCHED_OTHER, "never a real-time scheduling class");
        check(setPriorityClass(kPriorityHigh) && both(-10), "high is -10");
        check(setPriorityClass(kPriorityNormal) && both(0), "normal is 0");
        // Give the right away; what RLIMIT_NICE allows is checked below (25 allows down to -5),
        // where the container lets us set it.
        rlimit limit{25, 25};
        setrlimit(RLIMIT_NICE, &limit);
        check(setuid(65534) == 0, "setuid");
    }
    check(setPriorityClass(kPriorityIdle) && both(19), "idle is 19");
    check(!setPriorityClass(7) && both(19), "another value leaves it");
    check(!setPriorityClass(-1) && both(19), "a negative value leaves it");
    rlimit limit{};
    getrlimit(RLIMIT_NICE, &limit);
    if (limit.rlim_max >= 25) {
        limit.rlim_cur = 25;
        setrlimit(RLIMIT_NICE, &limit);
        check(setPriorityClass(kPriorityRealtime) && both(-5), "realtime goes as far as allowed");
        check(setPriorityClass(kPriorityIdle) && both(19), "back to idle");
    }
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_NICE, &limit);
    check(!setPriorityClass(kPriorityNormal) && both(19), "a refused raise is ignored");
    check(!setPriorityClass(kPriorityHigh) && both(19), "a refused raise is ignored (high)");
    stop = true;
    worker.join();
    background.join();
    return failures;
}

}  // namespace

TEST(Priority, ClassesMapToNiceValues)
{
    EXPECT_EQ(niceForPriorityClass(kPriorityIdle), 19);
    EXPECT_EQ(niceForPriorityClass(kPriorityNormal), 0);
    EXPECT_EQ(niceForPriorityClass(kPriorityHigh), -10);
    EXPECT_EQ(niceForPriorityClass(kPriorityRealtime), -20);
    EXPECT_EQ(niceForPriorityClass(4), std::nullopt);
}

TEST(Priority, AppliedToEveryThreadWithinTheAllowedRange)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(std::min(priorityChecks(), 100));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failed checks above";
}

TEST(StartProgram, ArgumentsArriveVerbatimAndItRunsInTheProgramFolder)
{
    QTemporaryDir dir;
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
    const std::string odd = "a b;$(touch injected)|'q'\"";
    const auto pid = startProgram("/usr/bin/touch", {odd, "relative-name"});
    unsetenv("QUORVALEN_PROGRAM_DIR");
    ASSERT_TRUE(pid.has_value());
    EXPECT_GT(*pid, 0);
    EXPECT_TRUE(waitForFile(dir.path().toStdString() + "/" + odd));
    EXPECT_TRUE(waitForFile(dir.path().toStdString() + "/relative-name"));
    EXPECT_FALSE(std::filesystem::exists(dir.path().toStdString() + "/injected"));
}

TEST(StartProgram, ProgramsAreLookedUpBesideTheExecutables)
{
    EXPECT_EQ(executablePath("encoder"), executableFolder() + "encoder");
    EXPECT_EQ(executablePath("plugins\\lame"), executableFolder() + "plugins/lame");
    EXPECT_EQ(executablePath("/usr/bin/env"), "/usr/bin/env");
    EXPECT_FALSE(startProgram("no-such-program-here", {}).has_value());
    EXPECT_FALSE(startProgram("/nonexistent/prog", {"x"}).has_value());
}

TEST(StartProgram, AVariableOfThisProcessAloneIsNotHandedOnTheRestIs)
{
    // The player's render file: a program it starts would write into it too.
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    setenv("QUORVALEN_NOSOUND_WAV", (folder + "/mix.wav").c_str(), 1);
    setenv("QV_TEST_HANDED_ON", "yes", 1);
    const std::string script = "echo \"${QUORVALEN_NOSOUND_WAV-none} $QV_TEST_HANDED_ON\" > \"$1.part\" && mv \"$1.part\" \"$1\"";
    ASSERT_TRUE(startProgram("/bin/sh", {"-c", script, "sh", folder + "/detached"}).has_value());
    WatchedProcess watched;
    ASSERT_TRUE(watched.start("/bin/sh", {"-c", script, "sh", folder + "/watched"}, [](int) {}));
    unsetenv("QUORVALEN_NOSOUND_WAV");
    unsetenv("QV_TEST_HANDED_ON");
    for (const char* name : {"/detached", "/watched"}) {
        ASSERT_TRUE(waitForFile(folder + name)) << name;
        std::ifstream in(folder + name);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "none yes") << name;
    }
}

namespace {

// Runs the event loop until done() or five seconds have passed.
bool pumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}

// True once no process of this number is left, not even a zombie waiting to be reaped.
bool reaped(std::int64_t pid)
{
    return pumpUntil([pid] { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; });
}

}  // namespace

TEST(WatchedProcess, ReportsTheExitCodeOnItsOwnThreadWithArgumentsVerbatimInTheProgramFolder)
{
    QTemporaryDir dir;
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
    WatchedProcess process;
    std::vector<int> codes;
    std::thread::id reportedOn;
    const std::string odd = "a b;$(touch injected)|'q'\"";
    ASSERT_TRUE(process.start("/bin/sh", {"-c", "touch \"$1\"; exit 7", "sh", odd}, [&](int code) {
        codes.push_back(code);
        reportedOn = std::this_thread::get_id();
    }));
    unsetenv("QUORVALEN_PROGRAM_DIR");
    EXPECT_GT(process.processId(), 0);
    ASSERT_TRUE(pumpUntil([&] { return !codes.empty(); }));
    EXPECT_EQ(codes, std::vector<int>{7});
    EXPECT_EQ(reportedOn, std::this_thread::get_id());
    EXPECT_FALSE(process.running());
    EXPECT_TRUE(std::filesystem::exists(dir.path().toStdString() + "/" + odd));
    EXPECT_FALSE(std::filesystem::exists(dir.path().toStdString() + "/injected"));
    EXPECT_TRUE(reaped(process.processId()));
    // Signals after the end reach nobody (the number may already belong to another process).
    process.kill();
    process.terminate();
    QCoreApplication::processEvents();
    EXPECT_EQ(codes.size(), 1u);
}

TEST(WatchedProcess, TheProgramGetsTheStandardStreamsAndNoOtherDescriptor)
{
    QTemporaryDir dir;
    const std::string listing = dir.path().toStdString() + "/fds.txt";
    std::FILE* held = std::tmpfile();  // a descriptor of ours without close-on-exec
    ASSERT_NE(held, nullptr);
    WatchedProcess process;
    std::optional<int> code;
    ASSERT_TRUE(process.start("/bin/sh", {"-c", "ls /proc/self/fd > \"$1\"", "sh", listing}, [&](int c) { code = c; }));
    ASSERT_TRUE(pumpUntil([&] { return code.has_value(); }));
    std::fclose(held);
    std::ifstream in(listing);
    std::vector<int> fds;
    for (int fd; in >> fd;)
        fds.push_back(fd);
    // 0, 1, 2, the shell's redirection and ls's own listing of the folder.
    for (int fd : fds)
        EXPECT_TRUE(fd <= 4) << "descriptor " << fd << " reached the child";
}

TEST(WatchedProcess, AProgramEndedBySignalReportsItsNumberNegated)
{
    WatchedProcess process;
    std::optional<int> code;
    ASSERT_TRUE(process.start("/bin/sleep", {"30"}, [&](int c) { code = c; }));
    EXPECT_TRUE(process.running());
    process.terminate();
    ASSERT_TRUE(pumpUntil([&] { return code.has_value(); }));
    EXPECT_EQ(*code, -SIGTERM);

    WatchedProcess killed;
    std::optional<int> killedCode;
    ASSERT_TRUE(killed.start("/bin/sleep", {"30"}, [&](int c) { killedCode = c; }));
    killed.kill();
    ASSERT_TRUE(pumpUntil([&] { return killedCode.has_value(); }));
    EXPECT_EQ(*killedCode, -SIGKILL);
}

TEST(WatchedProcess, AProgramThatCannotStartReportsNothing)
{
    WatchedProcess process;
    bool called = false;
    EXPECT_FALSE(process.start("/nonexistent/encoder", {"x"}, [&](int) { called = true; }));
    EXPECT_FALSE(process.start("no-such-program-here", {}, [&](int) { called = true; }));
    EXPECT_EQ(process.processId(), 0);
    EXPECT_FALSE(process.running());
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

TEST(WatchedProcess, AProgramOutlivingItsWatcherIsStillReapedAndTellsNobody)
{
    std::int64_t pid = 0;
    bool called = false;
    {
        WatchedProcess process;
        ASSERT_TRUE(process.start("/bin/sleep", {"0.2"}, [&](int) { called = true; }));
        pid = process.processId();
    }
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0) << "the program is left to run";
    EXPECT_TRUE(reaped(pid));
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);

    // A watcher that goes inside its own report.
    auto owned = std::make_unique<WatchedProcess>();
    bool reported = false;
    ASSERT_TRUE(owned->start("/bin/true", {}, [&](int) {
        reported = true;
        owned.reset();
    }));
    EXPECT_TRUE(pumpUntil([&] { return reported; }));
    EXPECT_EQ(owned, nullptr);
    QCoreApplication::processEvents();
}

TEST(OpenDocument, LinksAndFilesGoToTheDesktopHandler)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("qvtest", &catcher, "open");
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    QTemporaryDir dir;
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
    EXPECT_TRUE(openDocument("qvtest://station/page?x=1"));
    EXPECT_TRUE(openDocument("Txt\\note 1.txt"));
    EXPECT_TRUE(openDocument("/abs/help.html"));
    unsetenv("QUORVALEN_PROGRAM_DIR");
    QDesktopServices::unsetUrlHandler("qvtest");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0].toString(), "qvtest://station/page?x=1");
    EXPECT_EQ(catcher.urls[1].toLocalFile(), dir.path() + "/Txt/note 1.txt");
    EXPECT_EQ(catcher.urls[2].toLocalFile(), "/abs/help.html");
}
