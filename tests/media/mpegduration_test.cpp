// MP3 lengths from the frame headers are exactly those the audio library's stream counts, over
// files of every MPEG version, rate and mode made by two encoders, with and without info frames and
// tags; damaged and unusual files are left to the library.
#include "mediafixtures.h"

#include "audiolib/audiolib.h"
#include "media/mpegduration.h"
#include "media/tag.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace mediatest;

namespace {

class MpegDuration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0)); }
    void TearDown() override { audiolib::freeDevice(); }

    // An encoding of a tone by ffmpeg; "" when ffmpeg is missing.
    std::string encode(const std::string& name, double seconds, int rate, int channels, const std::string& codecArgs)
    {
        const std::string path = dir.path() + "/" + name;
        const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i \"sine=frequency=440:sample_rate=" +
                                std::to_string(rate) + ":duration=" + std::to_string(seconds) + "\" -ac " +
                                std::to_string(channels) + " " + codecArgs + " \"" + path + "\" >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0 ? path : std::string();
    }
    // The library's own length, in seconds, as the duration is measured without the headers.
    static double libraryLength(const std::string& path)
    {
        const audiolib::Handle stream = audiolib::streamCreateFile(path, audiolib::kStreamDecode);
        if (stream == 0)
            return -1;
        const double seconds = audiolib::bytesToSeconds(stream, audiolib::getLength(stream));
        audiolib::streamFree(stream);
        return seconds;
    }
    static std::int32_t libraryMs(const std::string& path)
    {
        const double seconds = libraryLength(path);
        const double ms = static_cast<double>(static_cast<float>(seconds)) * 1000.0;
        return ms > 0 ? static_cast<std::int32_t>(ms) : 0;
    }
    // The headers answer, with the library's length to the sample, and the same duration.
    void expectExact(const std::string& path)
    {
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
        const std::optional<media::MpegLength> length = media::MpegLengthFromHeaders(path);
        ASSERT_TRUE(length.has_value()) << path;
        EXPECT_EQ(static_cast<double>(length->samples) / length->rateHz, libraryLength(path)) << path;
        EXPECT_EQ(media::GetFileDurationMs(path), libraryMs(path)) << path;
    }
    // The headers do not answer; the duration is still the library's.
    void expectLeftToTheLibrary(const std::string& path)
    {
        EXPECT_FALSE(media::MpegLengthFromHeaders(path).has_value()) << path;
        EXPECT_EQ(media::GetFileDurationMs(path), libraryMs(path)) << path;
    }
    std::string copyWith(const std::string& from, const std::string& name, const std::function<void(std::string&)>& change)
    {
        std::string bytes = readFile(from);
        change(bytes);
        return dir.write(name, bytes);
    }

    TempDir dir;
};

}  // namespace

TEST_F(MpegDuration, EveryVersionRateAndModeOfLame)
{
    expectExact(encode("cbr44s.mp3", 3.1, 44100, 2, "-c:a libmp3lame -b:a 128k"));
    expectExact(encode("vbr44s.mp3", 4.2, 44100, 2, "-c:a libmp3lame -q:a 2"));
    expectExact(encode("cbr48.mp3", 2.0, 48000, 2, "-c:a libmp3lame -b:a 320k"));
    expectExact(encode("cbr32m.mp3", 1.7, 32000, 1, "-c:a libmp3lame -b:a 64k"));
    expectExact(encode("mpeg2.mp3", 2.3, 22050, 1, "-c:a libmp3lame -b:a 32k"));
    expectExact(encode("mpeg2s.mp3", 2.3, 24000, 2, "-c:a libmp3lame -b:a 64k"));
    expectExact(encode("mpeg25.mp3", 1.9, 8000, 1, "-c:a libmp3lame -b:a 16k"));
    expectExact(encode("mpeg25b.mp3", 4.0, 11025, 2, "-c:a libmp3lame -q:a 5"));
    expectExact(encode("lr.mp3", 2.0, 44100, 2, "-c:a libmp3lame -b:a 160k -joint_stereo 0"));
    expectExact(encode("long.mp3", 61.0, 44100, 2, "-c:a libmp3lame -q:a 4"));
    expectExact(encode("short.mp3", 0.2, 44100, 2, "-c:a libmp3lame -b:a 128k"));
}

TEST_F(MpegDuration, WithoutInfoFrameWithTagsAndWithAnotherEncoder)
{
    expectExact(encode("noinfo.mp3", 2.5, 44100, 2, "-c:a libmp3lame -b:a 128k -write_xing 0"));
    expectExact(encode("noinfovbr.mp3", 2.5, 44100, 2, "-c:a libmp3lame -q:a 3 -write_xing 0"));
    expectExact(encode("tags.mp3", 2.5, 44100, 2,
                       "-c:a libmp3lame -b:a 128k -id3v2_version 3 -write_id3v1 1 -metadata title=Song -metadata artist=Band"));
    expectExact(encode("v24.mp3", 2.5, 44100, 2, "-c:a libmp3lame -b:a 96k -id3v2_version 4 -metadata title=Four"));
    expectExact(encode("v1only.mp3", 2.5, 44100, 2, "-c:a libmp3lame -b:a 96k -id3v2_version 0 -write_id3v1 1"));
    expectExact(encode("shine.mp3", 2.5, 44100, 2, "-c:a libshine -b:a 128k"));
    expectExact(encode("shine32.mp3", 2.5, 32000, 1, "-c:a libshine -b:a 64k"));
}

