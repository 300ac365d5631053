// ID3v2 reader: header, frame walk and the text of sixteen frames (ISO-8859-1 taken as code page
// 1251, or UTF-16 little-endian).
#include "media/id3v2.h"

#include "media/inputfile.h"
#include "media/textutil.h"
#include "platform/cp1251.h"

#include <cstring>
#include <string_view>

namespace media {

namespace {

constexpr const char* kIds23[16] = {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM", "TCOM",
                                    "TENC", "TCOP", "TLAN", "WXXX", "TDRC", "TOPE", "TIT1", "TOAL"};
constexpr const char* kIds22[16] = {"TT2", "TP1", "TAL", "TRK", "TYE", "TCO", "COM", "TCM",
                                    "TEN", "TCR", "TLA", "WXX", "TOR", "TOA", "TT1", "TOT"};

// Decodes a body whose first byte is the text encoding.
std::string decodeText(std::string_view body)
{
    if (!body.empty() && body[0] == 1) {
        const std::size_t units = (body.size() - 1) / 2;
        std::string utf16;
        for (std::size_t i = 0; i < units; ++i) {
            const unsigned lo = static_cast<unsigned char>(body[1 + 2 * i]);
            const unsigned hi = static_cast<unsigned char>(body[2 + 2 * i]);
            if (lo == 0 && hi == 0)
                break;
            if (lo == 0xFF && hi == 0xFE)
                continue;  // byte-order mark
            utf16 += static_cast<char>(lo);
            utf16 += static_cast<char>(hi);
        }
        return std::string(trimText(utf16LeToUtf8(utf16)));
    }
    return platform::cp1251ToUtf8(trimText(body));
}

// A text with a language (comment) or without (link) and a content description before it.
std::string decodeDescribed(std::string_view body, bool hasLanguage)
{
    if (body.empty())
        return {};
    const char encoding = body[0];
    std::string_view rest = body.substr(std::min<std::size_t>(body.size(), hasLanguage ? 4 : 1));
    std::size_t textAt = std::string_view::npos;
    if (encoding == 1) {
        // The terminator is a zero code unit, so only even distances count.
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2)
            if (rest[i] == 0 && rest[i + 1] == 0) {
                textAt = i + 2;
                break;
            }
    } else {
        const std::size_t z = rest.find('\0');
        if (z != std::string_view::npos)
            textAt = z + 1;
    }
    if (textAt == std::string_view::npos)
        return {};
    std::string withEncoding(1, encoding);
    withEncoding.append(rest.substr(textAt));
    return decodeText(withEncoding);
}

std::string firstChars(const std::string& utf8, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t n = 0; i < utf8.size() && n < count; ++n) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            ++i;
    }
    return utf8.substr(0, i);
}

std::int64_t syncsafeTagSize(const unsigned char* header)
{
    return (static_cast<std::int64_t>(header[6] & 0xFF) << 21) + (header[7] << 14) + (header[8] << 7) + header[9] +
           ((header[5] & 0x10) ? 20 : 10);
}

}  // namespace

void TID3v2::ResetInfo()
{
    Exists = false;
    VersionID = 0;
    Size = 0;
    Track = 0;
    for (std::string* s : {&Title, &Artist, &Album, &TrackString, &Year, &Genre, &Comment, &Composer, &Encoder,
                           &RightsNotice, &Language, &Link})
        s->clear();
    for (std::string& s : m_slots)
        s.clear();
}

bool TID3v2::ReadInfo(const std::string& fileName)
{
    return ReadInfo(InputFile(fileName));
}

bool TID3v2::ReadInfo(const InputFile& file)
{
    ResetInfo();
    unsigned char header[10];
    if (!file.isOpen() || !file.readExact(0, header, sizeof header))
        return false;
    const std::int64_t fileSize = file.size();
    if (std::memcmp(header, "ID3", 3) != 0)
        return true;
    Exists = true;
    VersionID = header[3];
    const std::int64_t size = syncsafeTagSize(header);
    Size = size > fileSize ? 0 : static_cast<std::int32_t>(size);
    if (VersionID < 2 || VersionID > 4 || Size <= 0)
        return true;

    walkFrames(file, fileSize);

    auto pick = [this](int first, int second) {
        std::string text = decodeText(m_slots[first - 1]);
        return text.empty() ? decodeText(m_slots[second - 1]) : text;
    };
    Title = pick(1, 15);
    Artist = pick(2, 14);
    Album = pick(3, 16);
    TrackString = decodeText(m_slots[3]);
    Track = toInt32Or0(TrackString.substr(0, TrackString.find('/')));
    Year = decodeText(m_slots[4]);
    if (Year.empty())
        Year = firstChars(decodeText(m_slots[12]), 4);
    Genre = decodeText(m_slots[5]);
    const std::size_t paren = Genre.rfind(')');
    if (paren != std::string::npos)
        Genre.erase(0, paren + 1);
    Comment = decodeDescribed(m_slots[6], true);
    Composer = decodeText(m_slots[7]);
    Encoder = decodeText(m_slots[8]);
    RightsNotice = decodeText(m_slots[9]);
    Language = decodeText(m_slots[10]);
    Link = decodeDescribed(m_slots[11], false);
    return true;
}

void TID3v2::walkFrames(const InputFile& file, std::int64_t fileSize)
{
    const bool v22 = VersionID == 2;
    const std::size_t headerSize = v22 ? 6 : 10;
    // Sizes are unsigned and positions 64-bit, so a huge frame size moves forward and the walk
    // always ends by Size.
    std::int64_t pos = 10;
    while (pos < Size && pos < fileSize) {
        unsigned char h[10];
        if (!file.readExact(pos, h, headerSize))
            return;
        if (h[0] < 'A' || h[0] > 'Z')
            return;
        std::uint64_t frameSize = 0;
        std::uint8_t flags2 = 0;
        if (v22) {
            frameSize = (std::uint64_t{h[3]} << 16) | (std::uint64_t{h[4]} << 8) | h[5];
        } else {
            frameSize = (std::uint64_t{h[4]} << 24) | (std::uint64_t{h[5]} << 16) | (std::uint64_t{h[6]} << 8) | h[7];
            flags2 = h[9];
        }
        const std::int64_t bodyAt = pos + static_cast<std::int64_t>(headerSize);
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(frameSize, kMaxBody));
        std::string body(want, '\0');
        if (want > 0 && !file.readExact(bodyAt, body.data(), want))
            return;
        if (!(flags2 & 0x80))
            offerFrame(std::string_view(reinterpret_cast<const char*>(h), headerSize - (v22 ? 3 : 6)),
                       std::move(body));
        pos = bodyAt + static_cast<std::int64_t>(frameSize);
    }
}

void TID3v2::offerFrame(std::string_view id, std::string body)
{
    if (!body.empty() && body[0] != 0 && body[0] != 1)
        return;
    const auto& ids = VersionID <= 2 ? kIds22 : kIds23;
    for (int i = 0; i < kSlotCount; ++i)
        if (id == ids[i])
            m_slots[i] = body;
}

}  // namespace media
