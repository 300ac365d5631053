// The crossfade table's stored form, the controls' rule and the item-class rule.
#include "player/sequencing/crossfade.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

player::CrossfadeTable sampleTable()
{
    player::CrossfadeTable t;
    t.records[0] = {1.5f, 0.25f, true, false};
    t.records[1] = {5, 3, true, true};
    t.records[2] = {0.5f, 2, false, true};
    t.records[3] = {12.5f, 0, true, false};
    t.records[4] = {-10, -10, false, false};
    return t;
}

TEST(CrossfadeTableTest, StoredLayoutIsFieldByField)
{
    const player::CrossfadeBytes bytes = sampleTable().toBytes();
    // Record 1 at offset 12: 5.0f = 0x40A00000 little-endian, 3.0f = 0x40400000, on, on, padding.
    const std::uint8_t music[12] = {0x00, 0x00, 0xA0, 0x40, 0x00, 0x00, 0x40, 0x40, 1, 1, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 12, music, 12), 0);
    EXPECT_EQ(bytes[2 * 12 + 8], 0);
    EXPECT_EQ(bytes[2 * 12 + 9], 1);

    const std::string hex = sampleTable().toHex();
    ASSERT_EQ(hex.size(), 120u);
    EXPECT_EQ(hex.substr(24, 24), "0000A0400000404001010000");

    player::CrossfadeTable back;
    ASSERT_TRUE(back.fromHex(hex));
    EXPECT_EQ(back.toBytes(), bytes);
}

TEST(CrossfadeTableTest, DamagedHexKeepsWhatItCannotRead)
{
    player::CrossfadeTable t = sampleTable();
    const std::string hex = t.toHex();
    player::CrossfadeTable partial;
    partial.records[4] = {7, 7, true, true};
    // Two whole records and half of the third: the rest stays as it was.
    ASSERT_TRUE(partial.fromHex(hex.substr(0, 24 * 2 + 10)));
    EXPECT_FLOAT_EQ(partial.records[1].mixSeconds, 5);
    EXPECT_FLOAT_EQ(partial.records[2].mixSeconds, 0);
    EXPECT_FLOAT_EQ(partial.records[4].mixSeconds, 7);

    player::CrossfadeTable untouched;
    EXPECT_FALSE(untouched.fromHex(""));
    EXPECT_FALSE(untouched.fromHex("zz"));
    EXPECT_FALSE(untouched.fromHex(hex.substr(0, 22)));

    // A NaN time from a damaged file does not defeat the comparisons.
    std::string nan = hex;
    nan.replace(24, 8, "0000C07F");
    ASSERT_TRUE(untouched.fromHex(nan));
    EXPECT_EQ(untouched.records[1].mixSeconds, 0);
}

TEST(CrossfadeTableTest, PointTimes)
{
    player::CrossfadeRecord r{2.5f, 0.05f, true, true};
    EXPECT_EQ(r.mixMs(), 2500);
    EXPECT_EQ(r.fadeMs(), 50);
    EXPECT_EQ(r.fadeOutMs(), 50);
    r.mixOn = false;
    r.fadeOn = false;
    EXPECT_EQ(r.mixMs(), player::CrossfadeRecord::kPointOffMs);
    EXPECT_EQ(r.fadeMs(), player::CrossfadeRecord::kPointOffMs);
    EXPECT_EQ(r.fadeOutMs(), 0) << "fade point off: the outgoing deck stops at once";
}

TEST(CrossfadeControlsTest, PointIsOnOnlyWithATimeAboveZero)
{
    player::CrossfadeTable t = sampleTable();
    readCrossfadeControls(t, {5, 0, true, true}, {0.5, 2, false, true}, {-1, 3, true, true});
    EXPECT_TRUE(t.records[1].mixOn);
    EXPECT_FALSE(t.records[1].fadeOn) << "ticked with 0 s stays off";
    EXPECT_FALSE(t.records[2].mixOn);
    EXPECT_TRUE(t.records[2].fadeOn);
    EXPECT_FALSE(t.records[3].mixOn);
    EXPECT_TRUE(t.records[3].fadeOn);
    EXPECT_FLOAT_EQ(t.records[0].mixSeconds, 1.5f) << "record 0 has no controls";
    EXPECT_TRUE(t.records[0].mixOn);
}

class DetectClassTest : public ::testing::Test {
protected:
    player::CrossfadeClass detect(const std::string& name, const std::string& file = "/m/a.mp3")
    {
        return player::detectCrossfadeClass(name, file, names, table);
    }
    player::ClassNames names;
    player::CrossfadeTable table;
};

TEST_F(DetectClassTest, ExplicitTimeAfterTheSign)
{
    EXPECT_EQ(detect("Song *12.5 (edit)"), player::kClassExplicit);
    EXPECT_FLOAT_EQ(table.records[4].mixSeconds, 12.5f);
    EXPECT_FLOAT_EQ(table.records[4].fadeSeconds, 12.5f);
    EXPECT_TRUE(table.records[4].mixOn && table.records[4].fadeOn);

    EXPECT_EQ(detect("Song *0"), player::kClassExplicit);
    EXPECT_EQ(table.records[4].mixMs(), 0);
    EXPECT_EQ(detect("a *3.5.7 b"), player::kClassExplicit);
    EXPECT_FLOAT_EQ(table.records[4].mixSeconds, 3.5f);
    EXPECT_EQ(detect("*2 then *9"), player::kClassExplicit);
    EXPECT_FLOAT_EQ(table.records[4].mixSeconds, 2) << "first sign only";

    for (const char* none : {"Song *", "Song *x12", "Song *.", "Song 12.5", "Song * 4"}) {
        EXPECT_EQ(detect(none), player::kClassMusic) << none;
        EXPECT_FALSE(table.records[4].mixOn) << none;
    }
}

TEST_F(DetectClassTest, EmptySignMatchesNothing)
{
    names.fadeSign = "";
    EXPECT_EQ(detect("12.5 Song"), player::kClassMusic);
    names.fadeSign = "##";
    EXPECT_EQ(detect("Song ##4"), player::kClassExplicit);
}

TEST_F(DetectClassTest, KindsByNameAndFile)
{
    EXPECT_EQ(detect("Shop COMMERCIAL 30s"), player::kClassAdvert);
    EXPECT_EQ(detect("Station Jingle 2"), player::kClassJingle);
    EXPECT_EQ(detect("jingle commercial"), player::kClassAdvert) << "advert wins over jingle";
    EXPECT_EQ(detect("Track 2", "/cd/Track02.CDA"), player::kClassCdOrLineIn);
    EXPECT_EQ(detect("Line", "/any/LINE.IN"), player::kClassCdOrLineIn);
    EXPECT_EQ(detect("Line", "/any/online.in"), player::kClassMusic);
    EXPECT_EQ(detect("Song", "/m/cda.mp3"), player::kClassMusic);

    names.advertId = "Реклама";
    EXPECT_EQ(detect("Блок РЕКЛАМА 1"), player::kClassAdvert) << "case folding beyond ASCII";
    names.advertId = "";
    names.jingleId = "";
    EXPECT_EQ(detect("anything"), player::kClassMusic) << "an empty id matches nothing";
}

}  // namespace
