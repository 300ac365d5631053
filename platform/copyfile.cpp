// The file copy through a temporary file in the target's folder.
#include "platform/copyfile.h"

#include "platform/direntries.h"
#include "platform/pathparts.h"
#include "platform/savefile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

CopyResult failed(CopyResult result, std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return result;
}

// Copies every byte of in to out; false with errno set on a failure of either side, and
// *readFailed tells which.
bool copyBytes(int in, int out, bool* readFailed)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *readFailed = true;
            return false;
        }
        if (n == 0)
            return true;
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(n)) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n) - done);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                if (w == 0)
                    errno = ENOSPC;
                *readFailed = false;
                return false;
            }
            done += static_cast<std::size_t>(w);
        }
    }
}

}  // namespace

CopyResult copyFile(const std::string& source, const std::string& target, bool replace, std::string* error)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return failed(CopyResult::SourceFailed, error, source + ": " + std::strerror(errno));
    struct stat from {};
    if (::fstat(in, &from) != 0 || !S_ISREG(from.st_mode)) {
        ::close(in);
        return failed(CopyResult::SourceFailed, error, source + ": not a regular file");
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (existing.st_dev == from.st_dev && existing.st_ino == from.st_ino) {
            ::close(in);
            return failed(CopyResult::SameFile, error, target + " is the file itself");
        }
        if (!replace || S_ISDIR(existing.st_mode)) {
            ::close(in);
            return failed(CopyResult::TargetExists, error, target + " exists");
        }
    }

    // Named and locked as a save's temporary file, so that a start tidying the folder leaves it.
    std::string temp;
    const int out = createLockedTemp(target, temp);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return failed(CopyResult::TargetFailed, error, folderOfPath(target) + ": " + std::strerror(err));
    }
    bool readFailed = false;
    bool ok = copyBytes(in, out, &readFailed);
    int err = errno;
    if (ok && ::fchmod(out, from.st_mode & 0777) != 0) {
        ok = false;
        err = errno;
    }
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    if (ok)
        ::futimens(out, times);  // a file system without times still gets the copy
    if (ok && ::fsync(out) != 0 && errno != EINVAL) {
        ok = false;
        err = errno;
    }
    // A second descriptor keeps the lock through the rename; the close is checked on the first.
    const int lock = ::fcntl(out, F_DUPFD_CLOEXEC, 0);
    if (::close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    ::close(in);
    bool placed = false;
    if (ok) {
        placed = replace ? ::rename(temp.c_str(), target.c_str()) == 0 : renameNoReplace(temp, target);
        if (!placed)
            err = errno;
    }
    if (!placed)
        ::unlink(temp.c_str());
    if (lock >= 0)
        ::close(lock);
    if (!ok)
        return failed(readFailed ? CopyResult::SourceFailed : CopyResult::TargetFailed, error,
                      (readFailed ? source : target) + ": " + std::strerror(err));
    if (!placed)
        return failed(err == EEXIST ? CopyResult::TargetExists : CopyResult::TargetFailed, error,
                      target + ": " + std::strerror(err));
    return CopyResult::Copied;
}

bool moveFile(const std::string& source, const std::string& target, std::string* error)
{
    if (renameNoReplace(source, target))
        return true;
    if (errno != EXDEV) {
        if (error)
            *error = target + ": " + std::strerror(errno);
        return false;
    }
    if (copyFile(source, target, false, error) != CopyResult::Copied)
        return false;
    if (::unlink(source.c_str()) != 0) {
        const int err = errno;
        ::unlink(target.c_str());
        if (error)
            *error = source + ": " + std::strerror(err);
        return false;
    }
    return true;
}

}  // namespace platform
