// ID3v1 through the tag record: reading, and the writer's update, new-tag, remove and genre rules.
#include "mediafixtures.h"

#include "media/tag.h"
#include "platform/recordedusermessages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

using namespace mediatest;

namespace {

class TagRecordTest : public ::testing::Test {
protected:
    void SetUp() override { platform::setUserMessages(&messages); }
    void TearDown() override { platform::setUserMessages(nullptr); }

    media::TTagRecord record(std::string_view kind, std::string_view title, std::string_view artist,
                             std::string_view album, std::string_view year, std::string_view comment)
    {
        media::TTagRecord r;
        std::memset(&r, 0, sizeof r);
        media::CopyToBuffer(kind, r.Kind, 2);
        media::CopyToBuffer(title, r.Title, 29);
        media::CopyToBuffer(artist, r.Artist, 29);
        media::CopyToBuffer(album, r.Album, 29);
        media::CopyToBuffer(year, r.Year, 3);
        media::CopyToBuffer(comment, r.Comment, 29);
        return r;
    }

    TempDir dir;
    platform::RecordedUserMessages messages;
    const std::string audio = std::string(1000, 'x');
};

TEST_F(TagRecordTest, ReadsTagWithGenreNameAndV11TrackByte)
{
    const std::string path =
        dir.write("a.mp3", audio + id3v1Tag("Title exactly thirty chars!!!!", "Artist", "Album", "1999", "note", 7, 17));
    media::TTagRecord r;
    ASSERT_TRUE(media::ReadTagRecord(path, r));
    EXPECT_EQ(std::string(r.Kind, 3), "TAG");
    EXPECT_EQ(std::string(r.Title, 30), "Title exactly thirty chars!!!!");
    EXPECT_EQ(std::string(r.Artist, 6), "Artist");
    EXPECT_EQ(r.Artist[6], 0);
    EXPECT_EQ(std::string(r.Year, 4), "1999");
    EXPECT_EQ(r.Comment[28], 0);
    EXPECT_EQ(r.Comment[29], 7);  // the ID3v1.1 track byte travels unchanged
    EXPECT_EQ(r.Genre.str(), "Rock");
}

TEST_F(TagRecordTest, GenreNumbersOutsideTheTableGiveEmptyGenre)
{
    for (int genre : {148, 200, 254, 255}) {
        const std::string path = dir.write("g.mp3", audio + id3v1Tag("t", "a", "", "", "", -1, static_cast<std::uint8_t>(genre)));
        media::TTagRecord r;
        ASSERT_TRUE(media::ReadTagRecord(path, r));
        EXPECT_EQ(r.Genre.length, 0) << genre;
    }
    const std::string path = dir.write("g.mp3", audio + id3v1Tag("t", "a", "", "", "", -1, 147));
    media::TTagRecord r;
    ASSERT_TRUE(media::ReadTagRecord(path, r));
    EXPECT_EQ(r.Genre.str(), "Synthpop");
}

TEST_F(TagRecordTest, NoTagShortFileAndMissingFile)
{
    media::TTagRecord r;
    std::memset(&r, 0x7F, sizeof r);
    EXPECT_FALSE(media::ReadTagRecord(dir.write("plain.mp3", std::string(500, 'Q')), r));
    EXPECT_EQ(std::string(r.Kind, 3), "QQQ");  // the bytes read stay in Kind
    for (std::size_t i = 3; i < sizeof r; ++i)
        ASSERT_EQ(reinterpret_cast<const char*>(&r)[i], 0) << i;

    std::memset(&r, 0x7F, sizeof r);
    EXPECT_FALSE(media::ReadTagRecord(dir.write("short.mp3", "TAG" + std::string(124, 'a')), r));
    EXPECT_EQ(r.Kind[0], 0);
    bool failed = true;
    EXPECT_FALSE(media::ReadTagRecord(dir.path() + "/missing.mp3", r, &failed));
    EXPECT_FALSE(failed);  // missing is not a read error
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TagRecordTest, ReadErrorsAreToldApartFromMissingTags)
{
    media::TTagRecord r;
    bool failed = true;
    EXPECT_FALSE(media::ReadTagRecord(dir.write("none.mp3", audio), r, &failed));
    EXPECT_FALSE(failed);
    EXPECT_FALSE(media::ReadTagRecord(dir.path(), r, &failed));  // a folder cannot be read as a file
    EXPECT_TRUE(failed);
}

TEST_F(TagRecordTest, UpdateKeepsEmptyFieldsAndOddGenres)
{
    const std::string path = dir.write("u.mp3", audio + id3v1Tag("Old title", "Old artist", "Old album", "1980", "c", 3, 9));
    media::WriteTagRecord(path, record("TAG", "New", "", "", "2001", ""), 200);
    const std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128);
    media::TTagRecord r;
    ASSERT_TRUE(media::ReadTagRecord(path, r));
    // A field is written whole: the new title's zero bytes replace the rest of the old one.
    EXPECT_STREQ(std::string(r.Title, 30).c_str(), "New");
    EXPECT_EQ(std::string(r.Artist, 10), "Old artist");
    EXPECT_EQ(std::string(r.Album, 9), "Old album");
    EXPECT_EQ(std::string(r.Year, 4), "2001");
    EXPECT_EQ(r.Comment[29], 3);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.back()), 9);  // 200 leaves the genre byte

    media::WriteTagRecord(path, record("TAG", "", "", "", "", ""), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(readFile(path).back()), 255);
    media::WriteTagRecord(path, record("TAG", "", "", "", "", ""), 0);
    EXPECT_EQ(static_cast<std::uint8_t>(readFile(path).back()), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TagRecordTest, NewTagIsAppendedWithTheGenreByteUnchanged)
{
    const std::string path = dir.write("n.mp3", std::string(127, 'z'));
    media::WriteTagRecord(path, record("TAG", "T", "A", "", "", ""), 200);
    const std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 255u);
    EXPECT_EQ(bytes.substr(0, 127), std::string(127, 'z'));
    EXPECT_EQ(bytes.substr(127, 4), "TAGT");
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.back()), 200);
    media::TTagRecord r;
    ASSERT_TRUE(media::ReadTagRecord(path, r));
    EXPECT_EQ(r.Genre.length, 0);
}

TEST_F(TagRecordTest, RemoveCutsTheTagAndNothingElse)
{
    const std::string path = dir.write("r.mp3", audio + id3v1Tag("T", "A", "", "", "", -1, 1));
    media::WriteTagRecord(path, record("", "x", "", "", "", ""), 1);
    EXPECT_EQ(readFile(path), audio);
    media::WriteTagRecord(path, record("OGG", "x", "", "", "", ""), 1);  // no tag, nothing wanted
    EXPECT_EQ(readFile(path), audio);
}

TEST_F(TagRecordTest, MissingAndReadOnlyFiles)
{
    media::WriteTagRecord(dir.path() + "/none.mp3", record("TAG", "T", "", "", "", ""), 1);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Ошибка: файл не найден!");
    EXPECT_EQ(messages.shown()[0].caption, "Base tag editor");
    EXPECT_EQ(messages.shown()[0].flags & platform::MB_ICONERROR, platform::MB_ICONERROR);

    // A read-only file gets its owner's write bit and is written.
    const std::string path = dir.write("ro.mp3", audio);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    media::WriteTagRecord(path, record("TAG", "T", "", "", "", ""), 1);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_EQ(readFile(path).size(), audio.size() + 128);
    EXPECT_EQ(messages.shown().size(), 1u);
}

}  // namespace
