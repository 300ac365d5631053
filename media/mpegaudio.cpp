// MPEG audio reader: frame search, Xing and VBRI headers, encoder signature.
#include "media/mpegaudio.h"

#include "media/inputfile.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace media {

namespace {

constexpr std::size_t kBuf = TMPEGaudio::kBufferSize;
constexpr std::size_t kLastStart = 1729;

// [version][layer][index] in kbit/s; the reserved version and layer are all zero.
constexpr std::uint16_t kBitRates[4][4][16] = {
    // MPEG 2.5
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
    // reserved
    {{0}, {0}, {0}, {0}},
    // MPEG 2
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
    // MPEG 1
    {{0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}},
};

constexpr std::int32_t kSampleRates[4][4] = {
    {11025, 12000, 8000, 0}, {0, 0, 0, 0}, {22050, 24000, 16000, 0}, {44100, 48000, 32000, 0}};

int tableBitRate(const FrameHeaderData& f)
{
    return kBitRates[f.VersionID & 3][f.LayerID & 3][f.BitRateID & 15];
}

int tableSampleRate(const FrameHeaderData& f)
{
    return kSampleRates[f.VersionID & 3][f.SampleRateID & 3];
}

// Layer I frames are 12 slots of 4 bytes per 384 samples in every MPEG version (48 = 12 x 4).
int frameLengthFactor(const FrameHeaderData& f)
{
    if (f.LayerID == 3)
        return 48;
    if (f.LayerID == 2 || f.VersionID == 3)
        return 144;
    return 72;
}

int framePadding(const FrameHeaderData& f)
{
    if (!f.PaddingBit)
        return 0;
    return f.LayerID == 3 ? 4 : 1;
}

std::uint16_t frameLength(const FrameHeaderData& f)
{
    const int rate = tableSampleRate(f);
    if (rate == 0)
        return 0;
    const std::int64_t len = static_cast<std::int64_t>(frameLengthFactor(f)) * tableBitRate(f) * 1000 / rate;
    return static_cast<std::uint16_t>(len + framePadding(f));
}

std::size_t vbrHeaderOffset(const FrameHeaderData& f)
{
    if (f.VersionID == 3)
        return f.ModeID == 3 ? 21 : 36;
    return f.ModeID == 3 ? 13 : 21;
}

std::int32_t bigEndian32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                     (std::uint32_t{p[2]} << 8) | p[3]);
}

// Reads kBuf bytes at offset, zero-filling what lies past the end; -1 on error.
std::int64_t readBlock(const InputFile& file, std::int64_t offset, std::uint8_t* buffer)
{
    std::memset(buffer, 0, kBuf);
    return file.readAt(offset, buffer, kBuf);
}

}  // namespace

void TMPEGaudio::ResetInfo()
{
    FileLength = 0;
    Encoder.clear();
    VBR = VbrHeaderData{};
    Frame = FrameHeaderData{};
    Frame.VersionID = 1;
    Frame.SampleRateID = 3;
    Frame.ModeID = 4;
    Frame.ModeExtensionID = 4;
    Frame.EmphasisID = 2;
    ID3v1.ResetInfo();
    ID3v2.ResetInfo();
}

bool TMPEGaudio::IsFrameHeader(const std::uint8_t* b)
{
    return b[0] == 255 && b[1] >= 224 && ((b[1] >> 3) & 3) != 1 && ((b[1] >> 1) & 3) != 0 && b[2] < 240 &&
           b[2] > 15 && ((b[2] >> 2) & 3) != 3 && (b[3] & 3) != 2;
}

void TMPEGaudio::decodeHeader(const std::uint8_t* b)
{
    std::memcpy(Frame.Data, b, 4);
    Frame.VersionID = (b[1] >> 3) & 3;
    Frame.LayerID = (b[1] >> 1) & 3;
    Frame.ProtectionBit = !(b[1] & 1);
    Frame.BitRateID = b[2] >> 4;
    Frame.SampleRateID = (b[2] >> 2) & 3;
    Frame.PaddingBit = (b[2] >> 1) & 1;
    Frame.PrivateBit = b[2] & 1;
    Frame.ModeID = b[3] >> 6;
    Frame.ModeExtensionID = (b[3] >> 4) & 3;
    Frame.RightsBit = (b[3] >> 3) & 1;
    Frame.FirstCopyBit = (b[3] >> 2) & 1;
    Frame.EmphasisID = b[3] & 3;
}

