// Program start, default-program opening and priority classes on Linux.
#include "platform/process.h"

#include "platform/programfolder.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

// The lowest nice value this process may set: -20 with the right to, else what RLIMIT_NICE allows.
int strongestAllowedNice()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0)
        return 0;
    if (limit.rlim_cur == RLIM_INFINITY)
        return -20;
    const long long n = 20 - static_cast<long long>(limit.rlim_cur);
    return static_cast<int>(std::clamp(n, -20LL, 19LL));
}

std::vector<pid_t> threadIds()
{
    std::vector<pid_t> ids;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        const std::string name = entry.path().filename().string();
        pid_t tid = 0;
        auto [ptr, err] = std::from_chars(name.data(), name.data() + name.size(), tid);
        if (err == std::errc() && ptr == name.data() + name.size())
            ids.push_back(tid);
    }
    if (ids.empty())
        ids.push_back(getpid());
    return ids;
}

bool setNice(pid_t tid, int nice) { return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0; }

// Threads kept at the lowest priority (LowestPriorityScope).
std::mutex g_backgroundLock;
std::set<pid_t> g_backgroundThreads;

bool isBackgroundThread(pid_t tid)
{
    std::lock_guard lock(g_backgroundLock);
    return g_backgroundThreads.count(tid) != 0;
}

}  // namespace

std::string executablePath(std::string_view program)
{
    const std::string name = toSlashes(program);
    if (!name.empty() && name.front() == '/')
        return name;
    return executableFolder() + name;
}

std::optional<std::int64_t> startProgram(std::string_view program, const std::vector<std::string>& args)
{
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    qint64 pid = 0;
    const QString path = QString::fromStdString(executablePath(program));
    if (!QProcess::startDetached(path, list, QString::fromStdString(programFolder()), &pid))
        return std::nullopt;
    return pid;
}

// The reaper thread and the owner share this. The child stays a zombie (waited for without being
// reaped) until `exited` is set under the lock, so a signal sent under the lock can never reach
// another process that was given the same number.
struct WatchedProcess::State {
    std::mutex mutex;
    pid_t pid = 0;
    bool exited = false;
    std::unique_ptr<QObject> receiver;  // lives on the starting thread; null once the owner is gone
    ExitHandler onExit;                 // called on the receiver's thread only
};

WatchedProcess::WatchedProcess() : m_state(std::make_shared<State>()) {}

WatchedProcess::~WatchedProcess()
{
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(m_state->mutex);
        receiver = m_state->receiver.release();
    }
    // The handler runs on this thread only, so it can go without the lock. The receiver may be
    // the one whose queued report is running this destructor: it goes later, and a report still
    // queued for it finds no handler.
    m_state->onExit = nullptr;
    if (receiver)
        receiver->deleteLater();
}

bool WatchedProcess::start(std::string_view program, const std::vector<std::string>& args, ExitHandler onExit)
{
    if (m_state->pid != 0)
        return false;
    const std::string path = executablePath(program);
    std::vector<std::string> argStrings;
    argStrings.reserve(args.size() + 1);
    argStrings.push_back(path);
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    const std::string folder = programFolder();
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // The child gets the standard streams only: no device, socket or lock of this process.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return false;

    m_state->pid = pid;
    m_state->onExit = std::move(onExit);
    m_state->receiver = std::make_unique<QObject>();
    std::thread([state = m_state, pid] {
        siginfo_t info{};
        while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
        }
        std::lock_guard lock(state->mutex);
        state->exited = true;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1;
        if (state->receiver)
            QMetaObject::invokeMethod(
                state->receiver.get(),
                [state, code] {
                    // A copy: the handler may destroy the watcher, and with it the stored one.
                    if (const ExitHandler handler = state->onExit)
                        handler(code);
                },
                Qt::QueuedConnection);
    }).detach();
    return true;
}

std::int64_t WatchedProcess::processId() const { return m_state->pid; }

bool WatchedProcess::running() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->pid != 0 && !m_state->exited;
}

void WatchedProcess::terminate()
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->pid != 0 && !m_state->exited)
        ::kill(m_state->pid, SIGTERM);
}

void WatchedProcess::kill()
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->pid != 0 && !m_state->exited)
        ::kill(m_state->pid, SIGKILL);
}

bool openDocument(std::string_view pathOrUrl)
{
    const QString text = QString::fromStdString(std::string(pathOrUrl));
    const QUrl asUrl(text);
    // A scheme of two or more letters is a link; a single letter would be a Windows drive.
    if (asUrl.isValid() && asUrl.scheme().size() > 1 && !text.startsWith(QLatin1Char('/')))
        return QDesktopServices::openUrl(asUrl);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(programPath(pathOrUrl))));
}

std::optional<int> niceForPriorityClass(int priorityClass)
{
    switch (priorityClass) {
    case kPriorityIdle: return 19;
    case kPriorityNormal: return 0;
    case kPriorityHigh: return -10;
    case kPriorityRealtime: return -20;
    default: return std::nullopt;
    }
}

bool setPriorityClass(int priorityClass)
{
    const auto wanted = niceForPriorityClass(priorityClass);
    if (!wanted)
        return false;
    const int nice = *wanted;
    // Nice values belong to threads on Linux; threads started later inherit their creator's.
    bool mainApplied = false;
    for (pid_t tid : threadIds()) {
        if (tid != getpid() && isBackgroundThread(tid))
            continue;
        bool ok = setNice(tid, nice);
        if (!ok) {
            // Without the right to go that far, go as far as the limit allows, but only when
            // that is still a stronger priority than the thread has now.
            const int allowed = std::max(nice, strongestAllowedNice());
            errno = 0;
            const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
            ok = errno == 0 && allowed < current && setNice(tid, allowed);
        }
        if (tid == getpid())
            mainApplied = ok;
    }
    return mainApplied;
}

LowestPriorityScope::LowestPriorityScope() : m_tid(static_cast<long>(::syscall(SYS_gettid)))
{
    {
        std::lock_guard lock(g_backgroundLock);
        g_backgroundThreads.insert(static_cast<pid_t>(m_tid));
    }
    setNice(static_cast<pid_t>(m_tid), 19);
}

LowestPriorityScope::~LowestPriorityScope()
{
    std::lock_guard lock(g_backgroundLock);
    g_backgroundThreads.erase(static_cast<pid_t>(m_tid));
}

}  // namespace platform
