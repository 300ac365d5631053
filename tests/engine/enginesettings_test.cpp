// Engine settings from "system.ini": defaults, the keys of both programs, the band table's
// bounds, and what loading does to the process priority and the volume curve.
#include "engine/enginesettings.h"

#include "audiolib/audiolib.h"
#include "platform/inifile.h"
#include "platform/process.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>

namespace engine {
namespace {

class EngineSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const char* old = std::getenv("QUORVALEN_PROGRAM_DIR");
        m_oldDir = old ? old : "";
        setenv("QUORVALEN_PROGRAM_DIR", m_dir.path().toStdString().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_oldDir.empty())
            unsetenv("QUORVALEN_PROGRAM_DIR");
        else
            setenv("QUORVALEN_PROGRAM_DIR", m_oldDir.c_str(), 1);
        setEngineSettings(EngineSettings{});
        audiolib::setConfig(audiolib::kOptionLogCurve, 0);
    }
    void writeIni(const std::string& text)
    {
        std::ofstream(m_dir.filePath("system.ini").toStdString()) << text;
    }
    platform::IniFile ini() const { return platform::IniFile(m_dir.filePath("system.ini").toStdString()); }

    QTemporaryDir m_dir;
    std::string m_oldDir;
};

TEST_F(EngineSettingsTest, MissingFileGivesEveryDefault)
{
    setEngineSettings(EngineSettings{.Priority = 9, .Lg = true, .FXTempo = true, .LangDir = "x", .UseLineIn = true,
                                     .BufferLength = 1, .MainDev = 5, .SecondDev = 6, .LastBand = 2});
    LoadEngineSettings();
    const EngineSettings& s = engineSettings();
    EXPECT_EQ(s.Priority, 1);
    EXPECT_FALSE(s.Lg);
    EXPECT_FALSE(s.FXTempo);
    EXPECT_EQ(s.LangDir, "Ru");
    EXPECT_FALSE(s.UseLineIn);
    EXPECT_EQ(s.BufferLength, 500);
    EXPECT_EQ(s.MainDev, 1);
    EXPECT_EQ(s.SecondDev, 2);
    EXPECT_EQ(s.bandCount(), 12);
    for (int f : s.Freq)
        EXPECT_EQ(f, 0);
    EXPECT_EQ(audiolib::getConfig(audiolib::kOptionLogCurve), 0);
}

TEST_F(EngineSettingsTest, ReadsEveryKeyOfThePlayer)
{
    writeIni("[Options]\nPriority=3\nLg=1\nFXTempo=1\nLangDir=Russian\nUseLineIn=1\nBufferLength=$3E8\n"
             "[Device]\nMainDev=0\nSecondDev=0x4\n"
             "[Equalizer]\nBandsNum=3\nFreq0=100\nFreq1=1000\nFreq2=10000\nFreq3=555\n");
    const EngineSettings s = readEngineSettings(ini(), EngineVariant::Player);
    EXPECT_EQ(s.Priority, 3);
    EXPECT_TRUE(s.Lg);
    EXPECT_TRUE(s.FXTempo);
    EXPECT_EQ(s.LangDir, "Russian");
    EXPECT_TRUE(s.UseLineIn);
    EXPECT_EQ(s.BufferLength, 1000);
    EXPECT_EQ(s.MainDev, 0);
    EXPECT_EQ(s.SecondDev, 4);
    EXPECT_EQ(s.LastBand, 2);
    EXPECT_EQ(s.Freq[0], 100);
    EXPECT_EQ(s.Freq[2], 10000);
    EXPECT_EQ(s.Freq[3], 0);  // beyond the configured bands nothing is read
}

TEST_F(EngineSettingsTest, BandCountBufferAndFrequenciesAreBoundedByWhatUsesThem)
{
    for (const char* bad : {"-2147483648", "2147483647", "-1", "99999999999"}) {
        writeIni(std::string("[Options]\nBufferLength=") + bad + "\n[Equalizer]\nBandsNum=1\nFreq0=" + bad + "\n");
        const EngineSettings s = readEngineSettings(ini(), EngineVariant::Player);
        EXPECT_GE(s.BufferLength, kMinBufferLength) << bad;
        EXPECT_LE(s.BufferLength, kMaxBufferLength) << bad;
        EXPECT_GE(s.Freq[0], 0) << bad;
        EXPECT_LE(s.Freq[0], kMaxBandFrequency) << bad;
    }
    std::string text = "[Equalizer]\nBandsNum=40\n";
    for (int i = 0; i < 14; ++i)
        text += "Freq" + std::to_string(i) + "=" + std::to_string(100 * (i + 1)) + "\n";
    writeIni(text);
    EngineSettings s = readEngineSettings(ini(), EngineVariant::Player);
    EXPECT_EQ(s.bandCount(), 12);
    EXPECT_EQ(s.Freq[11], 1200);

    writeIni("[Equalizer]\nBandsNum=0\nFreq0=100\n");
    s = readEngineSettings(ini(), EngineVariant::Player);
    EXPECT_EQ(s.LastBand, -1);
    EXPECT_EQ(s.Freq[0], 0);
    writeIni("[Equalizer]\nBandsNum=-7\n");
    EXPECT_EQ(readEngineSettings(ini(), EngineVariant::Player).LastBand, -1);
}

TEST_F(EngineSettingsTest, DatabaseVariantHasItsOwnKeysAndFixedBands)
{
    writeIni("[Options]\nPriority=2\nSampleRate=48000\nResolution=32\nFXTempo=1\n[Equalizer]\nBandsNum=2\n");
    EngineSettings s = readEngineSettings(ini(), EngineVariant::Base);
    EXPECT_EQ(s.SampleRate, 48000);
    EXPECT_EQ(s.Resolution, 32);
    EXPECT_TRUE(s.FXTempo);
    EXPECT_EQ(s.bandCount(), 12);
    EXPECT_EQ(s.Freq, kBaseBandCenters);

    writeIni("");
    s = readEngineSettings(ini(), EngineVariant::Base);
    EXPECT_EQ(s.SampleRate, 44100);
    EXPECT_EQ(s.Resolution, 16);
    // The player ignores the database program's keys.
    writeIni("[Options]\nSampleRate=8000\n");
    EXPECT_EQ(readEngineSettings(ini(), EngineVariant::Player).SampleRate, 44100);
}

TEST_F(EngineSettingsTest, LoadingSetsTheVolumeCurveAndThePriorityClass)
{
    ASSERT_EQ(setpriority(PRIO_PROCESS, 0, 3), 0);
    writeIni("[Options]\nPriority=7\nLg=1\n");
    LoadEngineSettings();
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 3) << "an unknown class leaves the priority alone";
    EXPECT_EQ(audiolib::getConfig(audiolib::kOptionLogCurve), 1);

    writeIni("[Options]\nPriority=0\n");
    LoadBaseEngineSettings();
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), *platform::niceForPriorityClass(0));
    EXPECT_EQ(audiolib::getConfig(audiolib::kOptionLogCurve), 0);

    writeIni("[Options]\nPriority=1\n");
    LoadEngineSettings();
    if (geteuid() == 0) {  // going back up needs the privilege
        EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 0);
    }
    setpriority(PRIO_PROCESS, 0, 0);
}

}  // namespace
}  // namespace engine
