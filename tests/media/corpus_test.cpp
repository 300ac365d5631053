// Every reader over random, truncated and bit-flipped files: no crash, no hang, no read outside a
// buffer (the sanitizer build checks the last). Deterministic, so a failure can be replayed.
#include "mediafixtures.h"

#include "media/oggvorbis.h"
#include "media/tag.h"
#include "platform/recordedusermessages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using namespace mediatest;

namespace {

std::vector<std::string> seeds()
{
    const std::string id3 = id3v2Tag(3, {id3v2Frame("TIT2", std::string(1, '\0') + "Title"),
                                         id3v2Frame("COMM", std::string("\1eng", 4) + "\xFF\xFE" + utf16le(u"d") + utf16le(u"text")),
                                         id3v2Frame("WXXX", std::string(1, '\0') + "d" + std::string(1, '\0') + "u")},
                                     30);
    const std::string id3v22 = id3v2Tag(2, {id3v22Frame("TT2", std::string(1, '\0') + "t"), id3v22Frame("COM", "\0eng\0c")});
    std::string xing = Bytes().zeros(32).str("Xing").be32(15).be32(10).be32(4000).zeros(120).data;
    return {
        id3 + mpegFrames(12, 0x90, 0x00, xing) + id3v1Tag("T", "A", "B", "1999", "c", 2, 17),
        id3v22 + mpegFrames(6, 0xE8, 0xC0, Bytes().zeros(17).str("VBRI").zeros(20).data) + "LAME3.99",
        wavFile(2, 44100, 16, 200),
        Bytes().str("RIFF").le32(80).str("WAVE").str("fmt ").le32(18).zeros(18).str("fact").le32(4).le32(9).str("data").le32(8).zeros(8).data,
        oggVorbisFile({"TITLE=t", "ARTIST=a", "TRACKNUMBER=3/12", "COMMENT=" + std::string(300, 'c')}, 4410),
        id3 + oggVorbisFile({"DESCRIPTION=d"}),
        asfHeader({asfFileProperties(128000), asfStreamProperties(2, 44100, 16000),
                   asfContentDescription(u"T", u"A", u"", u"D", u""),
                   asfExtendedContentDescription({{u"WM/AlbumTitle", 0, utf16le(u"Al")}, {u"WM/Track", 3, "\1\0\0\0"}})},
                  std::string(64, 'd')),
    };
}

class ReaderCorpus : public ::testing::Test {
protected:
    void SetUp() override { platform::setUserMessages(&messages); }
    void TearDown() override { platform::setUserMessages(nullptr); }

    // All readers, the Ogg rewrite and the playlist reader over one input.
    void exercise(const std::string& bytes)
    {
        const std::string path = dir.write("f.bin", bytes);
        sink += runAllReaders(path);
        media::TOggVorbis ogg;
        if (ogg.ReadInfo(path)) {
            ogg.Title = "rewritten";
            ogg.Track = 9;
            if (ogg.WriteTag(path)) {
                media::TOggVorbis again;
                EXPECT_TRUE(again.ReadInfo(path));
                EXPECT_EQ(again.Title, "rewritten");
            }
        }
        const std::string playlist = dir.write("p.m3u", "#EXTM3U\n" + bytes);
        sink += static_cast<std::uint64_t>(media::LoadM3UPlaylist(playlist, records));
        sink += static_cast<std::uint64_t>(media::GetM3UTotalSeconds(playlist));
    }

    TempDir dir;
    platform::RecordedUserMessages messages;
    std::array<media::TTrackRecord, 16> records{};
    std::uint64_t sink = 0;
    std::mt19937 rng{20261208};
};

TEST_F(ReaderCorpus, TruncatedSeeds)
{
    for (const std::string& seed : seeds()) {
        // Every length near the start, where the headers are, then a coarser step.
        for (std::size_t n = 0; n < seed.size(); n += (n < 300 ? 1 : 131))
            exercise(seed.substr(0, n));
    }
    EXPECT_GT(sink, 0u);
}

TEST_F(ReaderCorpus, BitFlippedSeeds)
{
    for (const std::string& seed : seeds()) {
        std::uniform_int_distribution<std::size_t> limit(0, std::min<std::size_t>(seed.size() - 1, 700));
        std::uniform_int_distribution<std::size_t> anywhere(0, seed.size() - 1);
        for (int round = 0; round < 160; ++round) {
            std::string mutated = seed;
            const int flips = 1 + round % 4;
            for (int f = 0; f < flips; ++f) {
                // Mostly in the headers, sometimes anywhere; sometimes a whole byte.
                const std::size_t at = (round % 3 == 0) ? anywhere(rng) : limit(rng);
                if (round % 5 == 0)
                    mutated[at] = static_cast<char>(rng() & 0xFF);
                else
                    mutated[at] = static_cast<char>(mutated[at] ^ (1 << (rng() % 8)));
            }
            exercise(mutated);
        }
    }
    EXPECT_GT(sink, 0u);
}

TEST_F(ReaderCorpus, RandomFilesWithAndWithoutMagic)
{
    const std::vector<std::string> magics = {"",      "ID3\3\0\0", "ID3\2\0\x10", "OggS", "RIFF",
                                             "\xFF\xFB\x90", "TAG", asfGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C)};
    std::uniform_int_distribution<std::size_t> size(0, 6000);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 400; ++round) {
        std::string bytes(size(rng), '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng() % (round % 2 ? 256 : 4) * (round % 2 ? 1 : 85));
        const std::string& magic = magics[static_cast<std::size_t>(round) % magics.size()];
        if (magic == "TAG" && bytes.size() >= 128)
            bytes.replace(bytes.size() - 128, 3, magic);
        else
            bytes = magic + bytes;
        exercise(bytes);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
