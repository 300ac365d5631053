// The meters' profile keys: a round trip, the master volume taken only from "default.prf", and
// stored values out of range brought back into it.
#include "tests/player/playerfixtures.h"

#include "platform/inifile.h"
#include "player/meters/meteroptions.h"

#include <gtest/gtest.h>

namespace {

using player::MeterOptions;

TEST(MeterOptionsTest, RoundTripAndVolumeOnlyFromTheDefaultProfile)
{
    playertest::TempDir dir;
    MeterOptions saved;
    saved.silenceOn = true;
    saved.silenceInterval = 300;
    saved.silenceAction = 3;
    saved.silenceList = "/lists/emergency list.m3u";
    saved.timeShowType = 1;
    saved.visualization = false;
    saved.volume = 42;
    saved.showSecondTimeLabel = true;
    {
        platform::IniFile ini(dir.path() + "/Work.prf", platform::IniFile::Mode::Buffered);
        player::writeMeterOptions(ini, saved);
        ASSERT_TRUE(ini.flush());
    }
    const platform::IniFile ini(dir.path() + "/Work.prf");
    MeterOptions current;
    current.volume = 77;
    const MeterOptions kept = player::readMeterOptions(ini, false, current);
    EXPECT_TRUE(kept.silenceOn);
    EXPECT_EQ(kept.silenceInterval, 300);
    EXPECT_EQ(kept.silenceAction, 3);
    EXPECT_EQ(kept.silenceList, saved.silenceList);
    EXPECT_EQ(kept.timeShowType, 1);
    EXPECT_FALSE(kept.visualization);
    EXPECT_TRUE(kept.showSecondTimeLabel);
    EXPECT_EQ(kept.volume, 77) << "another profile keeps the master volume";
    EXPECT_EQ(player::readMeterOptions(ini, true, current).volume, 42);

    EXPECT_TRUE(player::setsMasterVolume("/p/Profile/Default.prf"));
    EXPECT_TRUE(player::setsMasterVolume("/p/Profile/DEFAULT.PRF"));
    EXPECT_FALSE(player::setsMasterVolume("/p/Profile/Work.prf"));
    EXPECT_FALSE(player::setsMasterVolume("/p/default.prf/Work.prf"));
    EXPECT_FALSE(player::setsMasterVolume("/p/Profile/my default.prf"));
}

TEST(MeterOptionsTest, DefaultsAndOutOfRangeValues)
{
    playertest::TempDir dir;
    MeterOptions current;
    current.showSecondTimeLabel = true;
    const MeterOptions d = player::readMeterOptions(platform::IniFile(dir.write("Empty.prf", "")), true, current);
    EXPECT_EQ(d.silenceInterval, 120);
    EXPECT_EQ(d.volume, 99);
    EXPECT_TRUE(d.visualization);
    EXPECT_TRUE(d.showSecondTimeLabel) << "a missing key keeps the label as it is";

    const std::string odd = dir.write("Odd.prf", "[QuietDetection]\nInterval=-5\n"
                                                 "[Options]\nTimeShowType=7\nVolume=250\n");
    const MeterOptions o = player::readMeterOptions(platform::IniFile(odd), true, current);
    EXPECT_EQ(o.silenceInterval, 1) << "the shortest the settings offer";
    EXPECT_EQ(o.timeShowType, 0) << "a mode the label's click could never turn into 1";
    EXPECT_EQ(o.volume, 100);
}

}  // namespace
