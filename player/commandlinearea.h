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
constexpr std::size_t kCommandLineAreaSize = 1026;
constexpr std::size_t kSecondArgOffset = 513;
constexpr std::size_t kMaxArgBytes = 512;

// Writes both arguments, each cut to at most 512 bytes without splitting a UTF-8 character.
// size must be kCommandLineAreaSize.
void WriteCommandLineArea(void* area, std::size_t size, const std::string& first, const std::string& second);
// Reads each argument up to its zero byte or 513 bytes; never past the area.
std::pair<std::string, std::string> ReadCommandLineArea(const void* area, std::size_t size);
// The same over the mapped area; empty texts when it is not open.
std::pair<std::string, std::string> ReadCommandLineArea(const platform::SharedMemory* area);

}  // namespace player
