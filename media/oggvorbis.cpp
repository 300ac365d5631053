// Ogg Vorbis reader: identification header, comment header and the last page's granule position.
#include "media/oggvorbis.h"

#include "media/inputfile.h"
#include "media/oggheaders.h"
#include "media/textutil.h"
#include "platform/cp1251.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace media {

const std::array<const char*, OggHeaderInfo::kKeyCount> OggHeaderInfo::kKeys = {
    "TITLE", "ARTIST", "ALBUM", "TRACKNUMBER", "DATE", "GENRE", "COMMENT", "PERFORMER", "DESCRIPTION"};

namespace {

constexpr std::size_t kEntryReadLimit = 250;
// A packet that ends in one page has at most 255 lacing values of 255 bytes.
constexpr std::size_t kMaxPagePacket = 255 * 255;

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// The valid UTF-8 prefix of text: decoding stops at the first sequence that is cut short or broken.
std::string utf8Prefix(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        if (lead >= 0x80) {
            if (lead >= 0xC2 && lead < 0xE0)
                len = 2;
            else if (lead >= 0xE0 && lead < 0xF0)
                len = 3;
            else if (lead >= 0xF0 && lead < 0xF5)
                len = 4;
            else
                break;
            if (i + len > text.size())
                break;
            bool ok = true;
            for (std::size_t k = 1; k < len; ++k)
                ok = ok && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (!ok)
                break;
        }
        i += len;
    }
    return std::string(text.substr(0, i));
}

std::int32_t tagSizeAtStart(const InputFile& file)
{
    std::uint8_t h[10];
    if (!file.readExact(0, h, sizeof h) || std::memcmp(h, "ID3", 3) != 0)
        return 0;
    const std::int64_t size = (std::int64_t{h[6]} << 21) + (h[7] << 14) + (h[8] << 7) + h[9] + ((h[5] & 0x10) ? 20 : 10);
    return size > file.size() ? 0 : static_cast<std::int32_t>(size);
}

// Reads a page header (27 bytes and its lacing values); false when it is not all there.
bool readPageHeader(const InputFile& file, std::int64_t at, std::uint8_t* page)
{
    std::memset(page, 0, 27 + 255);
    if (!file.readExact(at, page, 27))
        return false;
    return page[26] == 0 || file.readExact(at + 27, page + 27, page[26]);
}

void storeEntry(OggHeaderInfo& info, std::string_view entry)
{
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos) {
        if (info.vendor.empty())
            info.vendor = std::string(entry);
        return;
    }
    const std::string key = asciiUpper(entry.substr(0, eq));
    for (int k = 0; k < OggHeaderInfo::kKeyCount; ++k)
        if (key == OggHeaderInfo::kKeys[k])
            info.values[k] = utf8Prefix(trimText(entry.substr(eq + 1)));
}

void readComments(const InputFile& file, std::int64_t pos, OggHeaderInfo& info)
{
    std::size_t keptBytes = 0;
    info.entriesKept = true;
    for (std::uint64_t i = 0; i <= info.commentCount; ++i) {
        std::uint8_t lenBytes[4];
        if (!file.readExact(pos, lenBytes, 4))
            return;
        const std::int64_t length = le32(lenBytes);
        const std::int64_t q = pos + 4;
        // Lengths and counts come from the file: nothing may reach past its end.
        if (length > file.size() - q)
            return;
        std::string text(static_cast<std::size_t>(std::min<std::int64_t>(length, kEntryReadLimit)), '\0');
        if (!text.empty() && !file.readExact(q, text.data(), text.size()))
            return;
        storeEntry(info, trimText(text));
        keptBytes += 4 + static_cast<std::size_t>(length);  // the length field counts too: empty comments cost memory
        if (info.entriesKept && keptBytes <= kMaxPagePacket) {
            std::string full(static_cast<std::size_t>(length), '\0');
            if (length > 0 && !file.readExact(q, full.data(), full.size()))
                return;
            info.entries.push_back(std::move(full));
        } else {
            info.entriesKept = false;
            info.entries.clear();
        }
        pos = q + length;
        if (i == 0) {
            if (!file.readExact(pos, lenBytes, 4))
                return;
            info.commentCount = le32(lenBytes);
            pos += 4;
        }
    }
    info.commentEnd = pos;
    info.commentsComplete = true;
}

