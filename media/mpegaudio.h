// The first MPEG audio frame of a file and what it tells: bit rate (the average one for files with
// a Xing or VBRI header), sample rate, channel mode and the encoder's signature.
#pragma once

#include "media/id3v1.h"
#include "media/id3v2.h"

#include <cstdint>
#include <string>

namespace media {

struct VbrHeaderData {
    bool Found;
    char ID[4];  // "Xing" or "VBRI"
    std::int32_t Frames;
    std::int32_t Bytes;
    std::uint8_t Scale;
    std::string VendorID;  // 8 characters after a Xing header
};

struct FrameHeaderData {
    bool Found;
    std::int32_t Position;  // of the header within the buffer searched
    std::uint16_t Size;     // frame length in bytes
    bool ZeroGap;           // the six bytes after the header are zero
    std::uint8_t Data[4];
    std::uint8_t VersionID;  // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
    std::uint8_t LayerID;    // 0 reserved, 1 layer III, 2 layer II, 3 layer I
    bool ProtectionBit;      // a CRC follows
    std::uint16_t BitRateID;
    std::uint16_t SampleRateID;
    bool PaddingBit;
    bool PrivateBit;
    std::uint8_t ModeID;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::uint8_t ModeExtensionID;
    bool RightsBit;
    bool FirstCopyBit;
    std::uint8_t EmphasisID;
};

class InputFile;

class TMPEGaudio {
public:
    static constexpr std::size_t kBufferSize = 3458;

    TMPEGaudio() { ResetInfo(); }
    void ResetInfo();
    // Reads both tags, then looks for the first frame; false when the file cannot be read. A file
    // without a recognisable frame returns with every field reset.
    bool ReadInfo(const std::string& fileName);
    // The same from a file another reader has open: the two tag readers and the frame search
    // share it.
    bool ReadInfo(const InputFile& file);

    int BitRate() const;     // kbit/s
    int SampleRate() const;  // Hz
    std::string ChannelModeName() const;

    std::int64_t FileLength;
    std::string Encoder;  // "LAME" and 4 characters, "GOGO", or empty
    VbrHeaderData VBR;
    FrameHeaderData Frame;
    TID3v1 ID3v1;
    TID3v2 ID3v2;

    // The building blocks, over a buffer of kBufferSize bytes.
    static bool IsFrameHeader(const std::uint8_t* b);
    void FindFrameHeader(const std::uint8_t* buffer);
    void ReadVbrHeader(const std::uint8_t* buffer, std::size_t index);
    void FindEncoderId(const std::uint8_t* buffer);

private:
    void decodeHeader(const std::uint8_t* b);
};

}  // namespace media
