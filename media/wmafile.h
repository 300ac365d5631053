// The header objects of an ASF (WMA) file: file and stream properties, the content description
// and the extended content description; duration and bit rate derived from them. Read only.
#pragma once

#include <cstdint>
#include <string>

namespace media {

class TWMAfile {
public:
    TWMAfile() { ResetInfo(); }
    void ResetInfo();
    // True when the file could be read without error, whether or not it is a valid WMA file.
    bool ReadInfo(const std::string& fileName);
    std::string ChannelModeName() const;

    bool Valid;
    std::int64_t FileSize;
    std::uint8_t ChannelModeId;
    std::int32_t SampleRate;
    double Duration;  // seconds
    std::int32_t BitRate;  // kbit/s
    // Texts in UTF-8.
    std::string Title;
    std::string Artist;
    std::string Album;
    std::int32_t Track;
    std::string Year;
    std::string Genre;
    std::string Comment;
};

}  // namespace media
