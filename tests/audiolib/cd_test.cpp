// CD tracks read through a generated .cue/.bin disc image.
#include <cmath>
#include <fstream>

#include "manualclocktest.h"

using namespace audiolib;

namespace {

constexpr int kSector = 2352;
constexpr int kTrack1Sectors = 150;  // 2 s
constexpr int kTrack2Sectors = 75;   // 1 s

std::int16_t track1Sample(std::size_t frame, int side)
{
    return std::int16_t(side == 0 ? (frame % 1000) * 20 : -std::int16_t((frame % 500) * 30));
}

class CdTest : public audiotest::ManualClockTest {
protected:
    void SetUp() override
    {
        ManualClockTest::SetUp();
        m_cue = audiotest::tempDir() + "/disc.cue";
        std::ofstream bin(audiotest::tempDir() + "/disc.bin", std::ios::binary);
        const std::size_t frames1 = std::size_t(kTrack1Sectors) * kSector / 4;
        for (std::size_t i = 0; i < frames1; ++i)
            for (int side = 0; side < 2; ++side) {
                const std::int16_t s = track1Sample(i, side);
                const char b[2] = {char(s & 0xFF), char((s >> 8) & 0xFF)};
                bin.write(b, 2);
            }
        const std::size_t frames2 = std::size_t(kTrack2Sectors) * kSector / 4;
        for (std::size_t i = 0; i < frames2 * 2; ++i) {
            const std::int16_t s = 16384;
            const char b[2] = {char(s & 0xFF), char((s >> 8) & 0xFF)};
            bin.write(b, 2);
        }
        std::ofstream cue(m_cue);
        cue << "FILE \"disc.bin\" BINARY\n"
               "  TRACK 01 AUDIO\n"
               "    INDEX 01 00:00:00\n"
               "  TRACK 02 AUDIO\n"
               "    INDEX 01 00:02:00\n";
    }
    std::string m_cue;
};

}  // namespace

TEST_F(CdTest, TrackOfAnImageHasItsExactLengthAndSamples)
{
    const Handle h = cdStreamCreateFile(m_cue + "/Track01.cda", kStreamDecode | kStreamCd);
    ASSERT_NE(h, 0u) << lastError();
    EXPECT_EQ(getLength(h), std::int64_t(kTrack1Sectors) * kSector);
    ChannelInfo info{};
    ASSERT_TRUE(getChannelInfo(h, &info));
    EXPECT_EQ(info.rateHz, 44100);
    EXPECT_EQ(info.channels, 2);
    ASSERT_TRUE(setPosition(h, 12345 * 4));
    std::int16_t pcm[2000];
    ASSERT_EQ(getData(h, pcm, sizeof pcm), int(sizeof pcm));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(pcm[i * 2], track1Sample(12345 + std::size_t(i), 0)) << i;
        ASSERT_EQ(pcm[i * 2 + 1], track1Sample(12345 + std::size_t(i), 1)) << i;
    }
    streamFree(h);
}

TEST_F(CdTest, SecondTrackPlaysAndEnds)
{
    // Any case of the track name, as the playlist may hold it.
    const Handle h = cdStreamCreateFile(m_cue + "/TRACK02.CDA", kStreamCd);
    ASSERT_NE(h, 0u) << lastError();
    EXPECT_EQ(getLength(h), std::int64_t(kTrack2Sectors) * kSector);
    ASSERT_TRUE(play(h, false));
    const auto mix = render(44100 - 1);
    EXPECT_NEAR(mix[1000 * 2], 0.5f, 1e-3f);
    EXPECT_EQ(isActive(h), kPlaying);
    render(2);
    EXPECT_EQ(isActive(h), kStopped);
    streamFree(h);
}

TEST_F(CdTest, MissingTrackOrDriveFails)
{
    EXPECT_EQ(cdStreamCreateFile(m_cue + "/Track03.cda", 0), 0u);
    EXPECT_EQ(lastError(), kErrorCdTrack);
    EXPECT_EQ(cdStreamCreateFile(audiotest::tempDir() + "/nothing.cue/Track01.cda", 0), 0u);
    EXPECT_EQ(lastError(), kErrorCdTrack);
    EXPECT_EQ(cdStreamCreateFile(m_cue + "/song.mp3", 0), 0u);
    EXPECT_NE(lastError(), kOk);
}
