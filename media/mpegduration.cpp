// Walking the frame headers of a layer III file. The rules follow what the audio library's MP3
// stream does with the same bytes, so that both give one length: the tag skipped at the start,
// the info frame dropped, every frame one packet of its samples, the delay and padding of the
// info frame's encoder fields cut from the first and the last packets, an ID3v1 tag at the end
// ignored.
#include "media/mpegduration.h"

#include "media/inputfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace media {

namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::int64_t kId3v1Bytes = 128;
// The decoder's own delay, which the info frame's start padding does not count.
constexpr std::int64_t kDecoderDelay = 528 + 1;

constexpr int kBitRatesV1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitRatesV2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

// Fields that must stay the same over the file: sync, version, layer, sample rate.
constexpr std::uint32_t kSameHeaderMask = 0xFFE00000u | (3u << 19) | (3u << 17) | (3u << 10);
// What the stream compares between its first two frames before it takes them as the start.
constexpr std::uint32_t kStartHeaderMask = 0xFFFE0CCFu;

struct Header {
    std::uint32_t bits = 0;
    int version = 0;  // 3 MPEG 1, 2 MPEG 2, 0 MPEG 2.5
    int rateHz = 0;
    int channels = 0;
    int frameBytes = 0;
    int samples = 0;
};

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// A layer III header with a bit rate (free format is left to the library).
std::optional<Header> layer3Header(const std::uint8_t* p)
{
    Header h;
    h.bits = bigEndian32(p);
    if ((h.bits & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    h.version = static_cast<int>((h.bits >> 19) & 3);
    const int layer = static_cast<int>((h.bits >> 17) & 3);
    const int rateIndex = static_cast<int>((h.bits >> 10) & 3);
    const int bitRateIndex = static_cast<int>((h.bits >> 12) & 15);
    if (h.version == 1 || layer != 1 || rateIndex == 3 || bitRateIndex == 0 || bitRateIndex == 15)
        return std::nullopt;
    const bool lsf = h.version != 3;
    const int kbps = lsf ? kBitRatesV2[bitRateIndex] : kBitRatesV1[bitRateIndex];
    h.rateHz = kRates[h.version][rateIndex];
    h.channels = ((h.bits >> 6) & 3) == 3 ? 1 : 2;
    h.frameBytes = 144000 * kbps / (h.rateHz << (lsf ? 1 : 0)) + static_cast<int>((h.bits >> 9) & 1);
    h.samples = lsf ? 576 : 1152;
    return h;
}

// Sequential reads through one buffer.
class Reader {
public:
    explicit Reader(const InputFile& file) : m_file(file), m_buffer(static_cast<std::size_t>(std::min<std::int64_t>(file.size(), kChunk))) {}
    // Bytes [at, at + size) of the file, or null when the file holds fewer.
    const std::uint8_t* bytes(std::int64_t at, std::size_t size)
    {
        if (at < m_start || at + static_cast<std::int64_t>(size) > m_start + m_length) {
            if (size > m_buffer.size())
                return nullptr;
            m_start = at;
            m_length = std::max<std::int64_t>(m_file.readAt(at, m_buffer.data(), m_buffer.size()), 0);
            if (static_cast<std::int64_t>(size) > m_length)
                return nullptr;
        }
        return m_buffer.data() + (at - m_start);
    }

private:
    const InputFile& m_file;
    std::vector<std::uint8_t> m_buffer;
    std::int64_t m_start = 0;
    std::int64_t m_length = 0;
};

// What the info frame says, read field by field as its variable layout requires.
struct InfoFrame {
    bool found = false;     // a Xing or Info frame the stream drops
    std::int64_t frames = 0;
    bool encoderFields = false;  // LAME, Lavf or Lavc: delay and padding are taken off
    std::int64_t startPad = 0;
    std::int64_t endPad = 0;
    bool unsure = false;    // a layout the library may read otherwise: leave the file to it
};

InfoFrame readInfoFrame(const std::uint8_t* frame, std::size_t available, const Header& h,
                        std::int64_t bytesAfterFrameHeader, std::int64_t wholeFile)
{
    InfoFrame info;
    const bool lsf = h.version != 3;
    const std::size_t xingAt = 4 + (lsf ? (h.channels == 1 ? 9 : 17) : (h.channels == 1 ? 17 : 32));
    // A VBRI frame (another encoder's table) is rare: the library measures those.
    if (available >= 40 && std::memcmp(frame + 36, "VBRI", 4) == 0) {
        info.unsure = true;
        return info;
    }
    if (available < xingAt + 8)
        return info;
    const std::uint8_t* p = frame + xingAt;
    if (std::memcmp(p, "Xing", 4) != 0 && std::memcmp(p, "Info", 4) != 0)
        return info;
    const std::uint32_t flags = bigEndian32(p + 4);
    std::size_t at = xingAt + 8;
    std::int64_t headerBytes = 0;
    auto field32 = [&](std::int64_t& out) {
        if (at + 4 > available)
            return false;
        out = bigEndian32(frame + at);
        at += 4;
        return true;
    };
    if ((flags & 1) && !field32(info.frames))
        return InfoFrame{.unsure = true};
    if ((flags & 2) && !field32(headerBytes))
        return InfoFrame{.unsure = true};
    if (info.frames == 0 && headerBytes == 0) {
        // No count and no size: the library takes it for an audio frame, yet may still take the
        // encoder's delay from it. Rare: the library measures those.
        info.unsure = true;
        return info;
    }
    info.found = true;
    if (headerBytes != 0) {
        // A file much longer than its header says is taken for a concatenation, and the count
        // dropped. Whether the file's bytes are reckoned from its start or from this frame, and
        // with or without a tag at the end, the size must be clearly within the border; near it
        // the library's own reckoning decides, so it is asked.
        for (const std::int64_t fileBytes : {bytesAfterFrameHeader, wholeFile}) {
            const std::int64_t least = std::min(headerBytes, fileBytes);
            const std::int64_t delta = std::max(headerBytes, fileBytes) - least;
            if (delta + kId3v1Bytes + 4 > (least >> 4))
                info.unsure = true;
        }
    }
    if (flags & 4)
        at += 100;  // the seek table
    if (flags & 8)
        at += 4;  // the quality
    // Version string (9), revision, low-pass, peak (4), two gains (2 + 2), flags, bit rate,
    // then the delay and padding (12 bits each).
    const std::size_t delays = at + 9 + 1 + 1 + 4 + 2 + 2 + 1 + 1;
    if (delays + 3 > available)
        return info;
    if (std::memcmp(frame + at, "LAME", 4) == 0 || std::memcmp(frame + at, "Lavf", 4) == 0 ||
        std::memcmp(frame + at, "Lavc", 4) == 0) {
        const std::uint32_t v = (std::uint32_t{frame[delays]} << 16) | (std::uint32_t{frame[delays + 1]} << 8) | frame[delays + 2];
        info.encoderFields = true;
        info.startPad = v >> 12;
        info.endPad = v & 4095;
    }
    return info;
}

// The size of an ID3v2 tag at the very start, 0 without one; -1 for a tag the stream might
// read otherwise.
std::int64_t id3v2Bytes(const std::uint8_t* p)
{
    if (std::memcmp(p, "ID3", 3) != 0)
        return 0;
    if (p[3] == 0xFF || p[4] == 0xFF || ((p[6] | p[7] | p[8] | p[9]) & 0x80))
        return -1;
    const std::int64_t size = (std::int64_t{p[6]} << 21) + (std::int64_t{p[7]} << 14) + (std::int64_t{p[8]} << 7) + p[9];
    return size + 10 + ((p[5] & 0x10) ? 10 : 0);
}

}  // namespace

std::optional<MpegLength> MpegLengthFromHeaders(const std::string& fileName)
{
    const InputFile file(fileName);
    if (!file.isOpen())
        return std::nullopt;
    const std::int64_t size = file.size();
    Reader reader(file);
    const std::uint8_t* start = reader.bytes(0, 10);
    if (!start)
        return std::nullopt;
    const std::int64_t audioStart = id3v2Bytes(start);
    if (audioStart < 0 || audioStart >= size)
        return std::nullopt;
    // A second tag straight after the first is not taken here.
    if (const std::uint8_t* next = reader.bytes(audioStart, 3); next && std::memcmp(next, "ID3", 3) == 0)
        return std::nullopt;

    std::int64_t pos = audioStart;
    const std::uint8_t* firstBytes = reader.bytes(pos, 4);
    const std::optional<Header> first = firstBytes ? layer3Header(firstBytes) : std::nullopt;
    if (!first || pos + first->frameBytes > size)
        return std::nullopt;
    const std::uint8_t* frame = reader.bytes(pos, static_cast<std::size_t>(first->frameBytes));
    if (!frame)
        return std::nullopt;
    const InfoFrame info = readInfoFrame(frame, static_cast<std::size_t>(first->frameBytes), *first, size - pos - 4, size);
    if (info.unsure)
        return std::nullopt;
    if (info.found)
        pos += first->frameBytes;

    std::int64_t packets = 0;
    std::uint32_t firstAudio = 0;
    std::uint32_t secondAudio = 0;
    while (pos < size) {
        if (size - pos == kId3v1Bytes) {
            const std::uint8_t* tag = reader.bytes(pos, 3);
            if (tag && std::memcmp(tag, "TAG", 3) == 0)
                break;
        }
        const std::uint8_t* at = reader.bytes(pos, 4);
        const std::optional<Header> h = at ? layer3Header(at) : std::nullopt;
        if (!h || (h->bits & kSameHeaderMask) != (first->bits & kSameHeaderMask) || pos + h->frameBytes > size)
            return std::nullopt;
        if (packets == 0)
            firstAudio = h->bits;
        else if (packets == 1)
            secondAudio = h->bits;
        ++packets;
        pos += h->frameBytes;
    }
    // The stream starts where two frames in a row agree; otherwise it would look further on.
    if (packets < 2 || (firstAudio & kStartHeaderMask) != (secondAudio & kStartHeaderMask))
        return std::nullopt;

    const std::int64_t spf = first->samples;
    std::int64_t dropped = 0;
    if (info.encoderFields) {
        dropped += info.startPad + kDecoderDelay;
        if (info.frames > 0) {
            // Packets reaching into the padding at the end lose what lies in it.
            const std::int64_t firstDiscard = info.frames * spf - info.endPad + kDecoderDelay;
            const std::int64_t lastDiscard = info.frames * spf;
            for (std::int64_t k = std::max<std::int64_t>(0, firstDiscard / spf - 1); k < packets; ++k) {
                const std::int64_t begin = k * spf;
                const std::int64_t end = begin + spf;
                if (end >= firstDiscard && begin < lastDiscard)
                    dropped += std::min(end - firstDiscard, spf);
            }
        }
    }
    return MpegLength{std::max<std::int64_t>(packets * spf - dropped, 0), first->rateHz};
}

}  // namespace media
