// TOggVorbis: the reader's fields and limits, and the comment rewrite checked page by page with a
// checksum computed independently of the library.
#include "mediafixtures.h"

#include "media/oggvorbis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using namespace mediatest;

namespace {

struct Page {
    std::size_t offset;
    std::size_t size;
};

// Splits a file into its pages (after an optional tag); an empty result when it does not parse.
std::vector<Page> pages(const std::string& file, std::size_t start = 0)
{
    std::vector<Page> out;
    std::size_t at = start;
    while (at < file.size()) {
        if (file.size() - at < 27 || file.compare(at, 4, "OggS") != 0)
            return {};
        const std::size_t segments = static_cast<std::uint8_t>(file[at + 26]);
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += static_cast<std::uint8_t>(file[at + 27 + i]);
        out.push_back({at, 27 + segments + body});
        at += 27 + segments + body;
    }
    return out;
}

std::uint32_t storedCrc(const std::string& page)
{
    return static_cast<std::uint8_t>(page[22]) | (static_cast<std::uint8_t>(page[23]) << 8) |
           (static_cast<std::uint8_t>(page[24]) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(page[25])) << 24);
}

// Every page parses and carries a correct checksum.
void expectWellFormed(const std::string& file, std::size_t start = 0)
{
    const std::vector<Page> ps = pages(file, start);
    ASSERT_EQ(ps.size(), 3u);
    for (const Page& p : ps) {
        const std::string page = file.substr(p.offset, p.size);
        EXPECT_EQ(storedCrc(page), referenceOggCrc(page)) << "page at " << p.offset;
    }
}

const std::vector<std::string> kComments = {
    "TITLE=Old title", "ARTIST=", "PERFORMER=Оркестр", "ALBUM=Альбом", "TRACKNUMBER=3/12", "DATE=1999",
    "GENRE=Jazz", "DESCRIPTION=Desc", "REPLAYGAIN_TRACK_GAIN=-6.5 dB", "ENCODER=test encoder", "novalue"};

}  // namespace

TEST(OggVorbisRead, FieldsFromTheHeaders)
{
    TempDir dir;
    const std::string file = oggVorbisFile(kComments);
    media::TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadInfo(dir.write("a.ogg", file)));
    EXPECT_EQ(ogg.FileSize, static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(ogg.ChannelModeId, 2);
    EXPECT_EQ(ogg.ChannelModeName(), "Stereo");
    EXPECT_EQ(ogg.SampleRate, 44100);
    EXPECT_EQ(ogg.BitRateNominal, 128);
    EXPECT_EQ(ogg.Samples, 441000);
    EXPECT_DOUBLE_EQ(ogg.Duration(), 10.0);
    EXPECT_EQ(ogg.BitRate(), static_cast<int>(file.size() / 10.0 / 125.0 + 0.5));
    EXPECT_TRUE(ogg.Valid());
    EXPECT_EQ(ogg.Title, "Old title");
    EXPECT_EQ(ogg.Artist, "Оркестр");  // ARTIST is empty
    EXPECT_EQ(ogg.Album, "Альбом");
    EXPECT_EQ(ogg.Track, 3);
    EXPECT_EQ(ogg.Date, "1999");
    EXPECT_EQ(ogg.Genre, "Jazz");
    EXPECT_EQ(ogg.Comment, "Desc");
    EXPECT_EQ(ogg.Vendor, "Xiph.Org libVorbis I 20200704");
}

TEST(OggVorbisRead, TrackNumbersSampleRatesAndLongValues)
{
    TempDir dir;
    media::TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadInfo(dir.write("t.ogg", oggVorbisFile({"tracknumber=300", "Title=" + std::string(243, 'a') + "€"}, 960000, 96000))));
    EXPECT_EQ(ogg.Track, 44);
    EXPECT_EQ(ogg.SampleRate, 96000);
    EXPECT_DOUBLE_EQ(ogg.Duration(), 10.0);
    // 250 bytes are read: the euro sign is cut in two and the value ends before it.
    EXPECT_EQ(ogg.Title, std::string(243, 'a'));
    ASSERT_TRUE(ogg.ReadInfo(dir.write("u.ogg", oggVorbisFile({"TRACKNUMBER=x/2", "TITLE=" + std::string(400, 'b')}))));
    EXPECT_EQ(ogg.Track, 0);
    EXPECT_EQ(ogg.Title, std::string(244, 'b'));
}

