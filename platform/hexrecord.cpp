// Hexadecimal text of records and arrays kept in ini values.
#include "platform/hexrecord.h"

namespace platform {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string toHex(const void* data, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::string out;
    out.resize(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out[2 * i] = kDigits[p[i] >> 4];
        out[2 * i + 1] = kDigits[p[i] & 0x0F];
    }
    return out;
}

std::size_t fromHex(std::string_view text, void* dst, std::size_t size)
{
    auto* out = static_cast<std::uint8_t*>(dst);
    std::size_t count = 0;
    // A trailing single digit is an incomplete pair and ends the reading like a bad one.
    while (count < size && 2 * count + 1 < text.size()) {
        const int hi = hexDigit(text[2 * count]);
        const int lo = hexDigit(text[2 * count + 1]);
        if (hi < 0 || lo < 0)
            break;
        out[count] = static_cast<std::uint8_t>((hi << 4) | lo);
        ++count;
    }
    return count;
}

}  // namespace platform
