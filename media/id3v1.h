// The ID3v1 / ID3v1.1 tag in the last 128 bytes of a file, read into plain fields.
#pragma once

#include <cstdint>
#include <string>

namespace media {

class InputFile;

class TID3v1 {
public:
    TID3v1() { ResetInfo(); }
    void ResetInfo();
    // True when the last 128 bytes could be read, whether or not they hold a tag.
    bool ReadInfo(const std::string& fileName);
    // The same from a file another reader has open (false when it is not open).
    bool ReadInfo(const InputFile& file);

    bool Exists;
    std::uint8_t VersionID;  // 1 = ID3v1.0, 2 = ID3v1.1
    // Texts in UTF-8 (the tag holds code page 1251).
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::uint8_t Track;    // ID3v1.1 only
    std::uint8_t GenreID;  // 255 = none
};

}  // namespace media