TEST(OggVorbisRead, TagInFrontNoCommentsAndNoLastPage)
{
    TempDir dir;
    media::TOggVorbis ogg;
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", std::string(1, '\0') + "x")}, 100);
    ASSERT_TRUE(ogg.ReadInfo(dir.write("tag.ogg", tag + oggVorbisFile({"TITLE=Tagged"}))));
    EXPECT_EQ(ogg.ID3v2Size, static_cast<std::int32_t>(tag.size()));
    EXPECT_EQ(ogg.Title, "Tagged");

    const std::string noComments = oggPage(2, 0, 0, {vorbisIdentification(1, 22050, 64000)}) +
                                   oggPage(0, 0, 1, {std::string("\5vorbis") + "setup"}) + oggPage(4, 22050, 2, {"a"});
    ASSERT_TRUE(ogg.ReadInfo(dir.write("nc.ogg", noComments)));
    EXPECT_EQ(ogg.Title, "");
    EXPECT_EQ(ogg.Vendor, "");
    EXPECT_EQ(ogg.ChannelModeName(), "Mono");
    EXPECT_EQ(ogg.Samples, 22050);

    // The last "OggS" lies further than 12,060 bytes before the end: the duration comes from the
    // nominal bit rate.
    const std::string far = oggVorbisFile({"TITLE=x"}) + std::string(13000, '\0');
    ASSERT_TRUE(ogg.ReadInfo(dir.write("far.ogg", far)));
    EXPECT_EQ(ogg.Samples, 0);
    EXPECT_DOUBLE_EQ(ogg.Duration(), static_cast<double>(far.size()) / 128 / 2 / 125 * 2);

    EXPECT_FALSE(ogg.ReadInfo(dir.write("notogg.ogg", "RIFF" + std::string(500, 'x'))));
    std::string notVorbis = oggVorbisFile({});
    notVorbis[28] = 'V';
    EXPECT_FALSE(ogg.ReadInfo(dir.write("nv.ogg", notVorbis)));
    EXPECT_FALSE(ogg.ReadInfo(dir.path() + "/missing.ogg"));
}

class OggVorbisWrite : public ::testing::Test {
protected:
    std::string write(const std::string& bytes) { return path = dir.write("w.ogg", bytes); }
    TempDir dir;
    std::string path;
    media::TOggVorbis ogg;
};

TEST_F(OggVorbisWrite, EditedValuesReplacedEverythingElseKept)
{
    const std::string original = oggVorbisFile(kComments);
    write(original);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Title = "Новое название";
    ogg.Genre = "";
    ogg.Comment = "Fresh comment";
    ASSERT_TRUE(ogg.WriteTag(path));

    const std::string file = readFile(path);
    expectWellFormed(file);
    const std::vector<Page> before = pages(original), after = pages(file);
    // Page 1 and the pages after page 2 are unchanged.
    EXPECT_EQ(file.substr(0, before[1].offset), original.substr(0, before[1].offset));
    EXPECT_EQ(file.substr(after[2].offset), original.substr(before[2].offset));
    const std::string page2 = file.substr(after[1].offset, after[1].size);
    for (const char* kept : {"PERFORMER=Оркестр", "ALBUM=Альбом", "TRACKNUMBER=3/12", "REPLAYGAIN_TRACK_GAIN=-6.5 dB",
                             "ENCODER=test encoder", "DESCRIPTION=Desc", "novalue", "Xiph.Org libVorbis I 20200704",
                             "TITLE=Новое название", "COMMENT=Fresh comment"})
        EXPECT_NE(page2.find(kept), std::string::npos) << kept;
    EXPECT_EQ(page2.find("GENRE"), std::string::npos);
    EXPECT_EQ(page2.find("Old title"), std::string::npos);
    // The setup stand-in and the old framing byte follow the new comments.
    EXPECT_NE(page2.find(std::string("\1\5vorbis")), std::string::npos);

    media::TOggVorbis again;
    ASSERT_TRUE(again.ReadInfo(path));
    EXPECT_EQ(again.Title, "Новое название");
    EXPECT_EQ(again.Genre, "");
    EXPECT_EQ(again.Comment, "Fresh comment");
    EXPECT_EQ(again.Album, "Альбом");
    EXPECT_EQ(again.Track, 3);
    EXPECT_EQ(again.Samples, 441000);
}

