// Checked saves through a temporary file renamed into place. Written on plain POSIX calls so that
// no layer buffers a write whose failure would only show after the checks (a buffered writer
// reports a full disk at its final flush, and a save that looked fine has emptied the file).
#include "platform/savefile.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

namespace {

// Of the target's name in the temporary file's name: room for the rest within any name limit.
constexpr std::size_t kMaxTempNameChars = 200;

// Times a temporary file is made again when a tidying start took it before it was locked.
constexpr int kLockAttempts = 3;

// The process's umask without changing it (umask() itself would, for every thread at once).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    return 022;
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link stays a link: the file it points at is the one replaced.
std::string resolveTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(std::filesystem::path(path), ec);
    return ec || resolved.empty() ? path : resolved.string();
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // makes the rename itself durable; a failure here loses nothing already saved
        ::close(fd);
    }
}

}  // namespace

SaveFile::SaveFile(std::string path, std::optional<unsigned> mode) : m_path(std::move(path)), m_mode(mode) {}

SaveFile::~SaveFile()
{
    cancel();
}

bool SaveFile::fail(int err)
{
    if (!m_failed) {
        m_failed = true;
        m_error = std::error_code(err, std::generic_category()).message();
    }
    cancel();
    return false;
}

int createLockedTemp(const std::string& target, std::string& path)
{
    // Hidden, beside the target (a rename works within one file system only), and short enough
    // for any file-name limit whatever the target's name.
    const std::string pattern =
        parentOf(target) + "/." + fileNameOf(target).substr(0, kMaxTempNameChars) + ".XXXXXX";
    // A start tidying the folder that came between the creation and the lock has taken the file
    // away: it is made again. Where the file system has no locks, it goes unlocked.
    for (int attempt = 0;; ++attempt) {
        std::string name = pattern;
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat made {};
        if (attempt < kLockAttempts && ::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &made) == 0 && made.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        path = std::move(name);
        return fd;
    }
}

bool SaveFile::open()
{
    cancel();
    m_failed = false;
    m_error.clear();
    if (m_path.empty())
        return fail(ENOENT);
    m_target = resolveTarget(m_path);
    const int fd = createLockedTemp(m_target, m_temp);
    if (fd < 0)
        return fail(errno);
    m_fd = fd;

    struct stat old {};
    const bool replacing = ::stat(m_target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return fail(S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    mode_t mode = 0;
    if (m_mode)
        mode = static_cast<mode_t>(*m_mode & 07777);
    else if (replacing)
        mode = old.st_mode & 07777;
    else
        mode = 0666 & ~currentUmask();
    if (::fchmod(m_fd, mode) != 0)
        return fail(errno);
    if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Saved by someone allowed to replace another's file: it stays the owner's.
        [[maybe_unused]] const int rc = ::fchown(m_fd, old.st_uid, old.st_gid);
    }
    return true;
}

bool SaveFile::write(const void* data, std::size_t size)
{
    if (m_failed || m_fd < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return fail(ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SaveFile::commit()
{
    if (m_failed || m_fd < 0)
        return false;
    // Some file systems only find out at the flush or the close that the data does not fit.
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        return fail(errno);
    // A second descriptor keeps the lock through the rename; the close is checked on the first.
    const int lock = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    const int fd = m_fd;
    m_fd = -1;
    const bool closed = ::close(fd) == 0 || errno == EINTR;
    const int closeError = errno;
    const bool renamed = closed && ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    const int renameError = errno;
    if (lock >= 0)
        ::close(lock);
    if (!closed)
        return fail(closeError);
    if (!renamed)
        return fail(renameError);
    m_temp.clear();
    syncFolder(parentOf(m_target));
    return true;
}

void SaveFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool isSaveTempName(std::string_view name)
{
    // "." + at least one character of the name + "." + the six characters mkostemp put for XXXXXX.
    constexpr std::size_t kRandom = 6;
    if (name.size() < 1 + 1 + 1 + kRandom || name.front() != '.' || name[name.size() - kRandom - 1] != '.')
        return false;
    if (name.size() - kRandom - 2 > kMaxTempNameChars)
        return false;
    const std::string_view random = name.substr(name.size() - kRandom);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

namespace {

// Offers removeIf the regular files of this user in folder whose name matches; returns how many it
// removed.
template <class RemoveIf>
int removeLeftovers(const std::string& folder, bool (*matches)(std::string_view name), RemoveIf removeIf)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!matches(entry->d_name))
            continue;
        struct stat st {};
        // The entry itself, not what a link points at; only the user's own files.
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        removed += removeIf(::dirfd(dir), entry->d_name, st) ? 1 : 0;
    }
    ::closedir(dir);
    return removed;
}

bool removeIfUntouchedFor(int folderFd, const char* name, const struct stat& st, std::chrono::seconds age)
{
    return std::time(nullptr) - st.st_mtime >= age.count() && ::unlinkat(folderFd, name, 0) == 0;
}

// Where a lock may be held on another machine without this one seeing it.
bool locksMayBeElsewhere(int folderFd)
{
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0)
        return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case FUSE_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// A save's temporary file that no writer holds locked. It is removed while this lock is held, so
// a writer that has just made it and locks it next finds it gone and makes another.
bool removeIfUnlocked(int folderFd, const char* name, const struct stat& st)
{
    const int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat held {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (::fstat(fd, &held) == 0 && held.st_ino == st.st_ino && held.st_dev == st.st_dev)
            removed = ::unlinkat(folderFd, name, 0) == 0;
    } else if (errno != EWOULDBLOCK) {
        removed = removeIfUntouchedFor(folderFd, name, st, kStaleTempAge);  // no locks here
    }
    ::close(fd);
    return removed;
}

}  // namespace

int removeStaleTempFiles(const std::string& folder, bool (*matches)(std::string_view name), std::chrono::seconds minAge)
{
    return removeLeftovers(folder, matches, [minAge](int folderFd, const char* name, const struct stat& st) {
        return removeIfUntouchedFor(folderFd, name, st, minAge);
    });
}

int removeStaleSaveFiles(const std::string& folder)
{
    std::optional<bool> byAge;
    return removeLeftovers(folder, isSaveTempName, [&byAge](int folderFd, const char* name, const struct stat& st) {
        if (!byAge)
            byAge = locksMayBeElsewhere(folderFd);
        return *byAge ? removeIfUntouchedFor(folderFd, name, st, kStaleTempAge) : removeIfUnlocked(folderFd, name, st);
    });
}

bool saveFile(const std::string& path, std::string_view bytes, std::string* error, std::optional<unsigned> mode)
{
    SaveFile file(path, mode);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && error)
        *error = file.error();
    return ok;
}

}  // namespace platform
