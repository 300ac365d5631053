// The silence scan over generated 16-bit PCM: where the start and the tail land, and that the
// walks keep to their blocks, and that the tail windows miss no sound.
#include "engine/silencescan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace engine {
namespace {

// Stereo 44.1 kHz PCM from memory, read the way a decode stream reads.
class BufferReader : public PcmReader {
public:
    explicit BufferReader(std::vector<std::int16_t> samples) : m_samples(std::move(samples)) {}

    bool isActive() override { return m_pos < lengthBytes(); }
    int read(void* buffer, int bytes) override
    {
        const std::int64_t n = std::min<std::int64_t>(bytes, lengthBytes() - m_pos);
        if (n <= 0)
            return 0;
        std::memcpy(buffer, reinterpret_cast<const char*>(m_samples.data()) + m_pos, static_cast<std::size_t>(n));
        m_pos += n;
        return static_cast<int>(n);
    }
    bool setPosition(std::int64_t bytes) override
    {
        if (bytes < 0 || bytes > lengthBytes())
            return false;
        m_pos = bytes;
        return true;
    }
    std::int64_t lengthBytes() override { return static_cast<std::int64_t>(m_samples.size()) * 2; }
    double bytesToSeconds(std::int64_t bytes) override { return bytes / (44100.0 * 4); }

private:
    std::vector<std::int16_t> m_samples;
    std::int64_t m_pos = 0;
};

// samples[from, to) rising linearly from a to b.
void ramp(std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, double a, double b)
{
    for (std::size_t i = from; i < to; ++i)
        samples[i] = static_cast<std::int16_t>(a + (b - a) * double(i - from) / double(to - from - 1));
}

TEST(SilenceScan, WhollySilentTrackStartsAtItsEndWithNoTail)
{
    std::vector<std::int16_t> samples(150000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(i % 2 ? 400 : -400);  // noise under the threshold
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.startBytes, 300000);
    EXPECT_EQ(r.lengthBytes, 300000);
    EXPECT_EQ(r.tailBytes, 0);
    EXPECT_FLOAT_EQ(r.tailSeconds, 0.0f);
    EXPECT_NEAR(r.startSeconds, 300000 / (44100.0 * 4), 1e-6);
}

TEST(SilenceScan, FadeInStartsAtLastSampleAtOrBelowAQuarterOfTheThreshold)
{
    // Silence, then a fade-in from 100 to 600 lying inside the second 20000-byte block, then sound.
    std::vector<std::int16_t> samples(60000, 0);
    ramp(samples, 12000, 13000, 100, 600);
    std::fill(samples.begin() + 13000, samples.end(), 600);
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    const auto firstLoud = std::find_if(samples.begin(), samples.end(), [](int s) { return s > 500; });
    auto lastQuiet = firstLoud;
    while (*lastQuiet > 125)
        --lastQuiet;
    EXPECT_EQ(r.startBytes, 2 * (lastQuiet - samples.begin()));
    EXPECT_GT(r.startBytes, 2 * 12000);  // the 100..125 part of the ramp is passed over
}

TEST(SilenceScan, WalkBackStopsAtTheStartOfTheBlockHoldingTheLoudSample)
{
    // The fade begins 10 samples before the second block; everything there is above 125.
    std::vector<std::int16_t> samples(40000, 0);
    ramp(samples, 9990, 10060, 200, 600);
    std::fill(samples.begin() + 10060, samples.end(), 600);
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.startBytes, 20000);
}

TEST(SilenceScan, TailEndsAfterTheLastSampleAboveHalfTheThreshold)
{
    // 400000 bytes; sound up to byte 320000 (its last samples at 300, above 500 / 2), then zeros.
    std::vector<std::int16_t> samples(200000, 0);
    std::fill(samples.begin(), samples.begin() + 159990, 8000);
    std::fill(samples.begin() + 159990, samples.begin() + 160000, 300);
    std::fill(samples.begin() + 160000, samples.begin() + 160100, 200);
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.startBytes, 0);
    EXPECT_EQ(r.lengthBytes, 400000);
    EXPECT_EQ(r.tailBytes, 80000);
    EXPECT_NEAR(r.tailSeconds, 80000 / (44100.0 * 4), 1e-6);
}

TEST(SilenceScan, TailWindowsFurtherBackAreReadOnlyUntilSoundIsFound)
{
    // Sound ends six windows from the end: the empty windows after it are passed over.
    std::vector<std::int16_t> samples(250000, 0);
    std::fill(samples.begin(), samples.begin() + 110000, 8000);
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.tailBytes, 500000 - 220000);
}

TEST(SilenceScan, SoundUpToTheLastSampleLosesNothing)
{
    // A hard ending: the last bytes of the file are sound, and none of them is cut.
    for (const std::size_t samplesCount : {200000u, 123457u, 20000u}) {
        std::vector<std::int16_t> samples(samplesCount, 8000);
        BufferReader reader(samples);
        const TrimResult r = scanSilence(reader, 500);
        EXPECT_EQ(r.tailBytes, 0) << samplesCount;
        EXPECT_FLOAT_EQ(r.tailSeconds, 0.0f) << samplesCount;
    }
}

TEST(SilenceScan, ShortBurstsAnywhereInTheTailAreFound)
{
    // One loud burst of 100 samples at every place in the last 100000 samples: the cut never
    // falls before it.
    for (std::size_t at = 100000; at < 200000; at += 7919) {
        std::vector<std::int16_t> samples(200000, 0);
        std::fill(samples.begin(), samples.begin() + 1000, 8000);
        std::fill(samples.begin() + static_cast<std::ptrdiff_t>(at),
                  samples.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(at + 100, 200000)), 8000);
        BufferReader reader(samples);
        const TrimResult r = scanSilence(reader, 500);
        EXPECT_EQ(r.tailBytes, 400000 - 2 * static_cast<std::int32_t>(std::min<std::size_t>(at + 100, 200000))) << at;
    }
}

TEST(SilenceScan, CutPointNeverLiesBeforeTheStart)
{
    // A hum between T/2 and T and nothing louder: the whole track is leading silence, and the end
    // walk, which finds the hum, must not put the cut before the start.
    std::vector<std::int16_t> samples(200000, 0);
    std::fill(samples.begin() + 160000, samples.begin() + 161000, 300);
    BufferReader reader(samples);
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.startBytes, 400000);
    EXPECT_EQ(r.tailBytes, 0);
    EXPECT_LE(r.startBytes + r.tailBytes, r.lengthBytes);
}

TEST(SilenceScan, EmptyInputGivesZeros)
{
    BufferReader reader({});
    const TrimResult r = scanSilence(reader, 500);
    EXPECT_EQ(r.startBytes, 0);
    EXPECT_EQ(r.tailBytes, 0);
    EXPECT_EQ(r.lengthBytes, 0);
}

}  // namespace
}  // namespace engine
