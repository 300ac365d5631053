// Reading and writing the command-line hand-over area.
#include "player/commandlinearea.h"

#include <algorithm>
#include <cstring>

namespace player {

namespace {

std::string cut(const std::string& text)
{
    if (text.size() <= kMaxArgBytes)
        return text;
    std::size_t n = kMaxArgBytes;
    // Step back over UTF-8 continuation bytes so the cut lands between characters.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
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
    const std::string a = cut(first);
    const std::string b = cut(second);
    std::memcpy(p, a.data(), a.size());
    p[a.size()] = '\0';
    std::memcpy(p + kSecondArgOffset, b.data(), b.size());
    p[kSecondArgOffset + b.size()] = '\0';
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
