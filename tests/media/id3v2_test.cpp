// TID3v2: header size rules, the 2.2 and 2.3/2.4 frame walks, text decoding and malformed frames.
#include "mediafixtures.h"

#include "media/id3v2.h"

#include <gtest/gtest.h>

using namespace mediatest;

namespace {

std::string latin(std::string_view text)
{
    return std::string(1, '\0') + std::string(text);
}

std::string utf16(std::u16string_view text)
{
    return std::string(1, '\1') + "\xFF\xFE" + utf16le(text);
}

const std::string kAudio(2000, 'a');

}  // namespace

TEST(ID3v2, Version23FramesAndFallbacks)
{
    TempDir dir;
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT1", latin("Group")), id3v2Frame("TPE1", utf16(u"Ария")),
                                         id3v2Frame("TOAL", latin("Original album")), id3v2Frame("TRCK", latin("4/12")),
                                         id3v2Frame("TDRC", latin("1987-05-01")), id3v2Frame("TCON", latin("(17)Rock")),
                                         id3v2Frame("COMM", std::string("\0eng", 4) + "desc" + std::string(1, '\0') + "A comment"),
                                         id3v2Frame("WXXX", std::string(1, '\0') + "site" + std::string(1, '\0') + "http://x"),
                                         id3v2Frame("TENC", latin("  enc  ")), id3v2Frame("TCOP", latin("(c)"))},
                                     20);
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("a.mp3", tag + kAudio)));
    EXPECT_TRUE(v2.Exists);
    EXPECT_EQ(v2.VersionID, 3);
    EXPECT_EQ(v2.Size, static_cast<std::int32_t>(tag.size()));
    EXPECT_EQ(v2.Title, "Group");
    EXPECT_EQ(v2.Artist, "Ария");
    EXPECT_EQ(v2.Album, "Original album");
    EXPECT_EQ(v2.Track, 4);
    EXPECT_EQ(v2.TrackString, "4/12");
    EXPECT_EQ(v2.Year, "1987");
    EXPECT_EQ(v2.Genre, "Rock");
    EXPECT_EQ(v2.Comment, "A comment");
    EXPECT_EQ(v2.Link, "http://x");
    EXPECT_EQ(v2.Encoder, "enc");
    EXPECT_EQ(v2.RightsNotice, "(c)");
}

TEST(ID3v2, Version22Walk)
{
    TempDir dir;
    const std::string tag = id3v2Tag(2, {id3v22Frame("TT2", latin("Two-two")), id3v22Frame("TP1", latin("Band")),
                                         id3v22Frame("TIT2", latin("not a 2.2 id")), id3v22Frame("TAL", latin("LP")),
                                         id3v22Frame("TYE", latin("1970")), id3v22Frame("TCO", latin("(9)")),
                                         id3v22Frame("COM", std::string("\0eng", 4) + std::string(1, '\0') + "c22")},
                                     10);
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("b.mp3", tag + kAudio)));
    EXPECT_EQ(v2.VersionID, 2);
    EXPECT_EQ(v2.Title, "Two-two");
    EXPECT_EQ(v2.Artist, "Band");
    EXPECT_EQ(v2.Album, "LP");
    EXPECT_EQ(v2.Year, "1970");
    EXPECT_EQ(v2.Genre, "");  // a bare reference leaves nothing
    EXPECT_EQ(v2.Comment, "c22");
}

TEST(ID3v2, HeaderSizeRules)
{
    TempDir dir;
    media::TID3v2 v2;
    std::string tag = id3v2Header(4, 0x10, 100) + std::string(100, '\0');
    ASSERT_TRUE(v2.ReadInfo(dir.write("footer.mp3", tag + kAudio)));
    EXPECT_EQ(v2.Size, 120);  // header + footer

    ASSERT_TRUE(v2.ReadInfo(dir.write("big.mp3", id3v2Header(3, 0, 5000) + std::string(100, '\0'))));
    EXPECT_TRUE(v2.Exists);
    EXPECT_EQ(v2.Size, 0);  // larger than the file

    ASSERT_TRUE(v2.ReadInfo(dir.write("v5.mp3", id3v2Header(5, 0, 20) + id3v2Frame("TIT2", latin("x")) + kAudio)));
    EXPECT_TRUE(v2.Exists);
    EXPECT_EQ(v2.VersionID, 5);
    EXPECT_EQ(v2.Title, "");

    ASSERT_TRUE(v2.ReadInfo(dir.write("none.mp3", kAudio)));
    EXPECT_FALSE(v2.Exists);
    EXPECT_FALSE(v2.ReadInfo(dir.write("tiny.mp3", "ID3\3\0")));
    EXPECT_FALSE(v2.ReadInfo(dir.path() + "/missing.mp3"));
}

