// The search area's slots as the player writes and reads them, and handed-over playlists as rows:
// bounds, damaged length bytes, encodings.
#include "linkfakes.h"
#include "tests/player/playerfixtures.h"

#include "media/m3uexport.h"
#include "platform/cp1251.h"
#include "platform/recordedusermessages.h"
#include "player/link/handoverlist.h"
#include "player/link/searcharea.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace player;
using linktest::track;

namespace {

std::vector<unsigned char> areaWith(const std::vector<media::TTrackRecord>& results, std::size_t slotCount = kSearchSlotCount)
{
    std::vector<unsigned char> area(slotCount * sizeof(media::TTrackRecord), 0);
    for (std::size_t i = 0; i < results.size() && i + 1 < slotCount; ++i)
        std::memcpy(area.data() + (i + 1) * sizeof(media::TTrackRecord), &results[i], sizeof(media::TTrackRecord));
    return area;
}

}  // namespace

TEST(SearchQuery, SlotZeroTitleHoldsTheFirstThirtyCharactersInCodePage1251)
{
    std::vector<unsigned char> area(2 * sizeof(media::TTrackRecord), 0xAB);
    WriteSearchQuery(area.data(), area.size(), QStringLiteral("Ёж") + QString(40, QLatin1Char('z')));
    media::TTrackRecord slot0;
    std::memcpy(&slot0, area.data(), sizeof(slot0));
    EXPECT_EQ(slot0.Title.length, 30);
    EXPECT_EQ(slot0.Title.str(), platform::utf8ToCp1251("Ёж") + std::string(28, 'z'));
    // Only the Title field is written; the rest of the slot and the next slots are left alone.
    EXPECT_EQ(area[31], 0xAB);
    EXPECT_EQ(area[sizeof(media::TTrackRecord)], 0xAB);

    WriteSearchQuery(area.data(), area.size(), QString());
    std::memcpy(&slot0, area.data(), sizeof(slot0));
    EXPECT_EQ(slot0.Title.length, 0);

    // An area too small for slot 0 is not written.
    std::vector<unsigned char> tiny(10, 0xCD);
    WriteSearchQuery(tiny.data(), tiny.size(), QStringLiteral("abc"));
    EXPECT_EQ(tiny, std::vector<unsigned char>(10, 0xCD));
    WriteSearchQuery(nullptr, 0, QStringLiteral("abc"));
}

TEST(SearchResults, RowsComeFromSlotsOneToNAndTheCountIsBoundedByTheArea)
{
    auto area = areaWith({track("\xCA\xE8\xED\xEE", "Title", "/m/\xD0\xB0.mp3", 125000), track("B", "T2", "/b.mp3", 0)});
    auto rows = ReadSearchResults(area.data(), area.size(), 2);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Caption, "Кино");
    EXPECT_EQ(rows[0].SubItems[0], "Title");
    EXPECT_EQ(rows[0].SubItems[1], "02:05");
    EXPECT_EQ(rows[0].SubItems[2], "/m/а.mp3");  // path bytes are UTF-8 as they stand
    EXPECT_EQ(rows[1].SubItems[1], "??:??");

    EXPECT_TRUE(ReadSearchResults(area.data(), area.size(), 0).empty());
    EXPECT_TRUE(ReadSearchResults(area.data(), area.size(), -7).empty());
    EXPECT_TRUE(ReadSearchResults(nullptr, area.size(), 5).empty());
    EXPECT_EQ(ReadSearchResults(area.data(), area.size(), std::int64_t{1} << 40).size(), 15000u);
    EXPECT_EQ(ReadSearchResults(area.data(), area.size(), 15001).size(), 15000u);

    // A smaller mapping bounds the count as well: 4 slots hold 3 results.
    auto small = areaWith({}, 4);
    EXPECT_EQ(ReadSearchResults(small.data(), small.size(), 100).size(), 3u);
    EXPECT_EQ(ReadSearchResults(small.data(), small.size() - 1, 100).size(), 2u);
}

