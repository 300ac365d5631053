// Preset files on disk: which names are taken, how a name finds its file, what a save writes
// byte for byte, what a short value reads.
#include "player/sound/presetfolder.h"

#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using player::PresetFolder;
using playertest::TempDir;

namespace {

class PresetFolderTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("QUORVALEN_PROGRAM_DIR", dir.path().c_str(), 1); }
    void TearDown() override { unsetenv("QUORVALEN_PROGRAM_DIR"); }
    std::string file(const std::string& relative) const { return dir.path() + "/Presets/" + relative; }

    TempDir dir;
    PresetFolder eq = player::equalizerPresets();
};

TEST(PresetNames, AnythingThatCouldLeaveTheFolderIsRefused)
{
    for (const char* bad : {"", ".", "..", "../Encoder", "..\\Encoder", "a/b", "a\\b", "tab\there", "line\nbreak",
                            "\x7f"})
        EXPECT_FALSE(player::isValidPresetName(bad)) << bad;
    for (const char* good : {"Rock", "rock 2", "...", "Рок", "a.b", " x"})
        EXPECT_TRUE(player::isValidPresetName(good)) << good;
}

TEST_F(PresetFolderTest, SaveCreatesTheFolderAndWritesTheRecordAsUpperCaseHex)
{
    const std::int32_t gains[12] = {3, -2};
    std::string written;
    ASSERT_TRUE(eq.save("Rock", gains, sizeof gains, written));
    EXPECT_EQ(written, file("Equalizer/Rock.eqp"));
    EXPECT_EQ(dir.read(written), "[Equalizer]\r\nSettings=03000000FEFFFFFF" + std::string(80, '0') + "\r\n");
}

TEST_F(PresetFolderTest, SaveKeepsTheOtherKeysAndOverwritesTheFileOfAnyCase)
{
    std::filesystem::create_directories(file("Equalizer"));
    dir.write("Presets/Equalizer/ROCK.eqp", "; mine\r\n[Equalizer]\r\nSettings=01\r\nNote=kept\r\n");
    const std::int32_t gains[12] = {1};
    std::string written;
    ASSERT_TRUE(eq.save("rock", gains, sizeof gains, written));
    EXPECT_EQ(written, file("Equalizer/ROCK.eqp"));
    EXPECT_FALSE(std::filesystem::exists(file("Equalizer/rock.eqp")));
    EXPECT_EQ(dir.read(written),
              "; mine\r\n[Equalizer]\r\nSettings=01" + std::string(94, '0') + "\r\nNote=kept\r\n");
}

TEST_F(PresetFolderTest, ANameFindsItsFileWithoutRegardToCaseAndItsOwnSpellingFirst)
{
    std::filesystem::create_directories(file("Equalizer"));
    dir.write("Presets/Equalizer/default.eqp", "[Equalizer]\r\nSettings=05000000\r\n");
    EXPECT_EQ(eq.find("Default"), file("Equalizer/default.eqp"));
    EXPECT_EQ(eq.find("DEFAULT"), file("Equalizer/default.eqp"));
    dir.write("Presets/Equalizer/Default.eqp", "[Equalizer]\r\nSettings=06000000\r\n");
    EXPECT_EQ(eq.find("Default"), file("Equalizer/Default.eqp"));
    EXPECT_EQ(eq.find("Defaul"), "");
    EXPECT_EQ(eq.find(".."), "");
    EXPECT_EQ(eq.names(), (std::vector<std::string>{"Default", "default"}));
}

TEST_F(PresetFolderTest, LoadReadsOnlyWhatTheValueHoldsAndTellsAMissingFile)
{
    std::filesystem::create_directories(file("Equalizer"));
    dir.write("Presets/Equalizer/Short.eqp", "[Equalizer]\r\nSettings=0a000000fbffff\r\n");
    std::int32_t gains[12] = {7, 7, 7};
    EXPECT_EQ(eq.load("short", gains, sizeof gains), 7);
    EXPECT_EQ(gains[0], 10) << "lower-case digits read too";
    EXPECT_EQ(gains[2], 7);
    EXPECT_EQ(eq.load("Missing", gains, sizeof gains), -1);
    dir.write("Presets/Equalizer/Bad.eqp", "[Equalizer]\r\nSettings=zz\r\n");
    EXPECT_EQ(eq.load("Bad", gains, sizeof gains), 0);
}

TEST_F(PresetFolderTest, ADeleteOutsideTheFolderIsRefusedAndAMissingFileIsNoError)
{
    std::filesystem::create_directories(file("Equalizer"));
    std::filesystem::create_directories(file("Encoder"));
    const std::string encoder = dir.write("Presets/Encoder.eqp", "keep");
    dir.write("Presets/Encoder/mp3.eqp", "keep");
    EXPECT_FALSE(eq.remove("../Encoder"));
    EXPECT_FALSE(eq.remove("..\\Encoder"));
    EXPECT_TRUE(std::filesystem::exists(encoder));
    EXPECT_TRUE(eq.remove("Nothing"));
    dir.write("Presets/Equalizer/Pop.eqp", "[Equalizer]\r\n");
    EXPECT_TRUE(eq.remove("POP"));
    EXPECT_FALSE(std::filesystem::exists(file("Equalizer/Pop.eqp")));
}

TEST_F(PresetFolderTest, ASaveThatCannotWriteSaysWhichFile)
{
    // A file where the folder should be: neither the folder nor the preset can be made.
    std::filesystem::create_directories(dir.path() + "/Presets");
    dir.write("Presets/Equalizer", "not a folder");
    const std::int32_t gains[12] = {};
    std::string written;
    EXPECT_FALSE(eq.save("Rock", gains, sizeof gains, written));
    EXPECT_EQ(written, file("Equalizer/Rock.eqp"));
    EXPECT_FALSE(eq.save("a/b", gains, sizeof gains, written));
}

TEST(ShippedPresets, TheProgramFolderHoldsAFewOfEachKind)
{
    const std::string bin = QV_BIN_DIR "/Presets/";
    for (const char* name : {"Equalizer/Default.eqp", "Equalizer/Rock.eqp", "Crossfade/Default.crp",
                             "Reverb/Hall.prs", "Echo/Stereo.prs", "Flanger2/Slow.prs", "AutoAmp/Default.prs",
                             "Echo2/Delay.prs"})
        EXPECT_TRUE(std::filesystem::exists(bin + name)) << name;
    TempDir none;
    EXPECT_EQ(none.read(bin + "AutoAmp/Default.prs"), "[AutoAmp]\r\nSettings=3075000020030000CDCC4C3D0000003F\r\n");
}

}  // namespace
