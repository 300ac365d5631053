// The header of an ID3v2 tag (versions 2.2 to 2.4) at the start of a file and the texts of the
// frames the programs show.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace media {

class InputFile;

class TID3v2 {
public:
    TID3v2() { ResetInfo(); }
    void ResetInfo();
    // True when the first 10 bytes could be read, whether or not they hold a tag.
    bool ReadInfo(const std::string& fileName);
    // The same from a file another reader has open (false when it is not open).
    bool ReadInfo(const InputFile& file);

    bool Exists;
    std::uint8_t VersionID;  // major version byte
    std::int32_t Size;       // whole tag, header and footer included; 0 without a tag or when larger than the file
    // Texts in UTF-8.
    std::string Title;
    std::string Artist;
    std::string Album;
    std::int32_t Track;
    std::string TrackString;
    std::string Year;
    std::string Genre;
    std::string Comment;
    std::string Composer;
    std::string Encoder;
    std::string RightsNotice;
    std::string Language;
    std::string Link;

private:
    static constexpr int kSlotCount = 16;
    static constexpr std::size_t kMaxBody = 500;
    void walkFrames(const InputFile& file, std::int64_t fileSize);
    void offerFrame(std::string_view id, std::string body);
    std::array<std::string, kSlotCount> m_slots;  // frame bodies as read, at most kMaxBody bytes
};

}  // namespace media
