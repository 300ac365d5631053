// The 1026-byte command-line area through which a second start hands its two arguments to the
// running player: the first at offset 0, the second at offset 513, each ended by a zero byte.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace platform {
class SharedMemory;
}

namespace player {

constexpr const char* kCommandLineAreaName = "QuorvalenCommandLine__1";
// What a running player answers to UM_COMMAND_LINE when it has read the area; 0 when it has no
// area to read (then what was handed over is lost, and the second start says so).
constexpr long long kCommandLineTaken = 1;
constexpr std::size_t kCommandLineAreaSize = 1026;
constexpr std::size_t kSecondArgOffset = 513;
constexpr std::size_t kMaxArgBytes = 512;

// Writes both arguments, each followed by a zero byte. An argument longer than 512 bytes does not
// fit: its first 513 bytes fill its whole field with no zero byte, which marks it as cut (a cut
// path names another file, or the folder above it). size must be kCommandLineAreaSize.
void WriteCommandLineArea(void* area, std::size_t size, const std::string& first, const std::string& second);
// Reads each argument up to its zero byte or 513 bytes; never past the area.
std::pair<std::string, std::string> ReadCommandLineArea(const void* area, std::size_t size);
// An argument read from the area that did not fit into it: only its first bytes are there.
inline bool ArgumentWasCut(const std::string& argument)
{
    return argument.size() > kMaxArgBytes;
}
// The same over the mapped area; empty texts when it is not open.
std::pair<std::string, std::string> ReadCommandLineArea(const platform::SharedMemory* area);

}  // namespace player