TEST(ID3v2, Version24SizesAreTakenAsPlainNumbers)
{
    TempDir dir;
    // A 200-byte body: its syncsafe size would be 00 00 01 48, the plain number 0x148 = 328. Both
    // writers exist; the walk takes the plain number, so a frame written syncsafe is overrun.
    std::string body = latin(std::string(199, 't'));
    std::string plain = id3v2Frame("TIT2", body);
    const std::string after = id3v2Frame("TPE1", latin("After"));
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("plain.mp3", id3v2Tag(4, {plain, after}, 10) + kAudio)));
    EXPECT_EQ(v2.Artist, "After");
    EXPECT_EQ(v2.Title.size(), 199u);

    std::string syncsafe = plain;
    syncsafe[6] = 1;
    syncsafe[7] = 0x48;
    ASSERT_TRUE(v2.ReadInfo(dir.write("syncsafe.mp3", id3v2Tag(4, {syncsafe, after}, 300) + kAudio)));
    EXPECT_EQ(v2.Artist, "");
}

TEST(ID3v2, BodiesAreCutAt500BytesAndEncodingsFiltered)
{
    TempDir dir;
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", latin(std::string(700, 'L'))),
                                         id3v2Frame("TPE1", std::string(1, '\3') + "utf8 artist"),
                                         id3v2Frame("TALB", latin("first")), id3v2Frame("TALB", latin("second")),
                                         id3v2Frame("TCOM", latin("hidden"), 0x80)});
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("c.mp3", tag + kAudio)));
    EXPECT_EQ(v2.Title, std::string(499, 'L'));
    EXPECT_EQ(v2.Artist, "");      // encoding 3 is not read
    EXPECT_EQ(v2.Album, "second");  // a later frame replaces an earlier one
    EXPECT_EQ(v2.Composer, "");    // compressed frames are skipped
}

TEST(ID3v2, Utf16Texts)
{
    TempDir dir;
    const std::string bigEndian = std::string(1, '\1') + "\xFE\xFF" + std::string("\0A\0B", 4) + std::string(2, '\0');
    // A description "ab" whose terminator would be found at an odd distance by a byte search:
    // "a\0b\0" then the real terminator "\0\0", then the text.
    const std::string comm = std::string("\1eng", 4) + "\xFF\xFE" + utf16le(u"\u6100b") + utf16le(u"\u00FFtext");
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", bigEndian), id3v2Frame("COMM", comm),
                                         id3v2Frame("TPE1", utf16(u"ÿes"))});
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("u.mp3", tag + kAudio)));
    EXPECT_NE(v2.Title, "AB");
    EXPECT_EQ(v2.Comment, "ÿtext");
    EXPECT_EQ(v2.Artist, "ÿes");
}

TEST(ID3v2, HostileFrameSizesEndTheWalk)
{
    TempDir dir;
    // FF FF FF F6 as a signed number is -10: a walk with signed sizes would read this header again
    // and again. Unsigned, it jumps past the tag and the walk ends.
    std::string frame = id3v2Frame("TIT2", latin("loop"));
    frame[4] = '\xFF';
    frame[5] = '\xFF';
    frame[6] = '\xFF';
    frame[7] = '\xF6';
    media::TID3v2 v2;
    ASSERT_TRUE(v2.ReadInfo(dir.write("loop.mp3", id3v2Tag(3, {frame, id3v2Frame("TPE1", latin("x"))}, 50) + kAudio)));
    EXPECT_EQ(v2.Artist, "");

    // A frame running past the end of the file is not taken; earlier frames are kept.
    std::string cut = id3v2Frame("TIT2", latin("kept")) + id3v2Frame("TPE1", latin("runs on"));
    cut[10 + 5 + 7] = 100;  // TPE1 size 100, but the file ends first
    const std::string tagBytes = id3v2Header(3, 0, static_cast<std::uint32_t>(cut.size() + 40)) + cut;
    ASSERT_TRUE(v2.ReadInfo(dir.write("cut.mp3", tagBytes + std::string(45, '\0'))));
    EXPECT_EQ(v2.Title, "kept");
    EXPECT_EQ(v2.Artist, "");
}
