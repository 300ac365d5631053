// The crossfade table as a profile stores it: 60 bytes of hex, record by record, and what a short
// or damaged value leaves behind.
#include "player/sequencing/sequencingoptions.h"

#include "platform/inifile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using player::CrossfadeTable;

class StoredCrossfadeTest : public ::testing::Test {
protected:
    std::string path() const { return dir.filePath("p.prf").toStdString(); }
    CrossfadeTable readSettings(const std::string& hex)
    {
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << "[Crossfade]\nSettings=" << hex << "\n";
        return player::readStoredCrossfade(platform::IniFile(path()));
    }

    QTemporaryDir dir;
};

TEST_F(StoredCrossfadeTest, SixtyBytesOfHexRecordByRecord)
{
    CrossfadeTable table;
    table.records[player::kClassMusic] = {5.0f, 3.0f, true, false};
    table.records[player::kClassJingle] = {0.0f, 0.5f, false, true};
    {
        platform::IniFile ini(path(), platform::IniFile::Mode::Buffered);
        player::writeStoredCrossfade(ini, table);
        ASSERT_TRUE(ini.flush());
    }
    const std::string hex = platform::IniFile(path()).readString("Crossfade", "Settings", "");
    ASSERT_EQ(hex.size(), 120u);
    // Record 1: mix 5.0 and fade 3.0 as little-endian floats, mix on, fade off, two padding bytes.
    EXPECT_EQ(hex.substr(24, 24), "0000A0400000404001000000");
    EXPECT_EQ(hex.substr(72, 24), "000000000000003F00010000");
    EXPECT_EQ(player::readStoredCrossfade(platform::IniFile(path())).toBytes(), table.toBytes());
}

TEST_F(StoredCrossfadeTest, ShortOrDamagedValuesLeaveTheRestCleared)
{
    // Record 0 whole, then only the music mix time.
    CrossfadeTable t = readSettings("0000803F0000803F01010000" "0000A040");
    EXPECT_FLOAT_EQ(t.records[player::kClassCdOrLineIn].mixSeconds, 1.0f);
    EXPECT_TRUE(t.records[player::kClassCdOrLineIn].fadeOn);
    EXPECT_FLOAT_EQ(t.records[player::kClassMusic].mixSeconds, 5.0f);
    EXPECT_FALSE(t.records[player::kClassMusic].mixOn);
    EXPECT_FLOAT_EQ(t.records[player::kClassMusic].fadeSeconds, 0.0f);

    EXPECT_EQ(readSettings("ZZ0000A040").toBytes(), CrossfadeTable{}.toBytes());
    // A NaN time would compare false with every remaining time: it reads as 0.
    EXPECT_EQ(readSettings("000000000000C07F00010000").records[0].fadeSeconds, 0.0f);
}

}  // namespace
