// TMPEGaudio: frame search and confirmation, the Xing and VBRI headers, the encoder signature,
// the second search in the middle of the file and the reset when nothing is found.
#include "mediafixtures.h"

#include "media/mpegaudio.h"

#include <gtest/gtest.h>

using namespace mediatest;

namespace {

std::string xingPayload(std::uint32_t frames, std::uint32_t bytes)
{
    // The first frame's data after its 4 header bytes: the Xing header sits 36 bytes into the
    // frame (MPEG 1 stereo), so 32 bytes into the payload.
    Bytes b;
    b.zeros(32).str("Xing").be32(0x0F).be32(frames).be32(bytes).zeros(100);
    b.zeros(119 - (b.data.size() - 32)).u8(57).str("LAME3.99");
    return b.data;
}

}  // namespace

TEST(MPEGaudio, XingFileAndTheSameWithoutXing)
{
    TempDir dir;
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("vbr.mp3", mpegFrames(20, 0x90, 0x00, xingPayload(100, 100 * 209)))));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Position, 0);
    EXPECT_EQ(mpeg.Frame.Size, 417);
    EXPECT_TRUE(mpeg.VBR.Found);
    EXPECT_EQ(std::string(mpeg.VBR.ID, 4), "Xing");
    EXPECT_EQ(mpeg.VBR.Frames, 100);
    EXPECT_EQ(mpeg.VBR.Bytes, 20900);
    EXPECT_EQ(mpeg.VBR.Scale, 57);
    EXPECT_EQ(mpeg.VBR.VendorID, "LAME3.99");
    EXPECT_EQ(mpeg.BitRate(), 64);  // 209 bytes a frame at 44100 Hz
    EXPECT_EQ(mpeg.SampleRate(), 44100);
    EXPECT_EQ(mpeg.ChannelModeName(), "Stereo");
    EXPECT_EQ(mpeg.Encoder, "");  // not searched when a VBR header was found

    ASSERT_TRUE(mpeg.ReadInfo(dir.write("cbr.mp3", mpegFrames(20, 0x90, 0x00, std::string(200, '\0')))));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_FALSE(mpeg.VBR.Found);
    EXPECT_TRUE(mpeg.Frame.ZeroGap);
    EXPECT_EQ(mpeg.BitRate(), 128);
}

TEST(MPEGaudio, VbriOnlyAtItsOffset)
{
    TempDir dir;
    const auto vbri = [](std::size_t frameOffset) {
        return Bytes().zeros(frameOffset - 4).str("VBRI").be16(1).be16(0).be16(75).be32(50000).be32(400).data;
    };
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("vbri36.mp3", mpegFrames(20, 0x90, 0x40, vbri(36)))));
    ASSERT_TRUE(mpeg.VBR.Found);
    EXPECT_EQ(std::string(mpeg.VBR.ID, 4), "VBRI");
    EXPECT_EQ(mpeg.VBR.Scale, 75);
    EXPECT_EQ(mpeg.VBR.Bytes, 50000);
    EXPECT_EQ(mpeg.VBR.Frames, 400);
    EXPECT_EQ(mpeg.BitRate(), 38);  // 125 bytes a frame
    EXPECT_EQ(mpeg.ChannelModeName(), "Joint Stereo");

    ASSERT_TRUE(mpeg.ReadInfo(dir.write("vbri21.mp3", mpegFrames(20, 0x90, 0x40, vbri(21)))));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_FALSE(mpeg.VBR.Found);
    // Mono puts the header at 21.
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("mono21.mp3", mpegFrames(20, 0x90, 0xC0, vbri(21)))));
    EXPECT_TRUE(mpeg.VBR.Found);
    EXPECT_EQ(mpeg.ChannelModeName(), "Mono");
}

TEST(MPEGaudio, EncoderSignatureNearestTheEndBeforeTheTag)
{
    TempDir dir;
    std::string audio = mpegFrames(30, 0x90, 0x00);
    audio.replace(audio.size() - 1500, 8, "GOGO....");
    audio.replace(audio.size() - 700, 8, "LAME3.98");
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("enc.mp3", audio + id3v1Tag("T", "A", "", "", "", 1, 2))));
    EXPECT_EQ(mpeg.Encoder, "LAME3.98");
    EXPECT_TRUE(mpeg.ID3v1.Exists);
    EXPECT_EQ(mpeg.ID3v1.Title, "T");

    audio.replace(audio.size() - 700, 8, "........");
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("gogo.mp3", audio)));
    EXPECT_EQ(mpeg.Encoder, "GOGO");
}

