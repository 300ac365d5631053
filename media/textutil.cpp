// Text helpers shared by the tag readers.
#include "media/textutil.h"

#include "platform/cp1251.h"

#include <limits>

namespace media {

std::string_view trimText(std::string_view text)
{
    std::size_t b = 0;
    while (b < text.size() && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    return trimRight(text.substr(b));
}

std::string_view trimRight(std::string_view text)
{
    std::size_t e = text.size();
    while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.substr(0, e);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::int32_t toInt32Or0(std::string_view text)
{
    const auto v = parseInteger(text);
    if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(*v);
}

std::string utf16LeToUtf8(std::string_view bytes)
{
    std::string out;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = static_cast<unsigned char>(bytes[2 * i]) |
                                (static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        if (u == 0)
            break;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
            const std::uint32_t lo = static_cast<unsigned char>(bytes[2 * i + 2]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 3]) << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                platform::appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        platform::appendUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    return out;
}

std::string asciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string asciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string channelModeName(int channels)
{
    switch (channels) {
    case 1:
        return "Mono";
    case 2:
        return "Stereo";
    default:
        return "Unknown";
    }
}

std::string fillText(std::string_view text, std::initializer_list<std::string_view> values)
{
    std::string filled;
    filled.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t n = text[i] == '%' && next >= '1' && next <= '9' ? static_cast<std::size_t>(next - '0') : 0;
        if (n >= 1 && n <= values.size()) {
            filled += values.begin()[n - 1];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace media
