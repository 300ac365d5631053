// Folder listing and the rename and new-folder calls, on POSIX directory and statx calls.
#include "platform/direntries.h"

#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// statx keeps the compressed flag that plain stat drops.
bool statEntry(int dirFd, const char* name, struct statx& st)
{
    if (::statx(dirFd, name, AT_STATX_SYNC_AS_STAT, STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME, &st) == 0)
        return true;
    // A dangling symlink: describe the link itself.
    return ::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
                   STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME, &st) == 0;
}

std::uint32_t attributesOf(const char* name, const struct statx& st, bool writable)
{
    std::uint32_t attrs = 0;
    if (S_ISDIR(st.stx_mode))
        attrs |= kAttrDirectory;
    else
        attrs |= kAttrArchive;
    if (name[0] == '.')
        attrs |= kAttrHidden;
    // No write bit at all counts even for root, who may write anything.
    if (!writable || !(st.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        attrs |= kAttrReadOnly;
    if (st.stx_attributes_mask & st.stx_attributes & STATX_ATTR_COMPRESSED)
        attrs |= kAttrCompressed;
    return attrs;
}

}  // namespace

double dosDayCount(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return 0;
    // Whole days from 1899-12-30 to the local date, by the civil-from-days algorithm.
    const int y = local.tm_year + 1900 - (local.tm_mon < 2 ? 1 : 0);
    const int m = local.tm_mon + 1;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + local.tm_mday - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long daysSince1970 = static_cast<long>(era) * 146097 + doe - 719468;
    const long days = daysSince1970 + 25569;
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec / 2) * 2;
    return static_cast<double>(days) + seconds / 86400.0;
}

bool readDirectory(const std::string& folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct statx st {};
        if (!statEntry(dirFd, name, st))
            continue;
        DirEntry entry;
        entry.name = name;
        entry.attributes = attributesOf(name, st, ::faccessat(dirFd, name, W_OK, AT_EACCESS) == 0);
        entry.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
        entry.modified = dosDayCount(static_cast<std::time_t>(st.stx_mtime.tv_sec));
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return true;
}

std::uint32_t fileAttributes(const std::string& path)
{
    struct statx st {};
    if (::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, STATX_TYPE | STATX_MODE, &st) != 0)
        return kInvalidAttributes;
    std::string name = path;
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    const auto slash = name.rfind('/');
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    return attributesOf(last.c_str(), st, ::access(path.c_str(), W_OK) == 0);
}

bool folderHasEntries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    bool any = false;
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (!(name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))) {
            any = true;
            break;
        }
    }
    ::closedir(dir);
    return any;
}

bool renameNoReplace(const std::string& oldPath, const std::string& newPath)
{
    if (::renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the no-replace flag: a hard link fails on an existing name by itself.
    struct stat st {};
    if (::lstat(oldPath.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        if (::link(oldPath.c_str(), newPath.c_str()) == 0) {
            ::unlink(oldPath.c_str());
            return true;
        }
        if (errno == EEXIST)
            return false;
    }
    if (::lstat(newPath.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(oldPath.c_str(), newPath.c_str()) == 0;
}

bool makeFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0;
}

}  // namespace platform
