// Opening the files the programs read. Whatever stands under a file's name, the caller never
// waits and never takes more than it can hold: the open does not block (a FIFO would wait for a
// writer for ever), only a regular file is taken (a folder, a FIFO, /dev/zero are refused), and a
// whole-file read stops at a bound the caller names. A refusal says why, as the operator reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class RegularFile {
public:
    RegularFile() = default;
    explicit RegularFile(const std::string& path) { open(path); }
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // False (error() set) unless path is a regular file that could be opened for reading.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The size when it was opened.
    std::int64_t size() const { return m_size; }
    // The refusal was that nothing is there: most readers take that as an empty file.
    bool missing() const { return m_missing; }
    const std::string& error() const { return m_error; }

    // Reads on from the current position; the count read (0 at the end), -1 on error (error() set).
    std::int64_t read(void* buffer, std::size_t size);
    // The whole file when it holds at most maxBytes; false (error() set) when it is larger or a
    // read fails.
    bool readAll(std::size_t maxBytes, std::string& bytes);

    // Gives the descriptor to the caller, who closes it.
    int release();

private:
    bool refuse(std::string why);  // always false

    int m_fd = -1;
    std::int64_t m_size = 0;
    bool m_missing = false;
    std::string m_error;
};

enum class FileRead { Ok, Missing, Refused };

// The whole of a regular file of at most maxBytes into bytes; error (when given) says why not.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                         std::string* error = nullptr);

// Why a file over the bound is refused ("Larger than 8 MB").
std::string tooLargeText(std::size_t maxBytes);

// Settings files (ini files, profiles, presets, schedule and jingle lists, language files, notes):
// the largest real one, a schedule of its 10,000 entries, is about 3 MB.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{8} << 20;

}  // namespace platform
