// A small file system of the test's own (a tmpfs of a few hundred kilobytes), for what a full disk
// does to a save. Mounting needs root; elsewhere mounted() is false and the test skips itself.
#pragma once

#include <QTemporaryDir>

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <string>

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