TEST(MPEGaudio, FileShorterThanTheSignatureWindow)
{
    TempDir dir;
    // Two 1440-byte frames (320 kbit/s at 32000 Hz): 2880 bytes, less than one search window.
    std::string audio = mpegFrames(2, 0xE8, 0x00);
    ASSERT_EQ(audio.size(), 2880u);
    audio.replace(2000, 8, "LAME3.97");
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("short.mp3", audio)));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Size, 1440);
    EXPECT_EQ(mpeg.SampleRate(), 32000);
    EXPECT_EQ(mpeg.Encoder, "LAME3.97");
}

TEST(MPEGaudio, WrongSecondHeaderMovesTheSearchOn)
{
    TempDir dir;
    std::string junk = Bytes().u8(0xFF).u8(0xFB).u8(0x90).u8(0x00).fill(500, 'j').data;  // no frame 417 bytes on
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("junk.mp3", junk + mpegFrames(10))));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Position, 504);
}

TEST(MPEGaudio, AfterALargeTagAndInTheMiddle)
{
    TempDir dir;
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", std::string(1, '\0') + "Big")}, 20000);
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("tag.mp3", tag + std::string(1700, 'z') + mpegFrames(10))));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Position, 1700);
    EXPECT_EQ(mpeg.ID3v2.Title, "Big");

    // 8000 bytes of junk, then frames: the first window finds nothing, the middle one does.
    const std::string file = std::string(8000, 'z') + mpegFrames(30);
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("middle.mp3", file)));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.FileLength, static_cast<std::int64_t>(file.size()));
}

TEST(MPEGaudio, NothingFoundResetsEverything)
{
    TempDir dir;
    media::TMPEGaudio mpeg;
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", std::string(1, '\0') + "x")});
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("none.mp3", tag + std::string(5000, 'z') + id3v1Tag("T", "", "", "", "", -1, 1))));
    EXPECT_FALSE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.FileLength, 0);
    EXPECT_FALSE(mpeg.ID3v1.Exists);
    EXPECT_FALSE(mpeg.ID3v2.Exists);
    EXPECT_EQ(mpeg.Frame.ModeID, 4);
    EXPECT_EQ(mpeg.ChannelModeName(), "Unknown");
    EXPECT_EQ(mpeg.BitRate(), 0);
    EXPECT_EQ(mpeg.SampleRate(), 0);

    EXPECT_FALSE(mpeg.ReadInfo(dir.write("tiny.mp3", mpegFrames(1).substr(0, 100))));
    EXPECT_FALSE(mpeg.ReadInfo(dir.path() + "/missing.mp3"));
}

TEST(MPEGaudio, LayerOneFramesOfTheLowerSampleRates)
{
    TempDir dir;
    // MPEG 2 layer I, 128 kbit/s at 22050 Hz: 48 x 128000 / 22050 = 278 bytes a frame.
    std::string frames;
    for (int i = 0; i < 8; ++i)
        frames += Bytes().u8(0xFF).u8(0xF7).u8(0x80).u8(0xC0).fill(274, 'q').data;
    media::TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadInfo(dir.write("l1.mp2", frames)));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Size, 278);
    EXPECT_EQ(mpeg.Frame.LayerID, 3);
    EXPECT_EQ(mpeg.Frame.VersionID, 2);
    EXPECT_EQ(mpeg.SampleRate(), 22050);
    EXPECT_EQ(mpeg.BitRate(), 128);
}

TEST(MPEGaudio, HeaderTest)
{
    const std::uint8_t good[4] = {0xFF, 0xFB, 0x90, 0x00};
    EXPECT_TRUE(media::TMPEGaudio::IsFrameHeader(good));
    const std::uint8_t bad[][4] = {
        {0xFE, 0xFB, 0x90, 0x00},  // sync
        {0xFF, 0xEB, 0x90, 0x00},  // reserved version
        {0xFF, 0xF9, 0x90, 0x00},  // reserved layer
        {0xFF, 0xFB, 0xF0, 0x00},  // bit-rate index 15
        {0xFF, 0xFB, 0x00, 0x00},  // free format
        {0xFF, 0xFB, 0x9C, 0x00},  // reserved sample rate
        {0xFF, 0xFB, 0x90, 0x02},  // reserved emphasis
    };
    for (const auto& h : bad)
        EXPECT_FALSE(media::TMPEGaudio::IsFrameHeader(h));
}
