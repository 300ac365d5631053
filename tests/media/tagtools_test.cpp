// The time texts, the bit helpers, the extension test, base names and folder listings.
#include "mediafixtures.h"

#include "media/records.h"
#include "media/tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace mediatest;

TEST(TimeFormat, ShortLongAndTenths)
{
    EXPECT_EQ(media::FormatTimeShort(0), "??:??");
    EXPECT_EQ(media::FormatTimeShort(61000), "01:01");
    EXPECT_EQ(media::FormatTimeShort(999), "00:00");
    EXPECT_EQ(media::FormatTimeShort(6000000), "100:00");
    EXPECT_EQ(media::FormatTimeLong(3723000), "1:02:03");
    EXPECT_EQ(media::FormatTimeLong(0), "0:00:00");
    EXPECT_EQ(media::FormatTimeTenths(0), "00:00.0");
    EXPECT_EQ(media::FormatTimeTenths(61250), "01:01.2");
    EXPECT_EQ(media::FormatTimeTenths(59999), "00:59.9");
}

TEST(TimeFormat, NegativeValuesAreTakenUnsigned)
{
    // -1 ms is 4294967295 ms unsigned: 71582 minutes 47 seconds.
    EXPECT_EQ(media::FormatTimeShort(-1), "71582:47");
    EXPECT_EQ(media::FormatTimeLong(-1), "1193:02:47");
    EXPECT_EQ(media::FormatTimeTenths(-1), "71582:47.2");
}

TEST(Bits, SetAndTestModulo32)
{
    std::uint32_t set = 0;
    media::SetBit(set, 3);
    media::SetBit(set, 33);  // bit 1
    media::SetBit(set, 31);
    EXPECT_EQ(set, 0x8000000Au);
    EXPECT_TRUE(media::IsBitSet(set, 35));
    EXPECT_TRUE(media::IsBitSet(set, 31));
    EXPECT_FALSE(media::IsBitSet(set, 0));
    EXPECT_FALSE(media::IsBitSet(set, 2));
}

TEST(SupportedFiles, ExtensionsWithTheDotAnyCase)
{
    for (const char* ext : {".mp3", ".MP3", ".Wav", ".cda", ".WMA", ".ogg"})
        EXPECT_TRUE(media::IsSupportedMediaFile(ext)) << ext;
    for (const char* ext : {"song.mp3", "mp3", ".mp4", "", ".", ".oggx", ".mp3 "})
        EXPECT_FALSE(media::IsSupportedMediaFile(ext)) << ext;
}

TEST(Records, ShortStringCutsAndSurvivesABadLengthByte)
{
    media::TTrackRecord t;
    std::memset(&t, 0xEE, sizeof t);
    t.Title.assign(std::string(30, 'a'));
    EXPECT_EQ(t.Title.length, 30);
    t.Title.assign(std::string(40, 'b'));
    EXPECT_EQ(t.Title.str(), std::string(30, 'b'));
    t.Year.assign("12345");
    EXPECT_EQ(t.Year.str(), "1234");
    EXPECT_EQ(static_cast<unsigned char>(t.Comment.chars[0]), 0xEE);  // neighbours untouched
    t.Artist.length = 200;  // damaged record from a file
    EXPECT_EQ(t.Artist.str().size(), 30u);
}

TEST(CopyToBuffer, CopiesAtMostTheFieldAndLeavesTheRest)
{
    char field[6];
    std::memset(field, '#', sizeof field);
    media::CopyToBuffer("OGGVORBIS", field, 2);
    EXPECT_EQ(std::string(field, 6), "OGG###");
    media::CopyToBuffer("ab", field, 5);
    EXPECT_EQ(std::string(field, 6), "abG###");
}

TEST(BaseName, FolderAndLastExtensionRemoved)
{
    EXPECT_EQ(media::ExtractFileBaseName("/music/a.b/song.live.mp3"), "song.live");
    EXPECT_EQ(media::ExtractFileBaseName("C:\\lists\\set.m3u"), "set");
    EXPECT_EQ(media::ExtractFileBaseName("/music/noext"), "noext");
    EXPECT_EQ(media::ExtractFileBaseName("/music/folder.d/"), "");
}

TEST(FolderListing, ByExtensionCaseBlindAndSorted)
{
    TempDir dir;
    for (const char* name : {"beta.prf", "Alpha.PRF", "gamma.prf", "delta.prf.bak", "epsilon.txt", "zeta.prfx"})
        dir.write(name, "x");
    std::filesystem::create_directory(dir.path() + "/folder.prf");
    std::vector<std::string> list = {"stale"};
    media::ListFilesByExtension(dir.path(), "prf", list);
    EXPECT_EQ(list, (std::vector<std::string>{"Alpha", "beta", "folder", "gamma"}));
    media::ListFilesByExtension(dir.path() + "/", "PRF", list);
    EXPECT_EQ(list.size(), 4u);
    media::ListFilesByExtension(dir.path() + "/missing", "prf", list);
    EXPECT_TRUE(list.empty());
}

TEST(FileVersion, OnlyThisSystemsExecutablesHaveOne)
{
    EXPECT_EQ(media::GetFileVersionString("/proc/self/exe"), QV_VERSION);
    TempDir dir;
    EXPECT_EQ(media::GetFileVersionString(dir.write("other", "x")), "");
    EXPECT_EQ(media::GetFileVersionString(dir.path() + "/missing"), "");
}
