// inotify set of one watcher: the tree walk, the event reading and the wake-up descriptor.
#include "platform/inotifywatcher.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// The inotify instance is made by the first watch: instances are a scarce per-user budget, and
// a watcher that never runs should not hold one.
InotifyWatcher::InotifyWatcher()
{
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

InotifyWatcher::~InotifyWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void InotifyWatcher::clear()
{
    for (const auto& [wd, path] : m_paths)
        ::inotify_rm_watch(m_fd, wd);
    m_paths.clear();
    // Drop what the removed watches left in the queue.
    std::vector<std::uint32_t> stale;
    readEvents(stale);
}

bool InotifyWatcher::addOne(const std::string& folder, bool top)
{
    if (m_fd < 0 || static_cast<int>(m_paths.size()) >= kMaxWatches)
        return false;
    std::uint32_t mask = m_mask | IN_ONLYDIR;
    if (m_subtree)
        mask |= IN_CREATE | IN_MOVED_TO;
    if (!top)
        mask |= IN_DONT_FOLLOW;
    const int wd = ::inotify_add_watch(m_fd, folder.c_str(), mask);
    if (wd < 0)
        return false;
    m_paths[wd] = folder;
    return true;
}

void InotifyWatcher::addTree(const std::string& folder, unsigned long device, bool top)
{
    if (!addOne(folder, top) || !m_subtree)
        return;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    std::vector<std::string> children;
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (e->d_type != DT_DIR && e->d_type != DT_UNKNOWN)
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_dev != device)
            continue;
        children.push_back(prefix + name);
    }
    ::closedir(dir);
    for (const auto& child : children) {
        if (static_cast<int>(m_paths.size()) >= kMaxWatches)
            break;
        addTree(child, device, false);
    }
}

bool InotifyWatcher::watch(const std::string& folder, std::uint32_t mask, bool subtree)
{
    clear();
    m_mask = mask;
    m_subtree = subtree;
    if (m_fd < 0)
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    struct stat st {};
    if (m_fd < 0 || folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    addTree(folder, st.st_dev, true);
    return !m_paths.empty();
}

void InotifyWatcher::readEvents(std::vector<std::uint32_t>& masks)
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event ev;
            std::memcpy(&ev, buffer + at, sizeof ev);
            const ssize_t next = at + static_cast<ssize_t>(sizeof(inotify_event)) + ev.len;
            if (next > n)
                break;
            if (ev.mask & IN_IGNORED) {
                m_paths.erase(ev.wd);
            } else {
                masks.push_back(ev.mask);
                const bool newFolder = (ev.mask & IN_ISDIR) && (ev.mask & (IN_CREATE | IN_MOVED_TO));
                const auto it = m_paths.find(ev.wd);
                if (m_subtree && newFolder && ev.len > 0 && it != m_paths.end()) {
                    const char* name = buffer + at + sizeof(inotify_event);
                    const std::string path = (it->second.back() == '/' ? it->second : it->second + "/") +
                                             std::string(name, ::strnlen(name, ev.len));
                    struct stat parent {}, st {};
                    if (::stat(it->second.c_str(), &parent) == 0 && ::lstat(path.c_str(), &st) == 0 &&
                        S_ISDIR(st.st_mode) && st.st_dev == parent.st_dev)
                        addTree(path, st.st_dev, false);
                }
            }
            at = next;
        }
    }
}

bool InotifyWatcher::poll(std::vector<std::uint32_t>& masks)
{
    const std::size_t before = masks.size();
    readEvents(masks);
    return masks.size() > before;
}

InotifyWatcher::Wait InotifyWatcher::wait(int timeoutMs, std::vector<std::uint32_t>& masks, bool withChanges)
{
    pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_fd, POLLIN, 0}};
    const nfds_t count = (withChanges && m_fd >= 0 && !m_paths.empty()) ? 2 : 1;
    const int n = ::poll(fds, count, timeoutMs);
    if (n <= 0)
        return Wait::Timeout;
    if (fds[0].revents & POLLIN) {
        std::uint64_t value = 0;
        [[maybe_unused]] const ssize_t r = ::read(m_wakeFd, &value, sizeof value);
        return Wait::Woken;
    }
    if (count == 2 && (fds[1].revents & POLLIN))
        return poll(masks) ? Wait::Changes : Wait::Timeout;
    return Wait::Timeout;
}

void InotifyWatcher::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t r = ::write(m_wakeFd, &one, sizeof one);
}

}  // namespace platform
