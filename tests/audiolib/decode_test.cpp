// Every file format decodes to the reference decoding's length (within one frame), and a seek
// lands on the sample it names.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "audiolib/audiolib.h"
#include "audiolib/ffmpegsource.h"
#include "audiotest.h"

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/avutil.h>
}

using namespace audiolib;

namespace {

struct Format {
    const char* name;
    const char* file;
    const char* encoder;
    bool sampleAccurateSeek;  // WMA's container keeps time in milliseconds
    int codecFrame;           // frames per codec frame, the tolerance against the nominal length
};

// A two-tone chirp: no stretch of it repeats, so a seek that lands elsewhere shows.
const char* kChirp = "aevalsrc=0.5*sin(2*PI*(200+800*t)*t)|0.5*sin(2*PI*(300+500*t)*t):s=44100:d=2.3";
constexpr std::int64_t kNominalFrames = 101430;  // 2.3 s

class DecodeTest : public ::testing::TestWithParam<Format> {
protected:
    static void SetUpTestSuite() { setManualClock(true); }
    void SetUp() override
    {
        m_path = audiotest::makeFile(GetParam().file, kChirp, GetParam().encoder);
        ASSERT_FALSE(m_path.empty()) << "ffmpeg could not make " << GetParam().file;
    }
    std::string m_path;
};

std::vector<float> readAll(Handle h)
{
    std::vector<float> out;
    std::vector<float> buf(8192);
    for (;;) {
        const int got = getData(h, buf.data(), std::uint32_t(buf.size() * sizeof(float)));
        if (got <= 0)
            break;
        out.insert(out.end(), buf.begin(), buf.begin() + got / 4);
    }
    return out;
}

}  // namespace

TEST_P(DecodeTest, LengthMatchesTheDecodingWithinOneFrame)
{
    const Handle h = streamCreateFile(m_path, kStreamDecode | kSampleFloat);
    ASSERT_NE(h, 0u) << lastError();
    const auto reference = audiotest::referenceDecode(m_path);
    ASSERT_FALSE(reference.empty());
    const std::int64_t refFrames = std::int64_t(reference.size() / 2);
    const std::int64_t length = getLength(h);
    ASSERT_GT(length, 0);
    EXPECT_EQ(length % 8, 0) << "whole float stereo frames";
    const std::int64_t frames = length / 8;
    EXPECT_LE(std::llabs(frames - refFrames), GetParam().codecFrame) << "reference decodes " << refFrames;
    // What the stream delivers is what it said it would.
    const auto decoded = readAll(h);
    EXPECT_LE(std::llabs(std::int64_t(decoded.size() / 2) - frames), GetParam().codecFrame);
    EXPECT_EQ(isActive(h), kStopped) << "a decode stream read to its end is no longer active";
    // And it is the file's nominal length, to one codec frame.
    EXPECT_LE(std::llabs(frames - kNominalFrames), 2 * GetParam().codecFrame);
    EXPECT_NEAR(bytesToSeconds(h, length), 2.3, 2.0 * GetParam().codecFrame / 44100.0);
    streamFree(h);
}

TEST_P(DecodeTest, SeekLandsOnTheSampleItNames)
{
    const Handle h = streamCreateFile(m_path, kStreamDecode | kSampleFloat);
    ASSERT_NE(h, 0u) << lastError();
    const auto all = readAll(h);
    for (std::int64_t target : {0LL, 777LL, 30011LL, 77777LL}) {
        // An odd byte position rounds down to its frame.
        ASSERT_TRUE(setPosition(h, target * 8 + 5)) << target;
        EXPECT_EQ(getPosition(h), target * 8);
        std::vector<float> got(2000);
        ASSERT_EQ(getData(h, got.data(), std::uint32_t(got.size() * 4)), int(got.size() * 4));
        EXPECT_EQ(getPosition(h), (target + 1000) * 8);
        // Find where the samples really came from.
        std::int64_t best = -1;
        double bestErr = 1e9;
        for (std::int64_t off = -3000; off <= 3000; ++off) {
            const std::int64_t start = target + off;
            if (start < 0 || std::size_t(start + 1000) * 2 > all.size())
                continue;
            double err = 0;
            for (int i = 0; i < 2000; i += 5)
                err += std::fabs(got[std::size_t(i)] - all[std::size_t(start) * 2 + std::size_t(i)]);
            if (err < bestErr) {
                bestErr = err;
                best = off;
            }
        }
        if (GetParam().sampleAccurateSeek)
            EXPECT_EQ(best, 0) << "seek to " << target << " (error " << bestErr << ")";
        else
            EXPECT_LE(std::llabs(best), 45) << "within a millisecond, seek to " << target;
        EXPECT_LT(bestErr, 1.0);
    }
    EXPECT_FALSE(setPosition(h, getLength(h) + 8));
    EXPECT_EQ(lastError(), kErrorPosition);
    streamFree(h);
}

