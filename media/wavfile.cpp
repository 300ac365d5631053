// WAV reader: the 44-byte header image, with the value after a longer format chunk read from
// where that chunk ends.
#include "media/wavfile.h"
#include "media/textutil.h"

#include "media/inputfile.h"

#include <cstring>

namespace media {

namespace {

std::uint16_t le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace

void TWAVfile::ResetInfo()
{
    Valid = false;
    FormatID = 0;
    ChannelNumber = 0;
    SampleRate = 0;
    BytesPerSecond = 0;
    BlockAlign = 0;
    BitsPerSample = 0;
    SampleNumber = 0;
    HeaderSize = 0;
    FileSize = 0;
}

bool TWAVfile::ReadInfo(const std::string& fileName)
{
    ResetInfo();
    std::uint8_t h[44] = {};
    InputFile file;
    if (!file.open(fileName))
        return false;
    if (file.size() >= 40) {
        // Bytes missing from a file shorter than 44 stay zero.
        if (file.readAt(0, h, sizeof h) < 40)
            return false;
        if (std::memcmp(h + 36, "data", 4) != 0) {
            std::memset(h + 40, 0, 4);
            const std::int64_t at = std::int64_t{le32(h + 16)} + 28;
            if (file.readAt(at, h + 40, 4) < 0)
                return false;
        }
    }
    if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0 || std::memcmp(h + 12, "fmt ", 4) != 0)
        return true;
    const std::uint16_t channels = le16(h + 22);
    if (channels != 1 && channels != 2)
        return true;
    Valid = true;
    FormatID = le16(h + 20);
    ChannelNumber = static_cast<std::uint8_t>(channels);
    SampleRate = static_cast<std::int32_t>(le32(h + 24));
    BytesPerSecond = static_cast<std::int32_t>(le32(h + 28));
    BlockAlign = le16(h + 32);
    BitsPerSample = static_cast<std::uint8_t>(le16(h + 34));
    SampleNumber = static_cast<std::int32_t>(le32(h + 40));
    HeaderSize = std::memcmp(h + 36, "data", 4) == 0 ? 44 : std::int64_t{le32(h + 16)} + 40;
    FileSize = std::int64_t{le32(h + 4)} + 8;
    if (FileSize < HeaderSize)
        HeaderSize = FileSize;
    return true;
}

std::string TWAVfile::ChannelModeName() const
{
    return channelModeName(ChannelNumber);
}

}  // namespace media
