// TID3v1: version detection, trimming, the track byte and the files that have no tag.
#include "mediafixtures.h"

#include "media/id3v1.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mediatest;

TEST(ID3v1, Version11WithTrackAndTrimmedTexts)
{
    TempDir dir;
    media::TID3v1 tag;
    ASSERT_TRUE(tag.ReadInfo(dir.write("a.mp3", std::string(300, 'm') + id3v1Tag("Title  ", "\xCA\xE8\xED\xEE", "Album", "2003", "Note\x01", 12, 17))));
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.VersionID, 2);
    EXPECT_EQ(tag.Title, "Title");
    EXPECT_EQ(tag.Artist, "Кино");  // code page 1251 in the tag, UTF-8 here
    EXPECT_EQ(tag.Comment, "Note");
    EXPECT_EQ(tag.Track, 12);
    EXPECT_EQ(tag.GenreID, 17);
}

TEST(ID3v1, BlankThenDigitIsVersion11WithTheCharacterCode)
{
    TempDir dir;
    std::string block = id3v1Tag("T", "A", "", "", std::string(28, 'c'), -1, 255);
    block[125] = ' ';
    block[126] = '5';
    media::TID3v1 tag;
    ASSERT_TRUE(tag.ReadInfo(dir.write("b.mp3", block)));
    EXPECT_EQ(tag.VersionID, 2);
    EXPECT_EQ(tag.Track, '5');
    EXPECT_EQ(tag.Comment, std::string(28, 'c'));

    block[126] = ' ';  // two blanks: a 30-character comment of version 1.0
    ASSERT_TRUE(tag.ReadInfo(dir.write("c.mp3", block)));
    EXPECT_EQ(tag.VersionID, 1);
    EXPECT_EQ(tag.Track, 0);
    EXPECT_EQ(tag.Comment, std::string(28, 'c'));
    block[125] = 'x';
    block[126] = 'y';
    ASSERT_TRUE(tag.ReadInfo(dir.write("d.mp3", block)));
    EXPECT_EQ(tag.Comment, std::string(28, 'c') + "xy");
}

TEST(ID3v1, NoTagShortAndMissingFiles)
{
    TempDir dir;
    media::TID3v1 tag;
    EXPECT_TRUE(tag.ReadInfo(dir.write("none.mp3", std::string(128, 'x'))));
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.GenreID, 255);
    EXPECT_EQ(tag.VersionID, 1);

    ASSERT_TRUE(tag.ReadInfo(dir.write("tag.mp3", id3v1Tag("T", "", "", "", "", 1, 3))));
    EXPECT_FALSE(tag.ReadInfo(dir.write("short.mp3", std::string(100, 'x'))));
    EXPECT_FALSE(tag.Exists);  // reset by the failed read
    EXPECT_EQ(tag.Title, "");
    EXPECT_FALSE(tag.ReadInfo(dir.path() + "/missing.mp3"));
    EXPECT_FALSE(tag.ReadInfo(dir.path()));  // a folder
    const std::string fifo = dir.path() + "/pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(tag.ReadInfo(fifo));  // returns at once instead of waiting for a writer
}
