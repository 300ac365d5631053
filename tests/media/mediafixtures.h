// Byte-level builders of the media formats the readers take, temporary files, and one call that
// runs every reader over a file (shared by the tests, the benchmark and the fuzz targets).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mediatest {

// A folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    // Writes bytes to <folder>/<name> and returns the full path.
    std::string write(const std::string& name, std::string_view bytes) const;

private:
    std::string m_path;
};

std::string readFile(const std::string& path);

// Appending builder of little- and big-endian fields.
struct Bytes {
    std::string data;
    Bytes& str(std::string_view s) { data.append(s); return *this; }
    Bytes& u8(std::uint8_t v) { data += static_cast<char>(v); return *this; }
    Bytes& le16(std::uint16_t v);
    Bytes& le32(std::uint32_t v);
    Bytes& le64(std::uint64_t v);
    Bytes& be16(std::uint16_t v);
    Bytes& be32(std::uint32_t v);
    Bytes& zeros(std::size_t n) { data.append(n, '\0'); return *this; }
    Bytes& fill(std::size_t n, char c) { data.append(n, c); return *this; }
    // A fixed field of n bytes: text cut or zero-filled.
    Bytes& field(std::string_view text, std::size_t n);
};

// ID3v1: track < 0 writes a 30-byte comment (version 1.0), else a 28-byte comment, a zero byte
// and the track (version 1.1).
std::string id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, std::string_view comment, int track, std::uint8_t genre);

// ID3v2: a 10-byte header with the given size field (syncsafe) followed by body.
std::string id3v2Header(std::uint8_t version, std::uint8_t flags, std::uint32_t size);
// A 2.3/2.4 frame (plain big-endian size) or a 2.2 frame.
std::string id3v2Frame(std::string_view id, std::string_view body, std::uint8_t flags2 = 0);
std::string id3v22Frame(std::string_view id, std::string_view body);
// A whole tag: header with the frames' size plus padding, frames, padding.
std::string id3v2Tag(std::uint8_t version, const std::vector<std::string>& frames, std::size_t padding = 0);

// MPEG 1 layer III frames at 44100 Hz: count frames of bitrate index (128 kbit/s by default),
// each filled with filler; the first frame may carry a payload at its start after the header.
std::string mpegFrames(int count, std::uint8_t b2 = 0x90, std::uint8_t b3 = 0x00, std::string_view firstPayload = {});
std::size_t mpegFrameLength(std::uint8_t b1, std::uint8_t b2);

// Ogg: one page with the given packets' segments (a packet of 255*k bytes gets a 0 terminator
// unless it continues). The page checksum is computed bit by bit, independently of the library.
std::string oggPage(std::uint8_t headerType, std::uint64_t granule, std::uint32_t sequence,
                    const std::vector<std::string>& packets, bool lastContinues = false);
std::uint32_t referenceOggCrc(std::string_view page);  // over the page with its CRC field as zero
std::string vorbisIdentification(std::uint8_t channels, std::uint32_t rate, std::int32_t nominal);
// Comment packet: vendor, then comments, then the framing byte.
std::string vorbisComment(std::string_view vendor, const std::vector<std::string>& comments, bool framing = true);
// A small Ogg Vorbis file: identification page, comment page (with a setup stand-in packet
// after the comments), and an audio page with granule position samples.
std::string oggVorbisFile(const std::vector<std::string>& comments, std::uint32_t samples = 441000,
                          std::uint32_t rate = 44100, std::string_view vendor = "Xiph.Org libVorbis I 20200704");

// WAV: the canonical 44-byte header and dataBytes of zeros.
std::string wavFile(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint32_t dataBytes);

// ASF: a header object holding the given child objects (each made by asfObject), then a tail.
std::string asfObject(const std::string& guid16, std::string_view body);
std::string asfHeader(const std::vector<std::string>& objects, std::string_view tail = {});
std::string asfGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, std::uint64_t e);
std::string utf16le(std::u16string_view text, bool terminator = true);
std::string asfFileProperties(std::uint32_t maxBitRate);
std::string asfStreamProperties(std::uint16_t channels, std::uint32_t rate, std::uint32_t bytesPerSecond);
std::string asfContentDescription(std::u16string_view title, std::u16string_view author, std::u16string_view rights,
                                  std::u16string_view description, std::u16string_view rating);
struct AsfDescriptor {
    std::u16string name;
    std::uint16_t type;
    std::string value;  // raw value bytes
};
std::string asfExtendedContentDescription(const std::vector<AsfDescriptor>& descriptors);

// Runs ReadTagRecord, TID3v1, TID3v2, TMPEGaudio, TWAVfile, TOggVorbis and TWMAfile over path and
// folds a few of their results into a number, so that nothing is optimised away.
std::uint64_t runAllReaders(const std::string& path);

}  // namespace mediatest
