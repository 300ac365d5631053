// TWAVfile: the canonical header, a fact chunk after a longer format chunk, and files that are
// not valid WAV files.
#include "mediafixtures.h"

#include "media/wavfile.h"

#include <gtest/gtest.h>

using namespace mediatest;

TEST(WAVfile, CanonicalHeader)
{
    TempDir dir;
    media::TWAVfile wav;
    ASSERT_TRUE(wav.ReadInfo(dir.write("a.wav", wavFile(2, 44100, 16, 4000))));
    EXPECT_TRUE(wav.Valid);
    EXPECT_EQ(wav.FormatID, 1);
    EXPECT_EQ(wav.ChannelNumber, 2);
    EXPECT_EQ(wav.SampleRate, 44100);
    EXPECT_EQ(wav.BytesPerSecond, 176400);
    EXPECT_EQ(wav.BlockAlign, 4);
    EXPECT_EQ(wav.BitsPerSample, 16);
    EXPECT_EQ(wav.SampleNumber, 4000);  // the data size when "data" follows directly
    EXPECT_EQ(wav.HeaderSize, 44);
    EXPECT_EQ(wav.FileSize, 4044);
    EXPECT_EQ(wav.ChannelModeName(), "Stereo");
}

TEST(WAVfile, FactChunkAfterAnExtendedFormatChunk)
{
    TempDir dir;
    const std::string file = Bytes()
                                 .str("RIFF")
                                 .le32(50 + 1000)
                                 .str("WAVE")
                                 .str("fmt ")
                                 .le32(18)
                                 .le16(2)  // ADPCM
                                 .le16(1)
                                 .le32(22050)
                                 .le32(11100)
                                 .le16(512)
                                 .le16(4)
                                 .le16(0)
                                 .str("fact")
                                 .le32(4)
                                 .le32(123456)
                                 .str("data")
                                 .le32(1000)
                                 .zeros(1000)
                                 .data;
    media::TWAVfile wav;
    ASSERT_TRUE(wav.ReadInfo(dir.write("fact.wav", file)));
    EXPECT_TRUE(wav.Valid);
    EXPECT_EQ(wav.FormatID, 2);
    EXPECT_EQ(wav.SampleNumber, 123456);
    EXPECT_EQ(wav.HeaderSize, 58);
    EXPECT_EQ(wav.ChannelModeName(), "Mono");
}

TEST(WAVfile, NotValidButRead)
{
    TempDir dir;
    media::TWAVfile wav;
    ASSERT_TRUE(wav.ReadInfo(dir.write("quad.wav", wavFile(4, 48000, 16, 100))));
    EXPECT_FALSE(wav.Valid);
    EXPECT_EQ(wav.SampleRate, 0);
    EXPECT_EQ(wav.ChannelModeName(), "Unknown");

    ASSERT_TRUE(wav.ReadInfo(dir.write("short.wav", wavFile(2, 44100, 16, 0).substr(0, 30))));
    EXPECT_FALSE(wav.Valid);
    std::string riff = wavFile(2, 44100, 16, 0);
    riff[8] = 'w';
    ASSERT_TRUE(wav.ReadInfo(dir.write("wave.wav", riff)));
    EXPECT_FALSE(wav.Valid);
    EXPECT_FALSE(wav.ReadInfo(dir.path() + "/missing.wav"));
}

TEST(WAVfile, TruncatedAndOversizedHeaders)
{
    TempDir dir;
    media::TWAVfile wav;
    // 42 bytes: the data size is cut; the bytes that are there count, the rest stay zero.
    ASSERT_TRUE(wav.ReadInfo(dir.write("cut.wav", wavFile(1, 8000, 8, 0x030201).substr(0, 42))));
    EXPECT_TRUE(wav.Valid);
    EXPECT_EQ(wav.SampleNumber, 0x0201);

    // Sizes near 4 GiB are not negative, and a header past the end of the file is capped.
    std::string big = wavFile(2, 44100, 16, 16);
    for (int i = 4; i < 8; ++i)
        big[i] = '\xFF';
    ASSERT_TRUE(wav.ReadInfo(dir.write("big.wav", big)));
    EXPECT_EQ(wav.FileSize, 0xFFFFFFFFLL + 8);
    EXPECT_EQ(wav.HeaderSize, 44);

    std::string odd = wavFile(2, 44100, 16, 16);
    odd[16] = '\xF0';
    odd[17] = odd[18] = odd[19] = '\xFF';
    odd[36] = 'L';  // not "data": the value is looked for past the format chunk, far beyond the end
    odd[4] = 50;
    odd[5] = odd[6] = odd[7] = 0;
    ASSERT_TRUE(wav.ReadInfo(dir.write("odd.wav", odd)));
    EXPECT_TRUE(wav.Valid);
    EXPECT_EQ(wav.SampleNumber, 0);
    EXPECT_EQ(wav.FileSize, 58);
    EXPECT_EQ(wav.HeaderSize, 58);
}
