// Non-blocking open, then fstat on the descriptor itself (not on the name, which could be
// replaced in between), then plain blocking reads of what is known to be a regular file.
#include "platform/regularfile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string errnoText(int err)
{
    return std::error_code(err, std::generic_category()).message();
}

}  // namespace

RegularFile::~RegularFile()
{
    close();
}

bool RegularFile::refuse(std::string why)
{
    close();
    m_error = std::move(why);
    return false;
}

bool RegularFile::open(const std::string& path)
{
    close();
    m_missing = false;
    m_error.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        m_missing = err == ENOENT;
        return refuse(errnoText(err));
    }
    m_fd = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return refuse(errnoText(errno));
    if (S_ISDIR(st.st_mode))
        return refuse(errnoText(EISDIR));
    if (!S_ISREG(st.st_mode))
        return refuse("Not a regular file");
    // The non-blocking flag stays: reads of a regular file never wait anyway, and the readers
    // open thousands of files, where every further system call shows.
    m_size = st.st_size;
    return true;
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

int RegularFile::release()
{
    const int fd = m_fd;
    m_fd = -1;
    m_size = 0;
    return fd;
}

std::int64_t RegularFile::read(void* buffer, std::size_t size)
{
    if (m_fd < 0)
        return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t n = ::read(m_fd, out + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_error = errnoText(errno);
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool RegularFile::readAll(std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    if (m_fd < 0)
        return false;
    if (m_size < 0 || static_cast<std::uint64_t>(m_size) > maxBytes) {
        m_error = tooLargeText(maxBytes);
        return false;
    }
    // One byte past the bound tells a file that grew since it was opened.
    bytes.resize(static_cast<std::size_t>(m_size) + 1);
    std::size_t have = 0;
    for (;;) {
        const std::int64_t got = read(bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            bytes.clear();
            return false;
        }
        have += static_cast<std::size_t>(got);
        if (have < bytes.size())
            break;
        if (have > maxBytes) {
            bytes.clear();
            m_error = tooLargeText(maxBytes);
            return false;
        }
        bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
    }
    bytes.resize(have);
    return true;
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string* error)
{
    bytes.clear();
    RegularFile file;
    if (file.open(path) && file.readAll(maxBytes, bytes))
        return FileRead::Ok;
    if (error)
        *error = file.error();
    return file.missing() ? FileRead::Missing : FileRead::Refused;
}

std::string tooLargeText(std::size_t maxBytes)
{
    constexpr std::size_t kMb = std::size_t{1} << 20;
    if (maxBytes < kMb)
        return "Larger than " + std::to_string(maxBytes) + " bytes";
    if (maxBytes % kMb == 0)
        return "Larger than " + std::to_string(maxBytes / kMb) + " MB";
    const std::size_t tenths = (maxBytes * 10 + kMb / 2) / kMb;
    return "Larger than " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

}  // namespace platform
