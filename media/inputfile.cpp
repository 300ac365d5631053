// POSIX positioned reads: one open, no seeks, no stdio buffering (the readers touch a few hundred
// bytes of thousands of files, so the system calls are the whole cost).
#include "media/inputfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace media {

InputFile::~InputFile()
{
    close();
}

bool InputFile::open(const std::string& fileName)
{
    close();
    // Non-blocking so that a FIFO under a media name cannot hang the open; regular files ignore it.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = st.st_size;
    return true;
}

void InputFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

std::int64_t InputFile::readAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (m_fd < 0 || offset < 0)
        return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t n = ::pread(m_fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool InputFile::readExact(std::int64_t offset, void* buffer, std::size_t size) const
{
    return readAt(offset, buffer, size) == static_cast<std::int64_t>(size);
}

}  // namespace media
