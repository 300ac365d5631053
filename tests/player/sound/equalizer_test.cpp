// The equaliser on the sound page: band labels, sliders to decks while on and off, Reset, presets
// by name and by genre, and the compressor gain.
#include "soundwindow.h"

#include "controls/tbar.h"
#include "platform/recordedusermessages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace player;
using soundtest::SoundWindow;

namespace {

using Calls = std::vector<std::string>;

std::string hex48(std::initializer_list<std::int32_t> gains)
{
    std::string out;
    char buf[9];
    std::size_t n = 0;
    for (std::int32_t g : gains) {
        const auto u = static_cast<std::uint32_t>(g);
        std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X", u & 0xFF, (u >> 8) & 0xFF, (u >> 16) & 0xFF, u >> 24);
        out += buf;
        ++n;
    }
    return out + std::string((12 - n) * 8, '0');
}

class EqualizerWindow : public SoundWindow {};

TEST(BandLabels, ThousandsBecomeKAndTheRestStaysDecimal)
{
    EXPECT_EQ(TForm1::FormatBandLabel(60), "60");
    EXPECT_EQ(TForm1::FormatBandLabel(999), "999");
    EXPECT_EQ(TForm1::FormatBandLabel(1000), "1K");
    EXPECT_EQ(TForm1::FormatBandLabel(1500), "1K");
    EXPECT_EQ(TForm1::FormatBandLabel(16000), "16K");
    EXPECT_EQ(TForm1::FormatBandLabel(0), "0");
}

TEST_F(EqualizerWindow, TheShowingLabelsConfiguredBandsAndDisablesTheRest)
{
    open("[Device]\r\nMainDev=0\r\n[Equalizer]\r\nBandsNum=10\r\nFreq0=60\r\nFreq1=1500\r\nFreq9=16000\r\n");
    EXPECT_EQ(form->l_eq[0]->text(), "60");
    EXPECT_EQ(form->l_eq[1]->text(), "1K");
    EXPECT_EQ(form->l_eq[2]->text(), "0");
    EXPECT_EQ(form->l_eq[9]->text(), "16K");
    for (int i : {10, 11}) {
        EXPECT_FALSE(form->l_eq[i]->isEnabled());
        EXPECT_FALSE(form->TrackBar[i]->isEnabled());
        EXPECT_EQ(form->l_eq[i]->text(), "---");
    }
    EXPECT_TRUE(form->TrackBar[9]->isEnabled());
    EXPECT_EQ(form->TrackBar[0]->orientation(), Qt::Vertical);
    EXPECT_TRUE(form->TrackBar[0]->invertedAppearance()) << "minimum at the top";
    EXPECT_EQ(form->TrackBar[0]->minimum(), -10);
    EXPECT_EQ(form->TrackBar[0]->maximum(), 10);

    // A preset still holds twelve gains; the two bands without a slider stay 0.
    auto& decks = recordDecks();
    form->SpeedButton1->click();
    form->TrackBar[9]->setValue(-4);
    form->eq_preset->setEditText("Ten");
    form->SpeedButton9->click();
    EXPECT_EQ(messages.shown().size(), 0u);
    EXPECT_EQ(programDir.read(presetPath("Equalizer/Ten.eqp")),
              "[Equalizer]\r\nSettings=" + hex48({0, 0, 0, 0, 0, 0, 0, 0, 0, 4}) + "\r\n");
    decks.log.take();
    form->SpeedButton1->click();
    form->SpeedButton1->click();
    const Calls calls = decks.log.take();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("A:SetEq"); }), 10);
}

TEST_F(EqualizerWindow, BandsReachTheDecksOnlyWhileTheEqualiserIsOn)
{
    open();
    auto& decks = recordDecks();
    ASSERT_FALSE(form->SpeedButton1->isChecked());
    form->TrackBar[3]->setValue(-5);
    EXPECT_EQ(form->leq[3]->text(), "+5");
    EXPECT_EQ(form->EqualizerGains[3], 5);
    EXPECT_EQ(decks.log.take(), Calls{}) << "off: neither the sound nor the next track is equalised";

    form->SpeedButton1->click();
    Calls on = decks.log.take();
    ASSERT_EQ(on.size(), 24u);
    EXPECT_EQ(on[3], "A:SetEqualizerGain 3 5");
    EXPECT_EQ(on[12], "B:SetEqualizerGain 0 0");
    EXPECT_EQ(on[15], "B:SetEqualizerGain 3 5");

    form->TrackBar[7]->setValue(3);
    EXPECT_EQ(form->leq[7]->text(), "-3");
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetEqualizerGain 7 -3", "B:SetEqualizerGain 7 -3"}));
    form->TrackBar[7]->setValue(0);
    EXPECT_EQ(form->leq[7]->text(), "0");
    decks.log.take();

    form->SpeedButton1->click();
    EXPECT_EQ(decks.log.take(), (Calls{"A:ResetEqualizer", "B:ResetEqualizer"}));
    // The Auto button runs the same handler: with the equaliser off it resets again.
    form->AutoEq->click();
    EXPECT_TRUE(form->AutoEq->isChecked());
    EXPECT_EQ(decks.log.take(), (Calls{"A:ResetEqualizer", "B:ResetEqualizer"}));
}