TEST_F(OggVorbisWrite, AClearedFieldTakesTheCommentItFellBackToAlong)
{
    // Artist and Comment were shown from PERFORMER and DESCRIPTION: clearing them must not bring
    // those values back at the next read, nor touch what other fields are read from.
    write(oggVorbisFile(kComments));
    ASSERT_TRUE(ogg.ReadInfo(path));
    ASSERT_EQ(ogg.Artist, "Оркестр");
    ASSERT_EQ(ogg.Comment, "Desc");
    ogg.Artist = "";
    ogg.Comment = " ";
    ASSERT_TRUE(ogg.WriteTag(path));
    media::TOggVorbis again;
    ASSERT_TRUE(again.ReadInfo(path));
    EXPECT_EQ(again.Artist, "");
    EXPECT_EQ(again.Comment, "");
    EXPECT_EQ(again.Title, "Old title");
    const std::string file = readFile(path);
    EXPECT_EQ(file.find("PERFORMER"), std::string::npos);
    EXPECT_EQ(file.find("DESCRIPTION"), std::string::npos);
    EXPECT_NE(file.find("REPLAYGAIN_TRACK_GAIN=-6.5 dB"), std::string::npos);
}

TEST_F(OggVorbisWrite, AnUnchangedTagIsWrittenBackByteForByte)
{
    const std::string original = oggVorbisFile(
        {"TITLE=" + std::string(400, 'L') + "  ", "ARTIST=  padded  ", "TRACKNUMBER=07/12", "DATE=2001-02-03"});
    write(original);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ASSERT_TRUE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(path), original);
}

TEST_F(OggVorbisWrite, TrackNumberAndTagInFront)
{
    const std::string tag = id3v2Tag(3, {id3v2Frame("TIT2", std::string(1, '\0') + "x")}, 64);
    write(tag + oggVorbisFile({"TRACKNUMBER=3/12", "TITLE=a"}));
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Track = 5;
    ASSERT_TRUE(ogg.WriteTag(path));
    std::string file = readFile(path);
    EXPECT_EQ(file.substr(0, tag.size()), tag);
    expectWellFormed(file, tag.size());
    EXPECT_NE(file.find("TRACKNUMBER=5"), std::string::npos);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Track = 0;
    ogg.Title = "";
    ASSERT_TRUE(ogg.WriteTag(path));
    file = readFile(path);
    expectWellFormed(file, tag.size());
    EXPECT_EQ(file.find("TRACKNUMBER"), std::string::npos);
    EXPECT_EQ(file.find("TITLE"), std::string::npos);
}

TEST_F(OggVorbisWrite, LongPacketsOverManyLacingValues)
{
    write(oggVorbisFile({"COMMENT=short"}));
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Comment = std::string(20000, 'c');
    ASSERT_TRUE(ogg.WriteTag(path));
    expectWellFormed(readFile(path));
    ASSERT_TRUE(ogg.ReadInfo(path));
    EXPECT_EQ(ogg.Comment.size(), 242u);  // read back through the 250-byte window
    ogg.Comment = "again short";
    ASSERT_TRUE(ogg.WriteTag(path));
    expectWellFormed(readFile(path));
    ASSERT_TRUE(ogg.ReadInfo(path));
    EXPECT_EQ(ogg.Comment, "again short");
}

