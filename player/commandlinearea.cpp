// Reading and writing the command-line hand-over area.
#include "player/commandlinearea.h"

#include <algorithm>
#include <cstring>

namespace player {

namespace {

// kSecondArgOffset bytes: the argument and its zero byte, or the first bytes of one that does
// not fit, without a zero byte.
void writeField(char* field, const std::string& text)
{
    if (text.size() > kMaxArgBytes) {
        std::memcpy(field, text.data(), kSecondArgOffset);
        return;
    }
    std::memcpy(field, text.data(), text.size());
    field[text.size()] = '\0';
}

std::string readField(const char* p, std::size_t available)
{
    const std::size_t limit = std::min(available, kSecondArgOffset);
    const void* zero = std::memchr(p, 0, limit);
    const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : limit;
    return std::string(p, len);
}

}  // namespace

void WriteCommandLineArea(void* area, std::size_t size, const std::string& first, const std::string& second)
{
    if (area == nullptr || size < kCommandLineAreaSize)
        return;
    char* p = static_cast<char*>(area);
    writeField(p, first);
    writeField(p + kSecondArgOffset, second);
}

std::pair<std::string, std::string> ReadCommandLineArea(const void* area, std::size_t size)
{
    if (area == nullptr)
        return {};
    const char* p = static_cast<const char*>(area);
    std::string first = readField(p, size);
    std::string second = size > kSecondArgOffset ? readField(p + kSecondArgOffset, size - kSecondArgOffset) : std::string();
    return {std::move(first), std::move(second)};
}

}  // namespace player
