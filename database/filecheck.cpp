// Presence of the base's files by one stat each, with the mount table deciding whether "no such
// file" can be believed.
#include "database/filecheck.h"

#include "database/recordtext.h"
#include "platform/volumes.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace database {

namespace {

std::string readText(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    if (in)
        out << in.rdbuf();
    return out.str();
}

std::string withoutSlash(std::string point)
{
    while (point.size() > 1 && point.back() == '/')
        point.pop_back();
    return point;
}

bool below(const std::string& path, const std::string& point)
{
    if (point == "/")
        return true;
    return path.compare(0, point.size(), point) == 0 && (path.size() == point.size() || path[point.size()] == '/');
}

}  // namespace

FileChecker::FileChecker() : FileChecker(readText("/proc/self/mounts"), readText("/etc/fstab")) {}

FileChecker::FileChecker(std::string_view mountTable, std::string_view fstab)
{
    for (const platform::MountEntry& m : platform::parseMountTable(mountTable)) {
        if (m.mountPoint.empty() || m.mountPoint.front() != '/')
            continue;
        m_mounted.push_back(withoutSlash(m.mountPoint));
        m_automount.push_back(m.fsType == "autofs");
    }
    for (const platform::MountEntry& f : platform::parseMountTable(fstab)) {
        const std::string point = withoutSlash(f.mountPoint);
        if (point.size() < 2 || point.front() != '/')
            continue;  // swap, "none", the root itself
        bool mounted = false;
        for (const std::string& m : m_mounted)
            mounted = mounted || m == point;
        if (!mounted)
            m_unmounted.push_back(point);
    }
}

bool FileChecker::outOfReach(const std::string& path) const
{
    for (const std::string& point : m_unmounted)
        if (below(path, point))
            return true;
    // Under an automounter a share that cannot be mounted answers "no such file" too.
    std::size_t best = std::string::npos;
    for (std::size_t i = 0; i < m_mounted.size(); ++i)
        if (below(path, m_mounted[i]) && (best == std::string::npos || m_mounted[i].size() >= m_mounted[best].size()))
            best = i;
    return best != std::string::npos && m_automount[best];
}

FilePresence FileChecker::check(const std::string& path) const
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? FilePresence::Missing : FilePresence::Present;
    if (errno != ENOENT)
        return FilePresence::Unreachable;
    return outOfReach(path) ? FilePresence::Unreachable : FilePresence::Missing;
}

CheckOutcome findMissingFiles(const std::vector<media::TTrackRecord*>& records, const FileChecker& checker,
                              const CheckPump& pump, std::chrono::milliseconds pumpPeriod,
                              const std::atomic<bool>* abort)
{
    using Clock = std::chrono::steady_clock;
    CheckOutcome out;
    auto lastPump = Clock::now();
    std::string path;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (abort && abort->load(std::memory_order_relaxed)) {
            out.aborted = true;
            break;
        }
        const std::string_view stored = storedBytes(*records[i], Field::FileName);
        path.assign(stored.data(), stored.size());
        switch (checker.check(path)) {
        case FilePresence::Present: ++out.present; break;
        case FilePresence::Missing: out.missing.push_back(records[i]); break;
        case FilePresence::Unreachable: ++out.unreachable; break;
        }
        ++out.checked;
        if (pump && Clock::now() - lastPump >= pumpPeriod) {
            pump(i + 1, records.size());
            lastPump = Clock::now();
        }
    }
    return out;
}

}  // namespace database
