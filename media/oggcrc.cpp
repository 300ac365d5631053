// The Ogg page checksum.
#include "media/oggvorbis.h"

namespace media {

namespace {

struct CrcTable {
    std::uint32_t v[256];
    constexpr CrcTable() : v()
    {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int b = 0; b < 8; ++b)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            v[i] = r;
        }
    }
};

constexpr CrcTable kOggCrcTable;

}  // namespace

std::uint32_t OggPageCrc(std::uint32_t crc, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ kOggCrcTable.v[((crc >> 24) ^ p[i]) & 0xFF];
    return crc;
}

}  // namespace media
