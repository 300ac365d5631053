// TWMAfile: the header walk, content and extended content descriptions, the plausibility test.
#include "mediafixtures.h"

#include "media/wmafile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace mediatest;

namespace {

std::string dword(std::uint32_t v)
{
    return Bytes().le32(v).data;
}

const std::string kData(4000, 'd');

}  // namespace

TEST(WMAfile, DescriptionsAndDerivedValues)
{
    TempDir dir;
    const std::string file = asfHeader(
        {asfFileProperties(128000), asfStreamProperties(2, 44100, 16000),
         asfContentDescription(u"Title", u"Author", u"Rights", u"  Described  ", u"Rating"),
         asfExtendedContentDescription({{u"WM/TrackNumber", 3, dword(9)},  // a DWORD before the album
                                        {u"WM/AlbumTitle", 0, utf16le(u"Альбом")},
                                        {u"wm/track ", 0, utf16le(u" 7 ")},
                                        {u"WM/Year", 0, utf16le(u"2004")},
                                        {u"WM/Genre", 0, utf16le(u"Pop")},
                                        {u"WM/Title", 0, utf16le(u"Extended title")}})},
        kData);
    media::TWMAfile wma;
    ASSERT_TRUE(wma.ReadInfo(dir.write("a.wma", file)));
    ASSERT_TRUE(wma.Valid);
    EXPECT_EQ(wma.FileSize, static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(wma.ChannelModeId, 2);
    EXPECT_EQ(wma.ChannelModeName(), "Stereo");
    EXPECT_EQ(wma.SampleRate, 44100);
    EXPECT_EQ(wma.BitRate, 128);
    EXPECT_DOUBLE_EQ(wma.Duration, file.size() * 8.0 / 128000);
    EXPECT_EQ(wma.Title, "Extended title");  // the later object wins
    EXPECT_EQ(wma.Artist, "Author");
    EXPECT_EQ(wma.Album, "Альбом");
    EXPECT_EQ(wma.Track, 7);
    EXPECT_EQ(wma.Year, "2004");
    EXPECT_EQ(wma.Genre, "Pop");
    EXPECT_EQ(wma.Comment, "Described");
}

TEST(WMAfile, LongTextsAreCut)
{
    TempDir dir;
    const std::u16string longTitle(300, u'x');
    const std::string file = asfHeader({asfFileProperties(64000), asfStreamProperties(1, 22050, 8000),
                                        asfContentDescription(longTitle, u"", u"", u"", u"")},
                                       kData);
    media::TWMAfile wma;
    ASSERT_TRUE(wma.ReadInfo(dir.write("b.wma", file)));
    ASSERT_TRUE(wma.Valid);
    EXPECT_EQ(wma.Title, std::string(250, 'x'));
    EXPECT_EQ(wma.Artist, "");
    EXPECT_EQ(wma.ChannelModeName(), "Mono");
}

TEST(WMAfile, PlausibilityLimits)
{
    TempDir dir;
    media::TWMAfile wma;
    const auto file = [&](std::uint32_t maxBitRate, std::uint16_t channels, std::uint32_t rate, std::uint32_t bps) {
        return dir.write("p.wma", asfHeader({asfFileProperties(maxBitRate), asfStreamProperties(channels, rate, bps),
                                             asfContentDescription(u"T", u"", u"", u"", u"")},
                                            kData));
    };
    ASSERT_TRUE(wma.ReadInfo(file(320000, 2, 48000, 20000)));
    EXPECT_FALSE(wma.Valid);
    EXPECT_EQ(wma.Title, "");  // reset when not valid
    ASSERT_TRUE(wma.ReadInfo(file(319999, 2, 48000, 20000)));
    EXPECT_TRUE(wma.Valid);
    for (auto [rate, ch, bps] : {std::tuple{7999u, 2, 1000u}, {96001u, 2, 1000u}, {44100u, 3, 1000u}, {44100u, 2, 40000u},
                                 {44100u, 2, 0u}}) {
        ASSERT_TRUE(wma.ReadInfo(file(128000, static_cast<std::uint16_t>(ch), rate, bps)));
        EXPECT_FALSE(wma.Valid) << rate << " " << ch << " " << bps;
    }
    ASSERT_TRUE(wma.ReadInfo(file(128000, 2, 96000, 39999)));
    EXPECT_TRUE(wma.Valid);
}

TEST(WMAfile, LargeFilesAndBrokenHeaders)
{
    TempDir dir;
    media::TWMAfile wma;
    // 300 MiB, sparse: the duration comes from the full size.
    const std::string big = dir.write("big.wma", asfHeader({asfFileProperties(128000), asfStreamProperties(2, 44100, 16000)}));
    std::filesystem::resize_file(big, 300ull << 20);
    ASSERT_TRUE(wma.ReadInfo(big));
    EXPECT_DOUBLE_EQ(wma.Duration, (300.0 * 1024 * 1024) * 8 / 128000);

    ASSERT_TRUE(wma.ReadInfo(dir.write("other.wma", std::string(100, 'x'))));
    EXPECT_FALSE(wma.Valid);
    EXPECT_FALSE(wma.ReadInfo(dir.write("tiny.wma", "0&")));
    EXPECT_FALSE(wma.ReadInfo(dir.path() + "/missing.wma"));

    // An object size below 24 ends the walk instead of reading the same place again, up to the
    // four billion objects the header claims.
    std::string tiny = asfObject(asfGuid(1, 2, 3, 4, 5), "");
    tiny[16] = 0;
    std::string looping = asfHeader({asfFileProperties(128000), tiny, asfStreamProperties(2, 44100, 16000)}, kData);
    looping.replace(24, 4, "\xFF\xFF\xFF\xFF");
    ASSERT_TRUE(wma.ReadInfo(dir.write("small.wma", looping)));
    EXPECT_FALSE(wma.Valid);  // the stream properties after it are never reached

    // A header cut short in the middle of an object is a read error.
    const std::string whole = asfHeader({asfFileProperties(128000), asfStreamProperties(2, 44100, 16000),
                                         asfContentDescription(u"Title", u"", u"", u"", u"")});
    EXPECT_FALSE(wma.ReadInfo(dir.write("cut.wma", whole.substr(0, whole.size() - 5))));
}
