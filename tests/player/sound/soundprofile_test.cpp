// The sound controls' share of a profile: what a load sets, in which order it reaches the decks,
// and what a save writes.
#include "soundwindow.h"

#include "controls/tbar.h"
#include "player/profiles/profilehooks.h"
#include "player/sound/presetbox.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace player;
using soundtest::SoundWindow;

namespace {

using Calls = std::vector<std::string>;

class SoundProfileWindow : public SoundWindow {};

TEST_F(SoundProfileWindow, ALoadSetsTheEqualiserEffectsGainAndPresetNamesInOrder)
{
    writePreset("Equalizer/Rock.eqp", "[Equalizer]\r\nSettings=09000000\r\n");
    open();
    auto& decks = recordDecks();
    loadSoundProfile("[Equalizer]\r\nOn=1\r\nSettings=03000000FEFFFFFF\r\nLastPreset=Rock\r\nAuto=1\r\n"
         "[Reverb]\r\nSettings=0000000000000000\r\nOn=1\r\nLastPreset=Hall\r\n"
         "[Compressor]\r\nGain=6\r\nThreshold=-10\r\n"
         "[Crossfade]\r\nSettings=00\r\nLastPreset=Club\r\n"
         "[Echo2]\r\nSettings=0000803F\r\nOn=1\r\n");
    EXPECT_TRUE(form->SpeedButton1->isChecked());
    EXPECT_TRUE(form->AutoEq->isChecked());
    EXPECT_EQ(form->TrackBar[0]->value(), -3);
    EXPECT_EQ(form->TrackBar[1]->value(), 2);
    EXPECT_EQ(form->leq[1]->text(), "-2");
    EXPECT_EQ(form->eq_preset->currentText(), "Rock");
    EXPECT_EQ(form->TrackBar[0]->value(), -3) << "the preset's name only: its file is not read";
    EXPECT_EQ(form->cr_preset->currentText(), "Club");
    EXPECT_EQ(form->Gain->value(), -6);
    EXPECT_EQ(form->lbcmgain->text(), "6 dB");
    EXPECT_TRUE(form->Effects.isOn(EffectKind::Reverb));
    EXPECT_EQ(form->Effects.presetName(EffectKind::Reverb), "Hall");
    EXPECT_EQ(form->Effects.echo2.dryMix, 1.0f);

    const Calls calls = decks.log.take();
    const auto at = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    // Equaliser on (every band, deck A then B), then the gain, then the effects once.
    EXPECT_LT(at("A:SetEqualizerGain 1 -2"), at("B:SetEqualizerGain 1 -2"));
    EXPECT_LT(at("B:SetEqualizerGain 11 0"), at("A:SetCompressorParams 6"));
    EXPECT_LT(at("B:SetCompressorParams 6"), at("A:EnableReverb"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "B:ApplyEcho2"), 1);
    EXPECT_NE(at("B:EnableEcho2"), static_cast<std::ptrdiff_t>(calls.size()));
}

TEST_F(SoundProfileWindow, AnEqualiserOffInTheProfileResetsTheDecksAndDefaultsFillTheRest)
{
    open();
    form->SpeedButton1->click();
    auto& decks = recordDecks();
    loadSoundProfile("[Equalizer]\r\nOn=0\r\nSettings=05000000\r\n");
    EXPECT_FALSE(form->SpeedButton1->isChecked());
    EXPECT_EQ(form->TrackBar[0]->value(), -5);
    const Calls calls = decks.log.take();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.find("SetEqualizerGain") != std::string::npos; }), 0);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "B:ResetEqualizer"), calls.end());

    loadSoundProfile("");
    EXPECT_TRUE(form->SpeedButton1->isChecked()) << "On defaults to 1";
    EXPECT_EQ(form->TrackBar[0]->value(), 0) << "a missing Settings is all zeros";
    EXPECT_EQ(form->eq_preset->currentText(), "Default");
    EXPECT_EQ(form->cr_preset->currentText(), "") << "no table: every crossfade point is off, no preset is in force";
    EXPECT_FALSE(form->AutoEq->isChecked());
    loadSoundProfile("[Crossfade]\r\nSettings=" + std::string(120, '0') + "\r\n");
    EXPECT_EQ(form->cr_preset->currentText(), "Default");
}

TEST_F(SoundProfileWindow, AShortEffectRecordReplacesOnlyItsFirstBytes)
{
    open();
    form->Effects.echo = {10, 20, 30, 40, -1};
    loadSoundProfile("[Echo]\r\nSettings=0000C842\r\n");
    EXPECT_EQ(form->Effects.echo.wetDryPercent, 100.0f);
    EXPECT_EQ(form->Effects.echo.feedbackPercent, 20.0f);
    EXPECT_EQ(form->Effects.echo.swapDelays, -1);
    EXPECT_FALSE(form->Effects.isOn(EffectKind::Echo));
}

TEST_F(SoundProfileWindow, ASaveWritesEveryKeyOfTheSoundSections)
{
    open();
    form->TrackBar[0]->setValue(-3);
    form->TrackBar[1]->setValue(2);
    form->SpeedButton1->click();
    form->AutoEq->click();
    player::setPresetBoxText(form->eq_preset, "Rock");
    form->Effects.isOn(EffectKind::Flanger2) = true;
    form->Effects.autoAmp = {30000, 800, 0.05f, 0.5f};
    form->Effects.presetName(EffectKind::AutoAmp) = "Studio";
    form->Gain->setValue(-6);
    platform::IniFile ini(std::string(), platform::IniFile::Mode::Buffered);
    form->SaveSoundProfile(ini);
    EXPECT_EQ(ini.readString("Equalizer", "Settings", ""), "03000000FEFFFFFF" + std::string(80, '0'));
    EXPECT_EQ(ini.readString("Equalizer", "On", ""), "1");
    EXPECT_EQ(ini.readString("Equalizer", "Auto", ""), "1");
    EXPECT_EQ(ini.readString("Equalizer", "LastPreset", ""), "Rock");
    EXPECT_EQ(ini.readString("AutoAmp", "Settings", ""), "3075000020030000CDCC4C3D0000003F");
    EXPECT_EQ(ini.readString("AutoAmp", "LastPreset", ""), "Studio");
    EXPECT_EQ(ini.readString("Flanger2", "On", ""), "1");
    EXPECT_EQ(ini.readString("Echo", "Settings", ""), std::string(40, '0'));
    EXPECT_EQ(ini.readString("Reverb", "On", ""), "0");
    EXPECT_EQ(ini.readString("Compressor", "Gain", ""), "6");
    EXPECT_EQ(ini.readString("Crossfade", "LastPreset", "x"), "");
    EXPECT_FALSE(ini.valueExists("Crossfade", "Settings")) << "the table itself is sequencing's";
}

}  // namespace