TEST_F(EqualizerWindow, ResetMovesEverySliderToZeroThenResetsBothDecks)
{
    open();
    auto& decks = recordDecks();
    form->SpeedButton1->click();
    form->TrackBar[0]->setValue(4);
    form->TrackBar[11]->setValue(-6);
    decks.log.take();
    form->SpeedButton13->click();
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetEqualizerGain 0 0", "B:SetEqualizerGain 0 0",
                                       "A:SetEqualizerGain 11 0", "B:SetEqualizerGain 11 0", "A:ResetEqualizer",
                                       "B:ResetEqualizer"}));
    EXPECT_EQ(form->EqualizerGains, (std::array<std::int32_t, 12>{}));
    EXPECT_EQ(form->leq[11]->text(), "0");
}

TEST_F(EqualizerWindow, APresetLoadsLetterByLetterAndSavesByteForByte)
{
    writePreset("Equalizer/Rock.eqp",
                "[Equalizer]\r\nSettings=" + hex48({3, -2, 0, 12, -15, INT32_MIN, INT32_MAX}) + "\r\n");
    writePreset("Equalizer/R.eqp", "[Equalizer]\r\nSettings=" + hex48({1}) + "\r\n");
    open();
    auto& decks = recordDecks();
    EXPECT_EQ(form->eq_preset->count(), 2);
    form->SpeedButton1->click();
    decks.log.take();

    // Typing "Rock": "R" is a preset too, "Ro" and "Roc" are not.
    QLineEdit* typing = form->eq_preset->lineEdit();
    typing->clear();
    typing->insert("R");
    EXPECT_EQ(form->TrackBar[0]->value(), -1);
    typing->insert("o");
    typing->insert("c");
    EXPECT_EQ(form->TrackBar[0]->value(), -1);
    typing->insert("k");
    EXPECT_EQ(form->eq_preset->currentText(), "Rock");
    EXPECT_EQ(form->TrackBar[0]->value(), -3);
    EXPECT_EQ(form->TrackBar[1]->value(), 2);
    EXPECT_EQ(form->TrackBar[3]->value(), -10) << "clamped by the slider";
    EXPECT_EQ(form->TrackBar[4]->value(), 10);
    EXPECT_EQ(form->TrackBar[5]->value(), 10) << "the lowest gain stays the lowest";
    EXPECT_EQ(form->TrackBar[6]->value(), -10);
    EXPECT_EQ(form->eq_preset->count(), 2) << "typing adds nothing to the list";
    const Calls loaded = decks.log.take();
    EXPECT_NE(std::find(loaded.begin(), loaded.end(), "B:SetEqualizerGain 3 10"), loaded.end());

    // Choosing the same preset again moves no slider and changes nothing.
    form->eq_preset->setCurrentIndex(form->eq_preset->findText("Rock"));
    EXPECT_EQ(decks.log.take(), Calls{});

    // Saved under another name, the file holds the clamped gains.
    form->eq_preset->setEditText("Mine");
    EXPECT_EQ(decks.log.take(), Calls{}) << "a name without a file does nothing";
    form->SpeedButton9->click();
    EXPECT_EQ(programDir.read(presetPath("Equalizer/Mine.eqp")),
              "[Equalizer]\r\nSettings=" + hex48({3, -2, 0, 10, -10, -10, 10}) + "\r\n");
    EXPECT_EQ(form->eq_preset->count(), 3);
    EXPECT_EQ(form->eq_preset->currentText(), "Mine");
}

TEST_F(EqualizerWindow, AShortPresetSetsOnlyTheBandsItHoldsWhole)
{
    writePreset("Equalizer/Short.eqp", "[Equalizer]\r\nSettings=0200000003000000FFFF\r\n");
    open();
    for (int i = 0; i < 4; ++i)
        form->TrackBar[i]->setValue(5);
    type(form->eq_preset, "short");
    EXPECT_EQ(form->TrackBar[0]->value(), -2);
    EXPECT_EQ(form->TrackBar[1]->value(), -3);
    EXPECT_EQ(form->TrackBar[2]->value(), 5);
    EXPECT_EQ(form->TrackBar[3]->value(), 5);
}

