// Damaged input: random bytes, truncated files and files corrupt in the middle either fail to
// open with an error number or play up to the damage and end; never a crash, a hang or a stream
// that never ends.
#include <fstream>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "manualclocktest.h"

using namespace audiolib;

namespace {

std::vector<char> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

class BadInputTest : public audiotest::ManualClockTest {
protected:
    // Opens the file; when it opens, it must play to an end within its stated length (plus a
    // second of slack) and decode to an end as well.
    void openPlayAndEnd(const std::string& path, const std::string& what)
    {
        SCOPED_TRACE(what);
        const Handle h = streamCreateFile(path, 0);
        if (h == 0) {
            EXPECT_NE(lastError(), kOk) << "a failed open names its error";
            return;
        }
        const std::int64_t length = getLength(h);
        ASSERT_GE(length, 0);
        ASSERT_TRUE(play(h, false));
        const std::int64_t limit = length / 4 + 44100;
        std::int64_t rendered = 0;
        while (isActive(h) != kStopped && rendered < limit) {
            render(8192);
            rendered += 8192;
        }
        EXPECT_EQ(isActive(h), kStopped) << "the stream ends";
        streamFree(h);

        const Handle d = streamCreateFile(path, kStreamDecode);
        ASSERT_NE(d, 0u) << "it opened once, it opens again";
        std::vector<char> buf(65536);
        std::int64_t total = 0;
        for (int i = 0; i < 10000 && isActive(d) == kPlaying; ++i) {
            const int got = getData(d, buf.data(), std::uint32_t(buf.size()));
            if (got <= 0)
                break;
            total += got;
        }
        EXPECT_EQ(isActive(d), kStopped);
        EXPECT_LE(total, getLength(d));
        streamFree(d);
    }
};

const char* kMusic = "aevalsrc=0.4*sin(2*PI*330*t)|0.4*sin(2*PI*550*t):s=44100:d=1.5";

}  // namespace

TEST_F(BadInputTest, RandomBytesBehindEveryKindOfHeader)
{
    std::mt19937 rng(20261208);
    const std::vector<std::string> heads = {"", "ID3\x03\x00\x00\x00\x00\x00\x10", "RIFF\x24\x08\x00\x00WAVEfmt ",
                                            "OggS\x00\x02", std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8),
                                            std::string("\xFF\xFB\x90\x64", 4), "fLaC"};
    int n = 0;
    for (const auto& head : heads)
        for (std::size_t size : {0u, 7u, 600u, 20000u}) {
            std::vector<char> bytes(head.begin(), head.end());
            for (std::size_t i = 0; i < size; ++i)
                bytes.push_back(char(rng()));
            const std::string path = audiotest::tempDir() + "/random" + std::to_string(n++) + ".mp3";
            writeFile(path, bytes);
            openPlayAndEnd(path, path);
        }
}

TEST_F(BadInputTest, WhatIsNoRegularFileFailsToOpenWithoutWaiting)
{
    // A pipe would hold the open (and the window that plays or measures) until a writer came;
    // /dev/zero would decode for ever.
    const std::string pipe = audiotest::tempDir() + "/pipe.mp3";
    ::unlink(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero"), audiotest::tempDir()}) {
        for (const std::uint32_t flags : {0u, std::uint32_t(kStreamDecode)}) {
            EXPECT_EQ(streamCreateFile(path, flags), 0u) << path;
            EXPECT_EQ(lastError(), kErrorFileOpen) << path;
        }
    }
}

TEST_F(BadInputTest, TruncatedAndCorruptFilesOfEveryFormat)
{
    const std::vector<std::pair<std::string, std::string>> formats = {
        {"bad.mp3", "-c:a libmp3lame -b:a 128k"}, {"bad.wav", "-c:a pcm_s16le"},
        {"bad.ogg", "-c:a libvorbis -q:a 2"}, {"bad.wma", "-c:a wmav2 -b:a 64k"}};
    std::mt19937 rng(7);
    for (const auto& [name, encoder] : formats) {
        const std::string good = audiotest::makeFile(name, kMusic, encoder);
        ASSERT_FALSE(good.empty());
        const auto bytes = readFile(good);
        for (double cut : {0.02, 0.1, 0.5, 0.93}) {
            std::vector<char> part(bytes.begin(), bytes.begin() + std::ptrdiff_t(double(bytes.size()) * cut));
            const std::string path = audiotest::tempDir() + "/cut" + std::to_string(int(cut * 100)) + "_" + name;
            writeFile(path, part);
            openPlayAndEnd(path, path);
        }
        for (int round = 0; round < 3; ++round) {
            auto damaged = bytes;
            const std::size_t from = damaged.size() / 3 + std::size_t(round) * 97;
            for (std::size_t i = from; i < from + damaged.size() / 5 && i < damaged.size(); ++i)
                damaged[i] = char(rng());
            const std::string path = audiotest::tempDir() + "/corrupt" + std::to_string(round) + "_" + name;
            writeFile(path, damaged);
            openPlayAndEnd(path, path);
        }
    }
}

TEST_F(BadInputTest, ChannelCountChangingMidStream)
{
    // Two MP3 files back to back, the second mono: the decoder changes format between frames.
    const std::string stereo = audiotest::makeFile("st.mp3", kMusic, "-c:a libmp3lame -b:a 128k -write_xing 0");
    const std::string mono =
        audiotest::makeFile("mo.mp3", "sine=frequency=500:sample_rate=44100:duration=1", "-ac 1 -c:a libmp3lame -b:a 64k -write_xing 0");
    ASSERT_FALSE(stereo.empty());
    ASSERT_FALSE(mono.empty());
    auto bytes = readFile(stereo);
    const auto tail = readFile(mono);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    const std::string path = audiotest::tempDir() + "/stereo_then_mono.mp3";
    writeFile(path, bytes);
    openPlayAndEnd(path, path);
    const Handle h = streamCreateFile(path, kStreamDecode);
    ASSERT_NE(h, 0u);
    EXPECT_GT(bytesToSeconds(h, getLength(h)), 2.0) << "both parts count";
    streamFree(h);
}
