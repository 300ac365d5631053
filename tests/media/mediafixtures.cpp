// Builders of media file bytes for the tests, the benchmark and the fuzz targets.
#include "mediafixtures.h"

#include "media/id3v1.h"
#include "media/id3v2.h"
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"
#include "media/tag.h"
#include "media/wavfile.h"
#include "media/wmafile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mediatest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qvmedia-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const
{
    const std::string path = m_path + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes& Bytes::le16(std::uint16_t v)
{
    return u8(v & 0xFF).u8(v >> 8);
}

Bytes& Bytes::le32(std::uint32_t v)
{
    return le16(v & 0xFFFF).le16(v >> 16);
}

Bytes& Bytes::le64(std::uint64_t v)
{
    return le32(static_cast<std::uint32_t>(v)).le32(static_cast<std::uint32_t>(v >> 32));
}

Bytes& Bytes::be16(std::uint16_t v)
{
    return u8(v >> 8).u8(v & 0xFF);
}

Bytes& Bytes::be32(std::uint32_t v)
{
    return be16(v >> 16).be16(v & 0xFFFF);
}

Bytes& Bytes::field(std::string_view text, std::size_t n)
{
    const std::size_t k = std::min(n, text.size());
    data.append(text.substr(0, k));
    return zeros(n - k);
}

std::string id3v1Tag(std::string_view title, std::string_view artist, std::string_view album, std::string_view year,
                     std::string_view comment, int track, std::uint8_t genre)
{
    Bytes b;
    b.str("TAG").field(title, 30).field(artist, 30).field(album, 30).field(year, 4);
    if (track < 0)
        b.field(comment, 30);
    else
        b.field(comment, 28).u8(0).u8(static_cast<std::uint8_t>(track));
    return b.u8(genre).data;
}

std::string id3v2Header(std::uint8_t version, std::uint8_t flags, std::uint32_t size)
{
    return Bytes()
        .str("ID3")
        .u8(version)
        .u8(0)
        .u8(flags)
        .u8((size >> 21) & 0x7F)
        .u8((size >> 14) & 0x7F)
        .u8((size >> 7) & 0x7F)
        .u8(size & 0x7F)
        .data;
}

std::string id3v2Frame(std::string_view id, std::string_view body, std::uint8_t flags2)
{
    return Bytes().field(id, 4).be32(static_cast<std::uint32_t>(body.size())).u8(0).u8(flags2).str(body).data;
}

std::string id3v22Frame(std::string_view id, std::string_view body)
{
    const auto n = static_cast<std::uint32_t>(body.size());
    return Bytes().field(id, 3).u8((n >> 16) & 0xFF).u8((n >> 8) & 0xFF).u8(n & 0xFF).str(body).data;
}

std::string id3v2Tag(std::uint8_t version, const std::vector<std::string>& frames, std::size_t padding)
{
    std::string body;
    for (const std::string& f : frames)
        body += f;
    body.append(padding, '\0');
    return id3v2Header(version, 0, static_cast<std::uint32_t>(body.size())) + body;
}

std::size_t mpegFrameLength(std::uint8_t b1, std::uint8_t b2)
{
    // Enough for the MPEG 1 layer III frames the tests build.
    static const int kRates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int kHz[4] = {44100, 48000, 32000, 0};
    (void)b1;
    return static_cast<std::size_t>(144 * kRates[b2 >> 4] * 1000 / kHz[(b2 >> 2) & 3] + ((b2 >> 1) & 1));
}

std::string mpegFrames(int count, std::uint8_t b2, std::uint8_t b3, std::string_view firstPayload)
{
    std::string out;
    const std::size_t length = mpegFrameLength(0xFB, b2);
    for (int i = 0; i < count; ++i) {
        std::string frame = Bytes().u8(0xFF).u8(0xFB).u8(b2).u8(b3).data;
        if (i == 0)
            frame += firstPayload;
        // Filler that can never look like a frame header.
        while (frame.size() < length)
            frame += static_cast<char>(0x55);
        frame.resize(length);
        out += frame;
    }
    return out;
}

std::uint32_t referenceOggCrc(std::string_view page)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const std::uint8_t byte = (i >= 22 && i < 26) ? 0 : static_cast<std::uint8_t>(page[i]);
        crc ^= static_cast<std::uint32_t>(byte) << 24;
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : (crc << 1);
    }
    return crc;
}

std::string oggPage(std::uint8_t headerType, std::uint64_t granule, std::uint32_t sequence,
                    const std::vector<std::string>& packets, bool lastContinues)
{
    std::string lacing, body;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const std::size_t n = packets[i].size();
        lacing.append(n / 255, static_cast<char>(255));
        if (!(lastContinues && i + 1 == packets.size() && n % 255 == 0))
            lacing += static_cast<char>(n % 255);
        body += packets[i];
    }
    std::string page = Bytes()
                           .str("OggS")
                           .u8(0)
                           .u8(headerType)
                           .le64(granule)
                           .le32(0x1234)
                           .le32(sequence)
                           .le32(0)
                           .u8(static_cast<std::uint8_t>(lacing.size()))
                           .data +
                       lacing + body;
    const std::uint32_t crc = referenceOggCrc(page);
    for (int i = 0; i < 4; ++i)
        page[22 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return page;
}

std::string vorbisIdentification(std::uint8_t channels, std::uint32_t rate, std::int32_t nominal)
{
    return Bytes()
        .u8(1)
        .str("vorbis")
        .le32(0)
        .u8(channels)
        .le32(rate)
        .le32(0)
        .le32(static_cast<std::uint32_t>(nominal))
        .le32(0)
        .u8(0xB8)
        .u8(1)
        .data;
}

