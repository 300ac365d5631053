// What the fuzz targets share: the bytes of one run written to a file of this process (on the
// memory file system, so a run costs no disk), message boxes recorded instead of shown, and a
// reader that takes numbers and texts off the front of the input.
#pragma once

#include "platform/recordedusermessages.h"
#include "platform/usermessages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzing {

// A folder of this process: /dev/shm when it is there, else /tmp.
inline const std::string& scratchFolder()
{
    static const std::string folder = [] {
        const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return base + "/qvfuzz-" + std::to_string(::getpid());
    }();
    return folder;
}

// Records every box so that none is ever shown; cleared for each input.
inline platform::RecordedUserMessages& recordedMessages()
{
    static platform::RecordedUserMessages* messages = [] {
        auto* m = new platform::RecordedUserMessages;
        platform::setUserMessages(m);
        return m;
    }();
    return *messages;
}

// Replaces the file with the bytes. Without a stream: its buffer would cost more than the write
// itself, at every input.
inline void writeFile(const std::string& path, const void* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, static_cast<const char*>(data) + done, size - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// Writes the bytes to the scratch file of that name and returns its path.
inline std::string inputFile(const std::string& name, const void* data, std::size_t size)
{
    recordedMessages().clear();
    static const bool made = [] {
        ::mkdir(scratchFolder().c_str(), 0700);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return true;
    }();
    (void)made;
    const std::string path = scratchFolder() + "/" + name;
    writeFile(path, data, size);
    return path;
}

// Takes values off the front of the input; past its end everything reads as zero or empty.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    template <typename T>
    T number()
    {
        T value{};
        const std::size_t n = std::min(sizeof(T), m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }
    // A text of at most maxBytes bytes, its length taken from the input.
    std::string text(std::size_t maxBytes)
    {
        const std::size_t n = std::min<std::size_t>(number<std::uint16_t>() % (maxBytes + 1), m_size - m_pos);
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    std::string_view rest() const
    {
        return {reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos};
    }
    bool empty() const { return m_pos >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace fuzzing