TEST_P(DecodeTest, SixteenBitPcmIsTheDefault)
{
    const Handle h = streamCreateFile(m_path, kStreamDecode);
    ASSERT_NE(h, 0u);
    ChannelInfo info{};
    ASSERT_TRUE(getChannelInfo(h, &info));
    EXPECT_EQ(info.rateHz, 44100);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(getLength(h) % 4, 0);
    EXPECT_EQ(secondsToBytes(h, 1.0), 44100 * 4);
    EXPECT_EQ(secondsToBytes(h, 1.0e300), -1) << "too large for a byte count";
    EXPECT_EQ(lastError(), kErrorParameter);
    std::int16_t buf[4000];
    ASSERT_EQ(getData(h, buf, sizeof buf), int(sizeof buf));
    int loud = 0;
    for (std::int16_t s : buf)
        loud = std::max(loud, std::abs(int(s)));
    EXPECT_GT(loud, 8000);
    EXPECT_LT(loud, 20000);
    streamFree(h);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeTest,
    ::testing::Values(Format{"Mp3Cbr", "cbr.mp3", "-c:a libmp3lame -b:a 192k", true, 1152},
                      Format{"Mp3NoFrameCount", "noxing.mp3", "-c:a libmp3lame -b:a 128k -write_xing 0", true, 2304},
                      Format{"Mp3Vbr", "vbr.mp3", "-c:a libmp3lame -q:a 6", true, 1152},
                      Format{"Wav", "pcm.wav", "-c:a pcm_s16le", true, 0},
                      Format{"OggVorbis", "vorbis.ogg", "-c:a libvorbis -q:a 3", true, 1},
                      Format{"Wma", "wma2.wma", "-c:a wmav2 -b:a 128k", false, 2048}),
    [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

namespace {

// A demuxer whose seek lands elsewhere than asked: at the start, its packets telling nothing of
// where they lie (as a container without usable time stamps), or two seconds past the time asked
// for, with true time stamps.
class SeekLandsElsewhere : public FfmpegSource {
public:
    enum class Landing { AtTheStartUntimed, PastTheTarget };
    static std::unique_ptr<SeekLandsElsewhere> open(const std::string& path, Landing landing)
    {
        std::unique_ptr<SeekLandsElsewhere> source(new SeekLandsElsewhere(landing));
        int error = kOk;
        return source->init(path, &error) ? std::move(source) : nullptr;
    }

protected:
    int readPacket(AVPacket* packet) override
    {
        const int ret = FfmpegSource::readPacket(packet);
        if (ret >= 0 && m_seeked && m_landing == Landing::AtTheStartUntimed)
            packet->pts = packet->dts = AV_NOPTS_VALUE;
        return ret;
    }
    int seekDemuxer(std::int64_t timestamp) override
    {
        m_seeked = true;
        // A WAV's time base is one frame.
        return FfmpegSource::seekDemuxer(m_landing == Landing::AtTheStartUntimed ? 0 : timestamp + 2 * 44100);
    }

private:
    explicit SeekLandsElsewhere(Landing landing) : m_landing(landing) {}
    const Landing m_landing;
    bool m_seeked = false;
};

// Counts the packets its demuxer reads.
class CountsPackets : public FfmpegSource {
public:
    static std::unique_ptr<CountsPackets> open(const std::string& path)
    {
        std::unique_ptr<CountsPackets> source(new CountsPackets());
        int error = kOk;
        return source->init(path, &error) ? std::move(source) : nullptr;
    }
    int packetsRead = 0;

protected:
    int readPacket(AVPacket* packet) override
    {
        ++packetsRead;
        return FfmpegSource::readPacket(packet);
    }

private:
    CountsPackets() = default;
};

std::vector<float> readFrames(Source& source, int frames)
{
    std::vector<float> out(std::size_t(frames) * 2);
    out.resize(std::size_t(source.read(out.data(), frames, nullptr)) * 2);
    return out;
}

}  // namespace

TEST(SeekThatLandsElsewhere, StillGivesWhatAStraightDecodeHasAtTheFrame)
{
    setManualClock(true);
    const std::string wav = audiotest::makeFile("pcm.wav", kChirp, "-c:a pcm_s16le");
    ASSERT_FALSE(wav.empty());
    int error = kOk;
    const auto straight = FfmpegSource::open(wav, &error);
    ASSERT_TRUE(straight);
    const std::vector<float> all = readFrames(*straight, int(straight->lengthFrames()));
    for (const auto landing : {SeekLandsElsewhere::Landing::AtTheStartUntimed, SeekLandsElsewhere::Landing::PastTheTarget}) {
        const auto source = SeekLandsElsewhere::open(wav, landing);
        ASSERT_TRUE(source);
        // Forward, back, forward again from the frame reached, and the scan's last window.
        for (const std::int64_t target : {std::int64_t{30011}, std::int64_t{12345}, std::int64_t{60000}, std::int64_t{90000},
                                          straight->lengthFrames() - 12500}) {
            ASSERT_TRUE(source->seek(target)) << target;
            EXPECT_EQ(source->position(), target);
            const std::vector<float> got = readFrames(*source, 1000);
            ASSERT_EQ(got.size(), 2000u) << target;
            EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin() + std::ptrdiff_t(target) * 2))
                << "landing " << int(landing) << ", seek to " << target;
        }
    }
}

