// Program start, default-program opening and priority classes on Linux.
#include "platform/process.h"

#include "platform/programfolder.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QObject>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <iterator>
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

// The environment a started program gets: this one's, less what belongs to this process alone.
std::vector<char*> childEnvironment()
{
    std::vector<char*> env;
    for (char** v = environ; *v != nullptr; ++v) {
        const std::string_view entry(*v);
        const bool own = std::any_of(std::begin(kProcessOwnVariables), std::end(kProcessOwnVariables),
                                     [&entry](std::string_view name) {
                                         return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 &&
                                                entry[name.size()] == '=';
                                     });
        if (!own)
            env.push_back(*v);
    }
    env.push_back(nullptr);
    return env;
}

// Starts path with these arguments, their bytes as given (never through a shell), in the program
// folder, with the standard streams only: no device, socket or lock of this process.
std::optional<pid_t> spawnProgram(const std::string& path, const std::vector<std::string>& args, bool ownSession)
{
    std::vector<std::string> argStrings;
    argStrings.reserve(args.size() + 1);
    argStrings.push_back(path);
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> env = childEnvironment();

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return std::nullopt;
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return std::nullopt;
    }
    const std::string folder = programFolder();
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // Signals as a program finds them when started from a shell: none blocked, SIGPIPE not
    // ignored (whatever this process did to its own).
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (ownSession)
        flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), env.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return std::nullopt;
    return pid;
}

}  // namespace

std::string executablePath(std::string_view program)
{
    // A "\" in an absolute path is part of a folder's name, not a separator.
    if (!program.empty() && program.front() == '/')
        return std::string(program);
    const std::string name = toSlashes(program);
    if (!name.empty() && name.front() == '/')
        return name;
    return executableFolder() + name;
}

std::optional<std::int64_t> startProgram(std::string_view program, const std::vector<std::string>& args)
{
    // A session of its own, as a detached program has: Ctrl+C in the player's terminal is the
    // player's to handle, not the other program's.
    const std::optional<pid_t> pid = spawnProgram(executablePath(program), args, true);
    if (!pid)
        return std::nullopt;
    // Nobody is told of its end, but it is reaped, so it never lingers as a zombie.
    std::thread([pid = *pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return *pid;
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
    const std::optional<pid_t> spawned = spawnProgram(executablePath(program), args, false);
    if (!spawned)
        return false;
    const pid_t pid = *spawned;

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