TEST_F(EqualizerWindow, BadNamesAndFailedWritesAreToldAndChangeNothing)
{
    std::filesystem::create_directories(presetPath("Encoder"));
    const std::string encoder = programDir.write("Presets/Encoder.eqp", "[Equalizer]\r\n");
    open();
    form->eq_preset->setEditText("..\\Encoder");
    form->SpeedButton10->click();
    EXPECT_TRUE(std::filesystem::exists(encoder));
    form->eq_preset->setEditText("../Encoder");
    form->SpeedButton9->click();
    EXPECT_EQ(programDir.read(encoder), "[Equalizer]\r\n");
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Недопустимое имя пресета: \"..\\Encoder\"");

    messages.clear();
    programDir.write("Presets/Equalizer", "a file where the folder should be");
    form->eq_preset->setEditText("Rock");
    form->SpeedButton9->click();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Unable to write to " + presetPath("Equalizer/Rock.eqp"));
    EXPECT_EQ(form->eq_preset->count(), 0);
}

TEST_F(EqualizerWindow, DeleteRemovesTheFileRefillsTheListAndEmptiesTheBox)
{
    writePreset("Equalizer/Pop.eqp", "[Equalizer]\r\nSettings=" + hex48({}) + "\r\n");
    writePreset("Equalizer/Jazz.eqp", "[Equalizer]\r\nSettings=" + hex48({}) + "\r\n");
    open();
    ASSERT_EQ(form->eq_preset->count(), 2);
    form->eq_preset->setEditText("pop");
    form->SpeedButton10->click();
    EXPECT_FALSE(std::filesystem::exists(presetPath("Equalizer/Pop.eqp")));
    EXPECT_EQ(form->eq_preset->count(), 1);
    EXPECT_EQ(form->eq_preset->currentText(), "");
    form->eq_preset->setEditText("Gone");
    form->SpeedButton10->click();
    EXPECT_EQ(form->eq_preset->count(), 1);
    EXPECT_EQ(messages.shown().size(), 0u);
}

TEST_F(EqualizerWindow, AutoChoosesThePresetOfTheGenreElseDefault)
{
    writePreset("Equalizer/rock.eqp", "[Equalizer]\r\nSettings=" + hex48({4}) + "\r\n");
    writePreset("Equalizer/default.eqp", "[Equalizer]\r\nSettings=" + hex48({-1}) + "\r\n");
    open();
    form->AutoEqualizerPreset("ROCK");
    EXPECT_EQ(form->eq_preset->currentText(), "rock");
    EXPECT_EQ(form->TrackBar[0]->value(), -4);
    form->AutoEqualizerPreset("Polka");
    EXPECT_EQ(form->eq_preset->currentText(), "Default");
    EXPECT_EQ(form->TrackBar[0]->value(), 1) << "Default finds default.eqp";
}

TEST_F(EqualizerWindow, WithAutoEachStartChoosesThePresetOfItsGenre)
{
    writePreset("Equalizer/default.eqp", "[Equalizer]\r\nSettings=" + hex48({0, 6}) + "\r\n");
    open();
    form->AddFile(QString::fromStdString(programDir.write("plain.wav", playertest::wavFile(2, 44100, 4410))));
    form->RenumberList();
    form->eq_preset->setEditText("Mine");
    form->LVMaster->selectRows({0});
    form->aPlay();
    EXPECT_EQ(form->eq_preset->currentText(), "Mine") << "Auto is off";
    form->AutoEq->click();
    form->aPlay();
    // A file without a genre falls back to Default.
    EXPECT_EQ(form->eq_preset->currentText(), "Default");
    EXPECT_EQ(form->TrackBar[1]->value(), -6);
}

TEST_F(EqualizerWindow, CompressorGainGoesToBothDecksAndShowsInDb)
{
    open();
    auto& decks = recordDecks();
    EXPECT_EQ(form->lbcmgain->text(), "0 dB");
    EXPECT_EQ(form->Gain->minimum(), -30);
    EXPECT_EQ(form->Gain->maximum(), 30);
    form->Gain->setValue(12);
    EXPECT_EQ(form->lbcmgain->text(), "-12 dB");
    EXPECT_EQ(form->CompressorRecord.gainDb, -12.0f);
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetCompressorParams -12", "B:SetCompressorParams -12"}));
    form->Gain->setValue(-30);
    EXPECT_EQ(form->lbcmgain->text(), "30 dB");
}

}  // namespace