TEST(CountedFrames, AFileIsReadForItsFramesOnceWhileAStreamOfItIsOpen)
{
    const std::string mp3 = audiotest::makeFile("counted.mp3", kChirp, "-c:a libmp3lame -b:a 128k -write_xing 0");
    const std::string longer = audiotest::makeFile("longer.mp3", "sine=f=440:d=3.5", "-c:a libmp3lame -b:a 128k");
    ASSERT_FALSE(mp3.empty());
    ASSERT_FALSE(longer.empty());
    const auto first = CountsPackets::open(mp3);
    ASSERT_TRUE(first);
    ASSERT_GT(first->packetsRead, 85) << "2.3 s are 88 packets";
    const auto second = CountsPackets::open(mp3);
    ASSERT_TRUE(second);
    EXPECT_LT(second->packetsRead, 10) << "the open stream's count serves the second one";
    EXPECT_EQ(second->lengthFrames(), first->lengthFrames());
    // The same name written again is another file, counted anew.
    std::filesystem::copy_file(longer, mp3, std::filesystem::copy_options::overwrite_existing);
    const auto third = CountsPackets::open(mp3);
    ASSERT_TRUE(third);
    EXPECT_GT(third->packetsRead, 130);
    EXPECT_GT(third->lengthFrames(), first->lengthFrames() + 44100);
}

TEST(OpenFailure, MissingFileAndNonAudioFail)
{
    setManualClock(true);
    EXPECT_EQ(streamCreateFile("/nonexistent/folder/x.mp3", kStreamDecode), 0u);
    EXPECT_EQ(lastError(), kErrorFileOpen);
    const std::string text = audiotest::tempDir() + "/notes.mp3";
    FILE* f = std::fopen(text.c_str(), "w");
    std::fputs("This is a text file and not a song at all.\n", f);
    std::fclose(f);
    EXPECT_EQ(streamCreateFile(text, kStreamDecode), 0u);
    EXPECT_NE(lastError(), kOk);
    // Names are local files, never protocols.
    EXPECT_EQ(streamCreateFile("http://127.0.0.1:9/song.mp3", kStreamDecode), 0u);
    EXPECT_EQ(lastError(), kErrorFileOpen);
    const auto colon = audiotest::writeWav("a:b.wav", audiotest::sine(440, 0.1, 44100, 2), 44100, 2);
    const Handle c = streamCreateFile(colon, kStreamDecode);
    EXPECT_NE(c, 0u) << "a colon in a file name is just a character";
    streamFree(c);
    // Without an initialised device a playable stream cannot be made, a decode stream can.
    const auto wav = audiotest::writeWav("nodev.wav", audiotest::sine(440, 0.1, 44100, 2), 44100, 2);
    EXPECT_EQ(streamCreateFile(wav, 0), 0u);
    EXPECT_EQ(lastError(), kErrorNotInitialised);
    const Handle d = streamCreateFile(wav, kStreamDecode);
    EXPECT_NE(d, 0u);
    streamFree(d);
}
