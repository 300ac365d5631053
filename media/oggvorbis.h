// An Ogg Vorbis file's technical data and comments, and the rewrite of its comment header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace media {

// The Ogg page checksum (CRC-32, polynomial 0x04C11DB7, not reflected, initial value 0, no final
// inversion), continued from crc over size bytes.
struct OggHeaderInfo;

std::uint32_t OggPageCrc(std::uint32_t crc, const void* data, std::size_t size);

class TOggVorbis {
public:
    TOggVorbis() { ResetInfo(); }
    void ResetInfo();
    // True when the file is an Ogg file whose first packet is a Vorbis identification header.
    bool ReadInfo(const std::string& fileName);
    // Writes Title, Artist, Album, Date, Genre, Comment and Track into the file's comment header;
    // every other comment, the vendor text and unedited values stay byte for byte. False, with
    // the file untouched, when it cannot be rewritten safely.
    bool WriteTag(const std::string& fileName);

    double Duration() const;  // seconds
    int BitRate() const;      // kbit/s
    bool Valid() const;
    std::string ChannelModeName() const;

    std::int64_t FileSize;
    std::uint8_t ChannelModeId;
    std::int32_t SampleRate;
    std::uint16_t BitRateNominal;  // kbit/s
    std::int32_t Samples;          // low 32 bits of the last page's granule position
    std::int32_t ID3v2Size;
    // Texts in UTF-8.
    std::string Title;
    std::string Artist;  // ARTIST, else PERFORMER
    std::string Album;
    std::uint16_t Track;  // TRACKNUMBER modulo 256
    std::string Date;
    std::string Genre;
    std::string Comment;  // COMMENT, else DESCRIPTION
    std::string Vendor;

private:
    static bool readHeaders(const std::string& fileName, OggHeaderInfo& info);
    void fillFields(const OggHeaderInfo& info);
};

}  // namespace media