std::int32_t lastGranule(const InputFile& file)
{
    // Windows of 251 bytes stepping back 241 bytes from the end, 50 of them at most.
    for (int k = 1; k <= 50; ++k) {
        const std::int64_t at = std::max<std::int64_t>(0, file.size() - (241 * std::int64_t{k} + 10));
        std::uint8_t window[251] = {};
        if (file.readAt(at, window, sizeof window) < 0)
            return 0;
        for (int j = 241; j >= 0; --j) {
            if (std::memcmp(window + j, "OggS", 4) == 0) {
                std::uint8_t page[27];
                if (!file.readExact(at + j, page, sizeof page))
                    return 0;
                return static_cast<std::int32_t>(le32(page + 6));
            }
        }
        if (at == 0)
            break;
    }
    return 0;
}

}  // namespace

bool TOggVorbis::readHeaders(const std::string& fileName, OggHeaderInfo& info)
{
    InputFile file;
    if (!file.open(fileName))
        return false;
    info.fileSize = file.size();
    info.id3v2Size = tagSizeAtStart(file);
    if (!readPageHeader(file, info.id3v2Size, info.page1) || std::memcmp(info.page1, "OggS", 4) != 0)
        return false;
    const std::int64_t identAt = info.id3v2Size + 27 + info.page1[26];
    if (!file.readExact(identAt, info.ident, sizeof info.ident) || info.ident[0] != 1 ||
        std::memcmp(info.ident + 1, "vorbis", 6) != 0)
        return false;
    info.page2Start = identAt + 30;
    info.page2Read = readPageHeader(file, info.page2Start, info.page2);
    if (info.page2Read) {
        const std::int64_t markerAt = info.page2Start + 27 + info.page2[26];
        if (file.readExact(markerAt, info.marker, sizeof info.marker) && info.marker[0] == 3 &&
            std::memcmp(info.marker + 1, "vorbis", 6) == 0) {
            info.hasComments = true;
            readComments(file, markerAt + 7, info);
        }
    }
    info.samples = lastGranule(file);
    return true;
}

void TOggVorbis::ResetInfo()
{
    FileSize = 0;
    ChannelModeId = 0;
    SampleRate = 0;
    BitRateNominal = 0;
    Samples = 0;
    ID3v2Size = 0;
    Track = 0;
    for (std::string* s : {&Title, &Artist, &Album, &Date, &Genre, &Comment, &Vendor})
        s->clear();
}

void TOggVorbis::fillFields(const OggHeaderInfo& info)
{
    using K = OggHeaderInfo::Key;
    FileSize = info.fileSize;
    ChannelModeId = info.ident[11];
    SampleRate = static_cast<std::int32_t>(le32(info.ident + 12));
    const double nominal = static_cast<std::int32_t>(le32(info.ident + 20)) / 1000.0;
    BitRateNominal = nominal <= 0 ? 0 : static_cast<std::uint16_t>(std::min(65535.0, std::round(nominal)));
    Samples = info.samples;
    ID3v2Size = info.id3v2Size;
    const auto& v = info.values;
    Title = v[K::kTitle];
    Artist = v[K::kArtist].empty() ? v[K::kPerformer] : v[K::kArtist];
    Album = v[K::kAlbum];
    const std::string& track = v[K::kTrackNumber];
    Track = static_cast<std::uint8_t>(toInt32Or0(std::string_view(track).substr(0, track.find('/'))));
    Date = v[K::kDate];
    Genre = v[K::kGenre];
    Comment = v[K::kComment].empty() ? v[K::kDescription] : v[K::kComment];
    Vendor = platform::decodeText(info.vendor);
}

bool TOggVorbis::ReadInfo(const std::string& fileName)
{
    ResetInfo();
    OggHeaderInfo info;
    if (!readHeaders(fileName, info))
        return false;
    fillFields(info);
    return true;
}

double TOggVorbis::Duration() const
{
    if (Samples > 0)
        return SampleRate > 0 ? static_cast<double>(Samples) / SampleRate : 0.0;
    if (BitRateNominal > 0 && ChannelModeId > 0)
        return static_cast<double>(FileSize - ID3v2Size) / BitRateNominal / ChannelModeId / 125.0 * 2.0;
    return 0.0;
}

int TOggVorbis::BitRate() const
{
    const double d = Duration();
    if (d <= 0)
        return 0;
    const double rate = static_cast<double>(FileSize - ID3v2Size) / d / 125.0;
    return rate >= 2147483647.0 ? 2147483647 : static_cast<int>(std::lround(rate));
}

bool TOggVorbis::Valid() const
{
    return (ChannelModeId == 1 || ChannelModeId == 2) && SampleRate > 0 && Duration() > 0.1 && BitRate() > 0;
}

std::string TOggVorbis::ChannelModeName() const
{
    return channelModeName(ChannelModeId);
}

}  // namespace media