void TMPEGaudio::FindFrameHeader(const std::uint8_t* buffer)
{
    Frame = FrameHeaderData{};
    for (std::size_t p = 0; p <= kLastStart; ++p) {
        if (!IsFrameHeader(buffer + p))
            continue;
        decodeHeader(buffer + p);
        const std::uint16_t length = frameLength(Frame);
        if (p + length + 4 <= kBuf && IsFrameHeader(buffer + p + length)) {
            Frame.Found = true;
            Frame.Position = static_cast<std::int32_t>(p);
            Frame.Size = length;
            Frame.ZeroGap = std::all_of(buffer + p + 4, buffer + p + 10, [](std::uint8_t v) { return v == 0; });
            ReadVbrHeader(buffer, p + vbrHeaderOffset(Frame));
            return;
        }
    }
}

void TMPEGaudio::ReadVbrHeader(const std::uint8_t* buffer, std::size_t i)
{
    VBR = VbrHeaderData{};
    if (i + 128 > kBuf)
        return;
    if (std::memcmp(buffer + i, "Xing", 4) == 0) {
        VBR.Found = true;
        std::memcpy(VBR.ID, "Xing", 4);
        VBR.Frames = bigEndian32(buffer + i + 8);
        VBR.Bytes = bigEndian32(buffer + i + 12);
        VBR.Scale = buffer[i + 119];
        VBR.VendorID = platform::cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(buffer + i + 120), 8));
    } else if (std::memcmp(buffer + i, "VBRI", 4) == 0) {
        VBR.Found = true;
        std::memcpy(VBR.ID, "VBRI", 4);
        VBR.Scale = buffer[i + 9];
        VBR.Bytes = bigEndian32(buffer + i + 10);
        VBR.Frames = bigEndian32(buffer + i + 14);
    }
}

void TMPEGaudio::FindEncoderId(const std::uint8_t* buffer)
{
    const std::size_t span = std::min<std::size_t>(5u * Frame.Size, 3450);
    for (std::size_t k = 0; k <= span; ++k) {
        const std::uint8_t* at = buffer + 3450 - k;
        if (std::memcmp(at, "LAME", 4) == 0) {
            Encoder = "LAME" + platform::cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(at + 4), 4));
            return;
        }
        if (std::memcmp(at, "GOGO", 4) == 0) {
            Encoder = "GOGO";
            return;
        }
    }
}

bool TMPEGaudio::ReadInfo(const std::string& fileName)
{
    return ReadInfo(InputFile(fileName));
}

bool TMPEGaudio::ReadInfo(const InputFile& file)
{
    ResetInfo();
    bool result = false;
    if (ID3v2.ReadInfo(file) && ID3v1.ReadInfo(file)) {
        std::uint8_t buffer[kBuf];
        if (file.isOpen()) {
            FileLength = file.size();
            result = true;
            std::int64_t got = readBlock(file, ID3v2.Size, buffer);
            if (got < 0)
                result = false;
            else
                FindFrameHeader(buffer);
            if (result && !Frame.Found && got == static_cast<std::int64_t>(kBuf)) {
                got = readBlock(file, (FileLength - ID3v2.Size) / 2, buffer);
                if (got < 0)
                    result = false;
                else
                    FindFrameHeader(buffer);
            }
            if (result && Frame.Found && !VBR.Found) {
                std::int64_t at = FileLength - static_cast<std::int64_t>(kBuf) - (ID3v1.Exists ? 128 : 0);
                if (readBlock(file, std::max<std::int64_t>(at, 0), buffer) < 0)
                    result = false;
                else
                    FindEncoderId(buffer);
            }
        }
    }
    if (!Frame.Found)
        ResetInfo();
    return result;
}

int TMPEGaudio::BitRate() const
{
    if (VBR.Found && VBR.Frames > 0) {
        const double perFrame = static_cast<double>(VBR.Bytes) / VBR.Frames - framePadding(Frame);
        return static_cast<int>(std::lround(perFrame * tableSampleRate(Frame) / frameLengthFactor(Frame) / 1000.0));
    }
    return tableBitRate(Frame);
}

int TMPEGaudio::SampleRate() const
{
    return tableSampleRate(Frame);
}

std::string TMPEGaudio::ChannelModeName() const
{
    static const char* const kNames[] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono", "Unknown"};
    return kNames[Frame.ModeID <= 3 ? Frame.ModeID : 4];
}

}  // namespace media
