// The RIFF/WAVE header of a ".wav" file: format, channels, rates and the sample count.
#pragma once

#include <cstdint>
#include <string>

namespace media {

class TWAVfile {
public:
    TWAVfile() { ResetInfo(); }
    void ResetInfo();
    // True when the file could be opened and read, whether or not it is a valid WAV file.
    bool ReadInfo(const std::string& fileName);
    std::string ChannelModeName() const;

    bool Valid;
    std::uint16_t FormatID;
    std::uint8_t ChannelNumber;
    std::int32_t SampleRate;
    std::int32_t BytesPerSecond;
    std::uint16_t BlockAlign;
    std::uint8_t BitsPerSample;
    std::int32_t SampleNumber;  // the fact chunk's sample count, or the data size when "data" follows "fmt "
    std::int64_t HeaderSize;
    std::int64_t FileSize;  // RIFF size + 8
};

}  // namespace media
