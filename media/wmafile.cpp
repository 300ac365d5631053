// WMA reader: a walk over the ASF header object's children.
#include "media/wmafile.h"

#include "media/inputfile.h"
#include "media/textutil.h"

#include <array>
#include <cstring>

namespace media {

namespace {

using Guid = std::array<std::uint8_t, 16>;

// GUIDs as stored: the first three groups little-endian, the rest as written.
constexpr Guid guid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, std::uint64_t e)
{
    return {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a >> 16),
            static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8),
            static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(d >> 8),
            static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(e >> 40), static_cast<std::uint8_t>(e >> 32),
            static_cast<std::uint8_t>(e >> 24), static_cast<std::uint8_t>(e >> 16), static_cast<std::uint8_t>(e >> 8),
            static_cast<std::uint8_t>(e)};
}

constexpr Guid kHeaderObject = guid(0x75B22630, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
constexpr Guid kFileProperties = guid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE4, 0x00C00C205365);
constexpr Guid kStreamProperties = guid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE6, 0x00C00C205365);
constexpr Guid kContentDescription = guid(0x75B22633, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
constexpr Guid kExtendedContentDescription = guid(0xD2D0A440, 0xE307, 0x11D2, 0x97F0, 0x00A0C95EA850);

constexpr std::size_t kMaxUnits = 250;

enum Text { kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kComment, kTextCount };
constexpr const char* kDescriptorNames[kTextCount] = {"WM/TITLE", "WM/AUTHOR", "WM/ALBUMTITLE", "WM/TRACK",
                                                      "WM/YEAR",  "WM/GENRE",  "WM/DESCRIPTION"};

struct WmaFileData {
    std::int64_t fileSize = 0;
    std::int32_t maxBitRate = 0;
    std::uint16_t channels = 0;
    std::int32_t sampleRate = 0;
    std::int32_t bytesPerSecond = 0;
    std::array<std::string, kTextCount> texts;
};

// Sequential little-endian reads; any read past the end marks the whole read as failed.
class Cursor {
public:
    explicit Cursor(const InputFile& file) : m_file(file) {}
    std::int64_t pos = 0;
    bool failed = false;

    void read(void* dst, std::size_t size)
    {
        if (failed || !m_file.readExact(pos, dst, size)) {
            failed = true;
            std::memset(dst, 0, size);
        }
        pos += static_cast<std::int64_t>(size);
    }
    std::uint16_t u16()
    {
        std::uint8_t b[2];
        read(b, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32()
    {
        std::uint8_t b[4];
        read(b, 4);
        return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
               (std::uint32_t{b[3]} << 24);
    }
    std::uint64_t u64()
    {
        const std::uint64_t lo = u32();
        return lo | (std::uint64_t{u32()} << 32);
    }
    void skip(std::int64_t n) { pos += n; }
    // A UTF-16 string of byteLength bytes, of which at most 250 code units are kept.
    std::string asfString(std::uint16_t byteLength)
    {
        const std::size_t units = std::min<std::size_t>(byteLength / 2, kMaxUnits);
        std::string raw(units * 2, '\0');
        if (units > 0)
            read(raw.data(), raw.size());
        skip(byteLength - static_cast<std::int64_t>(units * 2));
        return utf16LeToUtf8(raw);
    }

private:
    const InputFile& m_file;
};

void readContentDescription(Cursor& c, WmaFileData& data)
{
    c.skip(4);
    std::uint16_t lengths[5];
    for (std::uint16_t& l : lengths)
        l = c.u16();
    for (int i = 0; i < 5; ++i) {
        if (lengths[i] == 0)
            continue;
        std::string text = c.asfString(lengths[i]);
        if (i == 0)
            data.texts[kTitle] = std::move(text);
        else if (i == 1)
            data.texts[kArtist] = std::move(text);
        else if (i == 3)
            data.texts[kComment] = std::move(text);
    }
}

void readExtendedContentDescription(Cursor& c, WmaFileData& data)
{
    c.skip(4);
    const std::uint16_t count = c.u16();
    for (std::uint16_t i = 0; i < count && !c.failed; ++i) {
        const std::string name = asciiUpper(trimText(c.asfString(c.u16())));
        const std::uint16_t type = c.u16();
        const std::uint16_t length = c.u16();
        if (type != 0) {
            c.skip(length);
            continue;
        }
        const std::string value = c.asfString(length);
        for (int t = 0; t < kTextCount; ++t)
            if (name == kDescriptorNames[t])
                data.texts[t] = value;
    }
}

bool readAsfHeader(const std::string& fileName, WmaFileData& data)
{
    InputFile file;
    if (!file.open(fileName))
        return false;
    data.fileSize = file.size();
    Cursor c(file);
    Guid id{};
    c.read(id.data(), id.size());
    if (c.failed)
        return false;
    if (id != kHeaderObject)
        return true;
    c.skip(8);
    const std::uint32_t objects = c.u32();
    c.skip(2);
    for (std::uint32_t i = 0; i < objects && !c.failed; ++i) {
        const std::int64_t start = c.pos;
        c.read(id.data(), id.size());
        const std::uint64_t size = c.u64();
        if (c.failed)
            break;
        if (id == kFileProperties) {
            c.skip(80 - 4);
            data.maxBitRate = static_cast<std::int32_t>(c.u32());
        } else if (id == kStreamProperties) {
            c.skip(60 - 4);
            data.channels = c.u16();
            data.sampleRate = static_cast<std::int32_t>(c.u32());
            data.bytesPerSecond = static_cast<std::int32_t>(c.u32());
        } else if (id == kContentDescription) {
            c.pos -= 4;
            readContentDescription(c, data);
        } else if (id == kExtendedContentDescription) {
            c.pos -= 4;
            readExtendedContentDescription(c, data);
        }
        // An object smaller than its own GUID and size cannot be stepped over: the walk ends.
        if (size < 24)
            break;
        if (size > static_cast<std::uint64_t>(data.fileSize)) {
            c.failed = i + 1 < objects;  // the next object would be read past the end
            break;
        }
        c.pos = start + static_cast<std::int64_t>(size);
    }
    return !c.failed;
}

}  // namespace

void TWMAfile::ResetInfo()
{
    Valid = false;
    FileSize = 0;
    ChannelModeId = 0;
    SampleRate = 0;
    Duration = 0;
    BitRate = 0;
    Track = 0;
    for (std::string* s : {&Title, &Artist, &Album, &Year, &Genre, &Comment})
        s->clear();
}

bool TWMAfile::ReadInfo(const std::string& fileName)
{
    ResetInfo();
    WmaFileData data;
    if (!readAsfHeader(fileName, data))
        return false;
    if (!(data.maxBitRate > 0 && data.maxBitRate < 320000 && (data.channels == 1 || data.channels == 2) &&
          data.sampleRate >= 8000 && data.sampleRate <= 96000 && data.bytesPerSecond > 0 &&
          data.bytesPerSecond < 40000))
        return true;
    Valid = true;
    FileSize = data.fileSize;
    ChannelModeId = static_cast<std::uint8_t>(data.channels);
    SampleRate = data.sampleRate;
    Duration = static_cast<double>(data.fileSize) * 8.0 / data.maxBitRate;
    BitRate = data.bytesPerSecond * 8 / 1000;
    Title = std::string(trimText(data.texts[kTitle]));
    Artist = std::string(trimText(data.texts[kArtist]));
    Album = std::string(trimText(data.texts[kAlbum]));
    Track = toInt32Or0(trimText(data.texts[kTrack]));
    Year = std::string(trimText(data.texts[kYear]));
    Genre = std::string(trimText(data.texts[kGenre]));
    Comment = std::string(trimText(data.texts[kComment]));
    return true;
}

std::string TWMAfile::ChannelModeName() const
{
    return channelModeName(ChannelModeId);
}

}  // namespace media
