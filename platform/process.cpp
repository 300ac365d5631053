// Program start, default-program opening and priority classes on Linux.
#include "platform/process.h"

#include "platform/programfolder.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <mutex>
#include <set>

#include <sys/resource.h>
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
