// A read-only file for the readers: size, positioned reads and nothing else, so that a short or
// failed read is always visible to the caller and a reader never sees bytes it did not get.
// Several readers share one open file: each end of it is read once and kept, since the tag and
// frame readers all look at the first and the last few kilobytes.
#pragma once

#include <array>
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

    // Bytes kept of each end; a file of up to twice this is kept whole.
    static constexpr std::size_t kEndBytes = 4096;

private:
    std::int64_t preadAll(std::int64_t offset, void* buffer, std::size_t size) const;
    // Serves the read from a kept end when it lies wholly inside one (reading that end the first
    // time); -1 when it does not.
    std::int64_t fromEnds(std::int64_t offset, void* buffer, std::size_t size) const;

    int m_fd = -1;
    std::int64_t m_size = 0;
    mutable std::array<std::uint8_t, 2 * kEndBytes> m_ends;  // head, then tail
    mutable std::int64_t m_headBytes = -1;                   // -1 not read yet
    mutable std::int64_t m_tailBytes = -1;
};

}  // namespace media
