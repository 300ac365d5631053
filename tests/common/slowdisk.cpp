// A slow disk for the programs under test, preloaded into them (LD_PRELOAD): every read of a
// regular file whose path holds "/slowdisk/" waits QUORVALEN_TEST_SLOW_READ_MS ms (25 unless
// set) before it reads. Nothing else of the program changes.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool onSlowDisk(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[4096];
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    return std::strstr(path, "/slowdisk/") != nullptr;
}

void waitForTheDisk()
{
    static const long ms = [] {
        const char* value = std::getenv("QUORVALEN_TEST_SLOW_READ_MS");
        return value ? std::strtol(value, nullptr, 10) : 25L;
    }();
    timespec delay{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&delay, &delay) != 0) {
    }
}

template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t count)
{
    static const auto next = real<ssize_t (*)(int, void*, size_t)>("read");
    if (onSlowDisk(fd))
        waitForTheDisk();
    return next(fd, buffer, count);
}

ssize_t __read_chk(int fd, void* buffer, size_t count, size_t)
{
    return read(fd, buffer, count);
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset)
{
    static const auto next = real<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    if (onSlowDisk(fd))
        waitForTheDisk();
    return next(fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset)
{
    static const auto next = real<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    if (onSlowDisk(fd))
        waitForTheDisk();
    return next(fd, buffer, count, offset);
}

}  // extern "C"
