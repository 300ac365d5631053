// A small file system of the test's own (a tmpfs of a few hundred kilobytes), for what a full disk
// does to a save, and a full /dev/shm seen by this test alone. Mounting needs root; elsewhere
// mounted() is false and the test skips itself.
#pragma once

#include <QTemporaryDir>

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace testrun {

class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes)
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        m_mounted = ::mount("tmpfs", path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(path().c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    std::string path() const { return m_dir.path().toStdString(); }
    std::string file(const std::string& name) const { return path() + "/" + name; }

    std::size_t freeBytes() const
    {
        struct statvfs st {};
        if (::statvfs(path().c_str(), &st) != 0)
            return 0;
        return static_cast<std::size_t>(st.f_bavail) * st.f_frsize;
    }
    // Takes space with a filler file until about `leave` bytes are free (tmpfs counts whole pages).
    void fillLeaving(std::size_t leave)
    {
        const std::size_t free = freeBytes();
        if (free <= leave)
            return;
        std::ofstream filler(file("filler-" + std::to_string(m_fillers++)), std::ios::binary);
        const std::string block(4096, 'F');
        for (std::size_t left = free - leave; left > 0 && filler;) {
            const std::size_t n = std::min(left, block.size());
            filler.write(block.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
    }
    void fill() { fillLeaving(0); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    int m_fillers = 0;
};

// /dev/shm full, as another user's files can make it, for the calling thread and the programs it
// starts only: a mount namespace of its own with a tiny, filled tmpfs over /dev/shm. Every other
// test on the machine keeps the real one. The thread gets its own namespace back at the end.
class FullSharedMemory {
public:
    FullSharedMemory()
    {
        if (::geteuid() != 0)
            return;
        m_original = ::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
        if (m_original < 0 || ::unshare(CLONE_NEWNS) != 0)
            return;
        m_own = true;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/dev/shm", "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=1777") != 0)
            return;
        m_mounted = true;
        std::ofstream filler("/dev/shm/filler", std::ios::binary);
        const std::string block(4096, 'F');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    ~FullSharedMemory()
    {
        if (m_mounted)
            ::umount2("/dev/shm", MNT_DETACH);
        if (m_own)
            static_cast<void>(::setns(m_original, CLONE_NEWNS));
        if (m_original >= 0)
            ::close(m_original);
    }
    FullSharedMemory(const FullSharedMemory&) = delete;
    FullSharedMemory& operator=(const FullSharedMemory&) = delete;

    bool mounted() const { return m_mounted; }

private:
    int m_original = -1;
    bool m_own = false;
    bool m_mounted = false;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace testrun

#define QV_NEED_SMALL_DISK(disk)                                                                              \
    do {                                                                                                      \
        if (!(disk).mounted())                                                                                \
            GTEST_SKIP() << "needs root to mount a small tmpfs for the full-disk case";                       \
    } while (0)

#define QV_NEED_FULL_SHARED_MEMORY(full)                                                                     \
    do {                                                                                                      \
        if (!(full).mounted())                                                                                \
            GTEST_SKIP() << "needs root to fill a /dev/shm of the test's own";                                \
    } while (0)