TEST_F(MpegDuration, InfoFramesOfOtherShapesCountAsTheLibraryCountsThem)
{
    const std::string cbr = encode("base.mp3", 3.0, 44100, 2, "-c:a libmp3lame -b:a 128k -id3v2_version 0");
    ASSERT_FALSE(cbr.empty());
    // The encoder fields written by LAME itself, and a frame count that is wrong by some frames
    // (an edited file): the padding is cut where the count puts it.
    const std::size_t info = 36;  // MPEG 1 stereo: after the header and the side information
    ASSERT_EQ(readFile(cbr).substr(info, 4), "Info");
    expectExact(copyWith(cbr, "lame.mp3", [&](std::string& b) { b.replace(info + 120, 4, "LAME"); }));
    for (int wrong : {-3, -1, 1, 5}) {
        expectExact(copyWith(cbr, "count" + std::to_string(wrong) + ".mp3", [&](std::string& b) {
            auto* p = reinterpret_cast<unsigned char*>(&b[info + 8]);
            std::uint32_t frames = (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
            frames = static_cast<std::uint32_t>(static_cast<std::int64_t>(frames) + wrong);
            for (int i = 0; i < 4; ++i)
                p[i] = static_cast<unsigned char>(frames >> (24 - 8 * i));
        }));
    }
    // An encoder the stream does not take delays from: nothing is cut.
    expectExact(copyWith(cbr, "other.mp3", [&](std::string& b) { b.replace(info + 120, 4, "GOGO"); }));
}

TEST_F(MpegDuration, DamagedAndUnusualFilesAreLeftToTheLibrary)
{
    const std::string good = encode("good.mp3", 3.0, 44100, 2, "-c:a libmp3lame -b:a 128k -id3v2_version 3 -metadata title=T");
    ASSERT_FALSE(good.empty());
    const std::string bytes = readFile(good);
    const std::size_t tagEnd = bytes.find("\xFF\xFB");
    ASSERT_NE(tagEnd, std::string::npos);
    const std::size_t frame = 417;  // 128 kbit/s at 44.1 kHz without padding
    expectLeftToTheLibrary(copyWith(good, "cut.mp3", [](std::string& b) { b.resize(b.size() - 100); }));
    expectLeftToTheLibrary(copyWith(good, "junk.mp3", [&](std::string& b) { b.insert(tagEnd + 20 * frame, "junkjunk"); }));
    expectLeftToTheLibrary(copyWith(good, "gap.mp3", [&](std::string& b) { b.insert(tagEnd, std::string(64, '\0')); }));
    expectLeftToTheLibrary(copyWith(good, "twotags.mp3", [&](std::string& b) { b.insert(tagEnd, b.substr(0, tagEnd)); }));
    expectLeftToTheLibrary(copyWith(good, "ape.mp3", [](std::string& b) { b += "APETAGEX" + std::string(24, '\0'); }));
    expectLeftToTheLibrary(copyWith(good, "tail.mp3", [](std::string& b) { b += "trailing bytes"; }));
    // Two files one after the other: the second info frame is a frame like any, but the size the
    // first one gives is half the file.
    const std::string plain = encode("plain.mp3", 2.0, 44100, 2, "-c:a libmp3lame -b:a 128k -id3v2_version 0");
    ASSERT_FALSE(plain.empty());
    expectLeftToTheLibrary(copyWith(plain, "twice.mp3", [](std::string& b) { b += b; }));
    // Not MPEG at all, or nothing.
    expectLeftToTheLibrary(dir.write("wave.mp3", wavFile(2, 44100, 16, 44100 * 4)));
    expectLeftToTheLibrary(dir.write("empty.mp3", ""));
    expectLeftToTheLibrary(dir.write("text.mp3", std::string(3000, 't')));
    EXPECT_FALSE(media::MpegLengthFromHeaders(dir.path() + "/missing.mp3").has_value());
}

TEST_F(MpegDuration, TruncatedAndRandomBytesNeverReadPastTheFile)
{
    const std::string good = encode("fuzz.mp3", 1.0, 22050, 1, "-c:a libmp3lame -q:a 6 -id3v2_version 3 -metadata title=F");
    ASSERT_FALSE(good.empty());
    const std::string bytes = readFile(good);
    unsigned seed = 7;
    for (std::size_t cut = 0; cut < bytes.size(); cut += 37) {
        std::string damaged = bytes.substr(0, cut);
        for (int k = 0; k < 3 && !damaged.empty(); ++k) {
            seed = seed * 1103515245u + 12345u;
            damaged[(seed >> 8) % damaged.size()] = static_cast<char>(seed >> 16);
        }
        const std::string path = dir.write("damaged.mp3", damaged);
        if (const auto length = media::MpegLengthFromHeaders(path)) {
            EXPECT_EQ(static_cast<double>(length->samples) / length->rateHz, libraryLength(path)) << cut;
        }
    }
}