TEST(SearchResults, DamagedLengthBytesStayInsideTheirFieldsAndTextsEndAtAZeroByte)
{
    media::TTrackRecord r = track("Art", "Ti", "/f.mp3", 1000);
    std::memcpy(r.Artist.chars, "Art\0Junk", 8);
    r.Title.length = 255;  // only the 30 characters of the field may be read
    std::memset(r.Title.chars, 'T', sizeof(r.Title.chars));
    r.FileName.length = 255;
    std::memset(r.FileName.chars, 'p', sizeof(r.FileName.chars));
    r.Artist.length = 8;
    auto area = areaWith({r});
    const auto rows = ReadSearchResults(area.data(), area.size(), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Caption, "Art");
    EXPECT_EQ(rows[0].SubItems[0], QString(30, QLatin1Char('T')));
    EXPECT_EQ(rows[0].SubItems[2], QString(255, QLatin1Char('p')));

    // Whatever bytes another program left in the slots: every row is read, none past its slot.
    std::mt19937 rng(7);
    std::vector<unsigned char> noise(kSearchAreaSize);
    for (unsigned char& b : noise)
        b = static_cast<unsigned char>(rng());
    const auto all = ReadSearchResults(noise.data(), noise.size(), 15000);
    ASSERT_EQ(all.size(), 15000u);
    for (const auto& row : all)
        ASSERT_LE(row.Caption.size(), 30);
}

class HandOverFile : public ::testing::Test {
protected:
    playertest::TempDir dir;
    platform::RecordedUserMessages messages;
    void SetUp() override { platform::setUserMessages(&messages); }
    void TearDown() override { platform::setUserMessages(nullptr); }
};

TEST_F(HandOverFile, EntriesBecomeNumberedRowsUpToTheLimit)
{
    std::string text = "#EXTM3U\n";
    // One entry in code page 1251 among UTF-8 ones: each line is decoded on its own.
    text += "#EXTINF:61,\xCA\xE8\xED\xEE - \xC7\xE2\xE5\xE7\xE4\xE0\n/m/old.mp3\n";
    text += "#EXTINF:62,Кино - Звезда\n/m/\xD0\xB0.mp3\n";
    for (int i = 2; i < 12; ++i)
        text += "#EXTINF:" + std::to_string(i * 60) + ",A" + std::to_string(i) + " - T\n/m/" + std::to_string(i) + ".mp3\n";
    const std::string path = dir.write("list.m3u", text);
    const auto rows = ReadHandOverRows(path, 10);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 10u);
    EXPECT_EQ((*rows)[0].Caption, "0");
    EXPECT_EQ((*rows)[0].SubItems[1], "Кино - Звезда");
    EXPECT_EQ((*rows)[1].SubItems[1], "Кино - Звезда");
    EXPECT_EQ((*rows)[1].SubItems[3], "/m/а.mp3");
    EXPECT_EQ((*rows)[9].Caption, "9");
    EXPECT_EQ((*rows)[9].SubItems[1], "A9 - T");
    EXPECT_EQ((*rows)[9].SubItems[2], "09:00");
    EXPECT_EQ((*rows)[9].SubItems[3], "/m/9.mp3");
    EXPECT_TRUE(messages.shown().empty());

    EXPECT_FALSE(ReadHandOverRows(dir.path() + "/none.m3u", 10));
    EXPECT_EQ(messages.shown().size(), 1u);  // a missing playlist is named to the user
}

TEST_F(HandOverFile, EntriesOfFilesWithoutTagsAreNamedAsTheirFilesAre)
{
    // As the database window writes them: "<artist> - <title>", also when a part is empty.
    const std::string path = dir.write(
        "list.m3u", media::m3uText(std::vector<media::TTrackRecord>{
                        track("", "", "/m/No Tag.mp3", 1000), track("Band", "", "/m/b.mp3", 1000),
                        track("", "Song", "/m/s.mp3", 1000), track("A", "T", "/m/a.mp3", 1000)}));
    const auto rows = ReadHandOverRows(path, 10);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ((*rows)[0].SubItems[1], "No Tag");
    EXPECT_EQ((*rows)[1].SubItems[1], "Band");
    EXPECT_EQ((*rows)[2].SubItems[1], "Song");
    EXPECT_EQ((*rows)[3].SubItems[1], "A - T");
}