std::string vorbisComment(std::string_view vendor, const std::vector<std::string>& comments, bool framing)
{
    Bytes b;
    b.u8(3).str("vorbis").le32(static_cast<std::uint32_t>(vendor.size())).str(vendor);
    b.le32(static_cast<std::uint32_t>(comments.size()));
    for (const std::string& c : comments)
        b.le32(static_cast<std::uint32_t>(c.size())).str(c);
    if (framing)
        b.u8(1);
    return b.data;
}

std::string oggVorbisFile(const std::vector<std::string>& comments, std::uint32_t samples, std::uint32_t rate,
                          std::string_view vendor)
{
    const std::string setup = Bytes().u8(5).str("vorbis").fill(40, 'S').data;
    std::string audio(3000, 'A');
    return oggPage(0x02, 0, 0, {vorbisIdentification(2, rate, 128000)}) +
           oggPage(0x00, 0, 1, {vorbisComment(vendor, comments), setup}) + oggPage(0x04, samples, 2, {audio});
}

std::string wavFile(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint32_t dataBytes)
{
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return Bytes()
        .str("RIFF")
        .le32(36 + dataBytes)
        .str("WAVE")
        .str("fmt ")
        .le32(16)
        .le16(1)
        .le16(channels)
        .le32(rate)
        .le32(rate * align)
        .le16(align)
        .le16(bits)
        .str("data")
        .le32(dataBytes)
        .zeros(dataBytes)
        .data;
}

std::string asfGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, std::uint64_t e)
{
    Bytes out;
    out.le32(a).le16(b).le16(c).be16(d);
    for (int i = 5; i >= 0; --i)
        out.u8(static_cast<std::uint8_t>(e >> (8 * i)));
    return out.data;
}

std::string asfObject(const std::string& guid16, std::string_view body)
{
    return Bytes().str(guid16).le64(24 + body.size()).str(body).data;
}

std::string asfHeader(const std::vector<std::string>& objects, std::string_view tail)
{
    std::string children;
    for (const std::string& o : objects)
        children += o;
    return Bytes()
               .str(asfGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C))
               .le64(30 + children.size())
               .le32(static_cast<std::uint32_t>(objects.size()))
               .u8(1)
               .u8(2)
               .data +
           children + std::string(tail);
}

std::string utf16le(std::u16string_view text, bool terminator)
{
    Bytes b;
    for (char16_t c : text)
        b.le16(c);
    if (terminator)
        b.le16(0);
    return b.data;
}

std::string asfFileProperties(std::uint32_t maxBitRate)
{
    return asfObject(asfGuid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE4, 0x00C00C205365), Bytes().zeros(76).le32(maxBitRate).data);
}

std::string asfStreamProperties(std::uint16_t channels, std::uint32_t rate, std::uint32_t bytesPerSecond)
{
    return asfObject(asfGuid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE6, 0x00C00C205365),
                     Bytes().zeros(54).le16(0x161).le16(channels).le32(rate).le32(bytesPerSecond).le16(0).le16(16).le16(0).data);
}

std::string asfContentDescription(std::u16string_view title, std::u16string_view author, std::u16string_view rights,
                                  std::u16string_view description, std::u16string_view rating)
{
    Bytes b;
    std::string texts;
    for (std::u16string_view t : {title, author, rights, description, rating}) {
        const std::string s = t.empty() ? std::string() : utf16le(t);
        b.le16(static_cast<std::uint16_t>(s.size()));
        texts += s;
    }
    return asfObject(asfGuid(0x75B22633, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C), b.data + texts);
}

std::string asfExtendedContentDescription(const std::vector<AsfDescriptor>& descriptors)
{
    Bytes b;
    b.le16(static_cast<std::uint16_t>(descriptors.size()));
    for (const AsfDescriptor& d : descriptors) {
        const std::string name = utf16le(d.name);
        b.le16(static_cast<std::uint16_t>(name.size())).str(name).le16(d.type);
        b.le16(static_cast<std::uint16_t>(d.value.size())).str(d.value);
    }
    return asfObject(asfGuid(0xD2D0A440, 0xE307, 0x11D2, 0x97F0, 0x00A0C95EA850), b.data);
}

std::uint64_t runAllReaders(const std::string& path)
{
    std::uint64_t sum = 0;
    media::TTagRecord rec;
    sum += media::ReadTagRecord(path, rec) ? 1 : 0;
    media::TID3v1 v1;
    sum += v1.ReadInfo(path) + v1.Title.size();
    media::TID3v2 v2;
    sum += v2.ReadInfo(path) + static_cast<std::uint64_t>(v2.Size) + v2.Comment.size() + v2.Link.size();
    media::TMPEGaudio mpeg;
    sum += mpeg.ReadInfo(path) + static_cast<std::uint64_t>(mpeg.BitRate()) + mpeg.Encoder.size();
    media::TWAVfile wav;
    sum += wav.ReadInfo(path) + static_cast<std::uint64_t>(wav.HeaderSize);
    media::TOggVorbis ogg;
    sum += ogg.ReadInfo(path) + static_cast<std::uint64_t>(ogg.BitRate()) + ogg.Title.size() + ogg.Valid();
    media::TWMAfile wma;
    sum += wma.ReadInfo(path) + wma.Title.size() + static_cast<std::uint64_t>(wma.Duration);
    return sum;
}

}  // namespace mediatest
