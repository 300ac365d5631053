// POSIX positioned reads: one open, no seeks, no stdio buffering (the readers touch a few hundred
// bytes of thousands of files, so the system calls are the whole cost), and each end of the file
// read at most once.
#include "media/inputfile.h"

#include "platform/regularfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace media {

InputFile::~InputFile()
{
    close();
}

bool InputFile::open(const std::string& fileName)
{
    close();
    platform::RegularFile file;
    if (!file.open(fileName))
        return false;
    m_size = file.size();
    m_fd = file.release();
    return true;
}

void InputFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_headBytes = -1;
    m_tailBytes = -1;
}

std::int64_t InputFile::readAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (m_fd < 0 || offset < 0)
        return -1;
    const std::int64_t kept = fromEnds(offset, buffer, size);
    return kept >= 0 ? kept : preadAll(offset, buffer, size);
}

std::int64_t InputFile::fromEnds(std::int64_t offset, void* buffer, std::size_t size) const
{
    constexpr auto kEnd = static_cast<std::int64_t>(kEndBytes);
    if (offset > m_size)
        return -1;
    // A read stops at the end of the file, as the file's own read does.
    const std::int64_t end = offset + std::min<std::int64_t>(static_cast<std::int64_t>(size), m_size - offset);
    // A small file is kept whole as one end; a larger one as its first and its last kEnd bytes.
    const bool whole = m_size <= 2 * kEnd;
    std::int64_t start = 0;
    std::int64_t length = whole ? m_size : kEnd;
    std::int64_t* kept = &m_headBytes;
    std::uint8_t* data = m_ends.data();
    if (!whole && end > kEnd) {
        if (offset < m_size - kEnd)
            return -1;
        start = m_size - kEnd;
        kept = &m_tailBytes;
        data = m_ends.data() + kEndBytes;
    }
    if (*kept < 0)
        *kept = std::max<std::int64_t>(preadAll(start, data, static_cast<std::size_t>(length)), 0);
    // Not all of it could be read (a file that changed or fails): the file itself answers.
    if (end > start + *kept)
        return -1;
    std::memcpy(buffer, data + (offset - start), static_cast<std::size_t>(end - offset));
    return end - offset;
}

std::int64_t InputFile::preadAll(std::int64_t offset, void* buffer, std::size_t size) const
{
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
