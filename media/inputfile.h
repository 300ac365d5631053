// A read-only file for the readers: size, positioned reads and nothing else, so that a short or
// failed read is always visible to the caller and a reader never sees bytes it did not get.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace media {

class InputFile {
public:
    InputFile() = default;
    explicit InputFile(const std::string& fileName) { open(fileName); }
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool open(const std::string& fileName);  // regular files only
    void close();
    bool isOpen() const { return m_fd >= 0; }
    std::int64_t size() const { return m_size; }

    // Reads up to size bytes at offset; returns the count read (less at end of file), -1 on error.
    // A negative offset is an error.
    std::int64_t readAt(std::int64_t offset, void* buffer, std::size_t size) const;
    // True only when all size bytes were read.
    bool readExact(std::int64_t offset, void* buffer, std::size_t size) const;

private:
    int m_fd = -1;
    std::int64_t m_size = 0;
};

}  // namespace media