TEST_F(OggVorbisWrite, LayoutsThatCannotBeRewrittenAreLeftAlone)
{
    // A new packet that would need more than 255 lacing values.
    const std::string small = oggVorbisFile({"TITLE=x"});
    write(small);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Comment = std::string(70000, 'c');
    EXPECT_FALSE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(path), small);

    // A comment packet that continues on page 3.
    const std::string comment = vorbisComment("v", {"TITLE=" + std::string(600, 't')});
    const std::string split = oggPage(2, 0, 0, {vorbisIdentification(2, 44100, 128000)}) +
                              oggPage(0, 0, 1, {comment.substr(0, 510)}, true) +
                              oggPage(1, 0, 2, {comment.substr(510), "\5vorbis setup"}) + oggPage(4, 44100, 3, {"a"});
    write(split);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Title = "short";
    EXPECT_FALSE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(path), split);

    // Page 1 holding more than the identification packet.
    const std::string crowded = oggPage(2, 0, 0, {vorbisIdentification(2, 44100, 128000), "extra"}) +
                                oggPage(0, 0, 1, {vorbisComment("v", {"TITLE=a"})}) + oggPage(4, 44100, 2, {"a"});
    write(crowded);
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Title = "b";
    EXPECT_FALSE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(path), crowded);

    // A comment count that promises more than the file holds.
    std::string lying = oggVorbisFile({"TITLE=a"});
    const std::size_t count = lying.find("TITLE=a") - 8;
    lying[count + 2] = '\x7F';
    write(lying);
    ASSERT_TRUE(ogg.ReadInfo(path));
    EXPECT_EQ(ogg.Title, "a");
    EXPECT_FALSE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(path), lying);
    EXPECT_FALSE(std::filesystem::exists(path + "~"));
}

TEST_F(OggVorbisWrite, ModeLinksAndReadOnlyFiles)
{
    write(oggVorbisFile({"TITLE=a"}));
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    const std::string link = dir.path() + "/link.ogg";
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(ogg.ReadInfo(link));
    ogg.Title = "through the link";
    ASSERT_TRUE(ogg.WriteTag(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    media::TOggVorbis again;
    ASSERT_TRUE(again.ReadInfo(path));
    EXPECT_EQ(again.Title, "through the link");

    // A read-only file gets its owner's write bit, as the tag writer does.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ogg.Title = "read-only";
    ASSERT_TRUE(ogg.WriteTag(path));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_FALSE(std::filesystem::exists(path + "~"));
    EXPECT_FALSE(ogg.WriteTag(dir.path() + "/missing.ogg"));
}

TEST_F(OggVorbisWrite, FilesBesideTheOriginalAreNeverTouched)
{
    // An editor's backup under the name a careless temporary file would take.
    const std::string backup = dir.write("w.ogg~", "backup bytes");
    write(oggVorbisFile({"TITLE=a"}));
    ASSERT_TRUE(ogg.ReadInfo(path));
    ogg.Title = "b";
    ASSERT_TRUE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(backup), "backup bytes");

    // A refused write (the new packet would not fit page 2) leaves the backup as well.
    ogg.Comment = std::string(70000, 'c');
    EXPECT_FALSE(ogg.WriteTag(path));
    EXPECT_EQ(readFile(backup), "backup bytes");

    // Nothing else is left behind in the folder.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"w.ogg", "w.ogg~"}));
}

TEST(OggCrc, MatchesTheBitwiseReference)
{
    std::string page = oggPage(0, 7, 1, {std::string(1000, 'p'), "q"});
    const std::uint32_t stored = storedCrc(page);
    page[22] = page[23] = page[24] = page[25] = 0;
    EXPECT_EQ(media::OggPageCrc(0, page.data(), page.size()), stored);
    EXPECT_EQ(media::OggPageCrc(media::OggPageCrc(0, page.data(), 100), page.data() + 100, page.size() - 100), stored);
}
