// The five effects: ApplyEffects' calls on both decks, and the effects window: what it shows and
// stores, its size in each language, its on/off buttons, Reset and Random, its presets, one window
// at a time.
#include "soundwindow.h"

#include "controls/lbar.h"
#include "controls/spinfloatedit.h"
#include "player/profiles/profilehooks.h"
#include "player/sound/fxform.h"
#include "player/sound/presetbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace player;
using soundtest::RecordingRoles;
using soundtest::SoundWindow;

namespace {

using Calls = std::vector<std::string>;

TEST(ApplyEffects, EachEffectOnDeckAThenDeckBAndTheLevelControlResetOnBThenA)
{
    RecordingRoles decks;
    EffectSettings s;
    s.isOn(EffectKind::Echo) = true;
    s.isOn(EffectKind::AutoAmp) = true;
    s.reverb.reverbTimeMs = 1200;
    s.autoAmp.target = 30000;
    applyEffects(s, decks.a, decks.b);
    EXPECT_EQ(decks.log.take(),
              (Calls{"A:SetReverbParams", "A:DisableReverb", "A:ApplyReverb", "B:SetReverbParams", "B:DisableReverb",
                     "B:ApplyReverb", "A:SetEchoParams", "A:EnableEcho", "A:ApplyEcho", "B:SetEchoParams",
                     "B:EnableEcho", "B:ApplyEcho", "A:SetFlangerParams", "A:DisableFlanger", "A:ApplyFlanger",
                     "B:SetFlangerParams", "B:DisableFlanger", "B:ApplyFlanger", "A:SetAutoAmpSettings",
                     "A:EnableAutoAmp", "B:SetAutoAmpSettings", "B:EnableAutoAmp", "B:ResetAutoAmp", "A:ResetAutoAmp",
                     "A:SetEcho2Params", "A:DisableEcho2", "A:ApplyEcho2", "B:SetEcho2Params", "B:DisableEcho2",
                     "B:ApplyEcho2"}));
    EXPECT_EQ(decks.b.reverb.reverbTimeMs, 1200.0f);
    EXPECT_EQ(decks.a.autoAmp.target, 30000);
}

TEST(EffectRecords, KindsNameTheirSectionsFoldersAndRecordSizes)
{
    EffectSettings s;
    const std::pair<EffectKind, std::size_t> sizes[] = {{EffectKind::Reverb, 16}, {EffectKind::Echo, 20},
                                                        {EffectKind::Flanger2, 16}, {EffectKind::AutoAmp, 16},
                                                        {EffectKind::Echo2, 16}};
    for (const auto& [kind, size] : sizes)
        EXPECT_EQ(s.record(kind).size(), size) << effectKindName(kind);
    EXPECT_STREQ(effectKindCaption(EffectKind::Flanger2), "Flanger 2.0");
    EXPECT_STREQ(effectKindCaption(EffectKind::Echo2), "Echo 2.0");
    EXPECT_STREQ(effectKindName(EffectKind::Flanger2), "Flanger2");
}

class EffectsWindow : public SoundWindow {
protected:
    TFXFrm& openEffects()
    {
        open();
        decks = &recordDecks();
        form->SpeedButton12->click();
        EXPECT_TRUE(form->FXFrm);
        return *form->FXFrm;
    }
    // How many times ApplyEffects ran since the last call (each ends with deck B's second echo).
    int applies()
    {
        const Calls calls = decks->log.take();
        return static_cast<int>(std::count(calls.begin(), calls.end(), "B:ApplyEcho2"));
    }
    RecordingRoles* decks = nullptr;
};

TEST_F(EffectsWindow, TheWindowShowsItsPagesAndStoresTheBarsMinimaOverZeroSettings)
{
    TFXFrm& fx = openEffects();
    EXPECT_EQ(fx.windowTitle(), "Additional FX");
    EXPECT_TRUE(fx.windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_EQ(fx.PageControl1->count(), 5);
    EXPECT_EQ(fx.PageControl1->tabText(2), "Flanger 2.0");
    EXPECT_EQ(fx.PageControl1->tabText(4), "Echo 2.0");
    EXPECT_TRUE(fx.FxControlsReady);
    EXPECT_FALSE(fx.FxApplySuspended);
    EXPECT_EQ(fx.rvtime->Caption(), "ReverbTime");
    EXPECT_EQ(fx.rvtime->minimum(), 1);
    EXPECT_EQ(fx.rvtime->maximum(), 3000000);
    EXPECT_EQ(fx.fl2delay->minimum(), 11);
    EXPECT_EQ(fx.fl2delay->maximum(), 31);
    EXPECT_EQ(fx.e2feed->minimum(), -100);
    EXPECT_EQ(fx.dadelay->valueLabel()->text(), "0.1 sec");
    EXPECT_TRUE(fx.Button1->isDefault());

    // Zeros in, minima out: the records now hold what the bars can show.
    const EffectSettings& s = form->Effects;
    EXPECT_FLOAT_EQ(s.reverb.reverbTimeMs, 0.001f);
    EXPECT_FLOAT_EQ(s.reverb.hfTimeRatio, 0.001f);
    EXPECT_EQ(s.echo.leftDelayMs, 1.0f);
    EXPECT_FLOAT_EQ(s.flanger.delayMs, 1.1f);
    EXPECT_EQ(s.autoAmp.target, 1);
    EXPECT_FLOAT_EQ(s.echo2.delaySeconds, 0.02f);
    EXPECT_EQ(s.echo2.dryMix, 0.0f);
    EXPECT_EQ(applies(), 6) << "once as the records were, once per page";
}

// In each shipped language every caption and value sits whole beside its bar, on every page, and
// the window, sized from its translated texts, can be made wider.
TEST_F(EffectsWindow, CaptionsAndValuesFitInEachLanguageAndTheWindowWidens)
{
    std::filesystem::copy(std::string(QV_BIN_DIR) + "/Lang", programDir.path() + "/Lang",
                          std::filesystem::copy_options::recursive);
    open();
    for (const std::string language : {"Ru", "En"}) {
        form->LangDir = language;
        form->SpeedButton12->click();
        TFXFrm& fx = *form->FXFrm;
        EXPECT_LE(fx.minimumWidth(), fx.maximumWidth()) << language;
        EXPECT_GT(fx.maximumWidth(), fx.width()) << language;
        EXPECT_GE(fx.width(), fx.minimumSizeHint().width()) << language;
        for (int page = 0; page < fx.PageControl1->count(); ++page) {
            fx.PageControl1->setCurrentIndex(page);
            for (controls::TLBar* bar : fx.PageControl1->widget(page)->findChildren<controls::TLBar*>()) {
                const QRect room = bar->parentWidget()->rect();
                for (QLabel* label : {bar->captionLabel(), bar->valueLabel()})
                    EXPECT_TRUE(room.contains(label->geometry()))
                        << language << " " << label->text().toStdString() << " at " << label->x() << " of "
                        << room.width();
            }
        }
        if (language == "Ru") {
            EXPECT_EQ(fx.rvtime->valueLabel()->text(), QStringLiteral("0.001 мс"));
        }
        fx.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EffectsWindow, OnOffButtonsSetTheFlagsAndApply)
{
    TFXFrm& fx = openEffects();
    applies();
    fx.SpeedButton3->click();
    EXPECT_TRUE(form->Effects.isOn(EffectKind::Echo));
    const Calls calls = decks->log.take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "B:EnableEcho"), calls.end());
    fx.SpeedButton40->click();
    fx.SpeedButton3->click();
    EXPECT_FALSE(form->Effects.isOn(EffectKind::Echo));
    EXPECT_TRUE(form->Effects.isOn(EffectKind::Echo2));
    EXPECT_EQ(applies(), 2);
    // Closed, the window changes nothing: its flag is down and the settings stay.
    fx.Button1->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->FXFrm);
    EXPECT_TRUE(form->Effects.isOn(EffectKind::Echo2));
}

TEST_F(EffectsWindow, EscapeClosesTheWindowAndTheNextClickOpensANewOne)
{
    TFXFrm& fx = openEffects();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&fx, &escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->FXFrm);
    form->SpeedButton12->click();
    ASSERT_TRUE(form->FXFrm);
    EXPECT_TRUE(form->FXFrm->FxControlsReady);
}

TEST_F(EffectsWindow, ResetSetsItsValuesAndApplies)
{
    TFXFrm& fx = openEffects();
    fx.SpeedButton13->click();
    EXPECT_EQ(form->Effects.reverb.inputGainDb, 0.0f);
    EXPECT_EQ(form->Effects.reverb.reverbMixDb, 0.0f);
    EXPECT_EQ(form->Effects.reverb.reverbTimeMs, 1000.0f);
    EXPECT_FLOAT_EQ(form->Effects.reverb.hfTimeRatio, 0.001f);
    fx.ecswap->setChecked(true);
    fx.SpeedButton15->click();
    EXPECT_EQ(form->Effects.echo.wetDryPercent, 0.0f);
    EXPECT_EQ(form->Effects.echo.leftDelayMs, 333.0f);
    EXPECT_EQ(form->Effects.echo.rightDelayMs, 333.0f);
    EXPECT_EQ(form->Effects.echo.swapDelays, 0);
    applies();
    fx.SpeedButton1->click();
    EXPECT_EQ(form->Effects.autoAmp.target, 30000);
    EXPECT_EQ(form->Effects.autoAmp.quiet, 800);
    EXPECT_FLOAT_EQ(form->Effects.autoAmp.rate, 0.05f);
    EXPECT_FLOAT_EQ(form->Effects.autoAmp.delay, 0.5f);
    EXPECT_GE(applies(), 4) << "each value set applies";
    EXPECT_EQ(form->Effects.autoAmp.target, decks->b.autoAmp.target);
}

TEST_F(EffectsWindow, RandomDrawsWithinTheRangesInItsOrder)
{
    TFXFrm& fx = openEffects();
    const auto draw = [](std::mt19937& g, int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); };
    for (unsigned seed : {1u, 7u, 2024u}) {
        form->Random.seed(seed);
        std::mt19937 expect(seed);
        applies();

        fx.SpeedButton20->click();
        const auto& r = form->Effects.reverb;
        EXPECT_EQ(r.reverbMixDb, static_cast<float>(draw(expect, 97) - 96));
        const float time = std::max(0.001f, static_cast<float>(draw(expect, 3000000)) / 1000.0f);
        EXPECT_NEAR(r.reverbTimeMs, time, 0.0005f);
        const int ratio = std::max(1, draw(expect, 1000));
        EXPECT_NEAR(r.hfTimeRatio, ratio / 1000.0f, 1e-6f);
        EXPECT_GE(r.reverbMixDb, -96.0f);
        EXPECT_LE(r.reverbMixDb, 0.0f);

        fx.SpeedButton18->click();
        const auto& e = form->Effects.echo;
        EXPECT_EQ(e.wetDryPercent, static_cast<float>(draw(expect, 101)));
        EXPECT_EQ(e.feedbackPercent, static_cast<float>(draw(expect, 101)));
        EXPECT_EQ(e.leftDelayMs, static_cast<float>(draw(expect, 2000) + 1));
        EXPECT_EQ(e.rightDelayMs, static_cast<float>(draw(expect, 2000) + 1));
        const bool swap = draw(expect, 2) == 1;
        EXPECT_EQ(fx.ecswap->isChecked(), swap);

        fx.SpeedButton23->click();
        const auto& f = form->Effects.flanger;
        EXPECT_NEAR(f.delayMs, std::max(1.1f, static_cast<float>(draw(expect, 200) + 101) / 100.0f), 0.051f);
        EXPECT_EQ(f.beatsPerMinute, static_cast<float>(draw(expect, 350) + 1));
        EXPECT_EQ(f.wetDry, static_cast<float>(std::max(1, draw(expect, 10))));

        fx.SpeedButton43->click();
        const auto& e2 = form->Effects.echo2;
        EXPECT_NEAR(e2.dryMix, (-20 + draw(expect, 40)) / 10.0f, 1e-6f);
        EXPECT_NEAR(e2.wetMix, (-20 + draw(expect, 40)) / 10.0f, 1e-6f);
        EXPECT_NEAR(e2.feedback, (-100 + draw(expect, 200)) / 100.0f, 1e-6f);
        EXPECT_NEAR(e2.delaySeconds, std::max(2, draw(expect, 600)) / 100.0f, 1e-6f);
        EXPECT_GE(applies(), 3);
        EXPECT_EQ(decks->a.echo2.feedback, e2.feedback);
    }
}

TEST_F(EffectsWindow, ARandomWhoseLastDrawMovesNothingStoresWithoutApplying)
{
    TFXFrm& fx = openEffects();
    // Find a seed whose flanger wet/dry draw equals what the bar shows (1, its minimum).
    unsigned seed = 0;
    for (;; ++seed) {
        std::mt19937 g(seed);
        for (int n : {200, 350})
            std::uniform_int_distribution<int>(0, n - 1)(g);
        if (std::uniform_int_distribution<int>(0, 9)(g) <= 1)
            break;
    }
    form->Random.seed(seed);
    applies();
    fx.SpeedButton23->click();
    EXPECT_EQ(applies(), 0);
    EXPECT_NE(form->Effects.flanger.beatsPerMinute, decks->a.flanger.beatsPerMinute)
        << "stored, but not on the decks until the next apply";
}

TEST_F(EffectsWindow, APresetLoadsOverItsRecordKeepsTheOnStateAndSavesByteForByte)
{
    writePreset("AutoAmp/Studio.prs", "[AutoAmp]\r\nSettings=3075000020030000CDCC4C3D0000003F\r\n");
    writePreset("Echo/Short.prs", "[Echo]\r\nSettings=0000A0410000\r\n");
    TFXFrm& fx = openEffects();
    ASSERT_EQ(fx.pda->count(), 1);
    fx.SpeedButton32->click();
    type(fx.pda, "studio");
    EXPECT_EQ(form->Effects.autoAmp.target, 30000);
    EXPECT_EQ(form->Effects.autoAmp.quiet, 800);
    EXPECT_FLOAT_EQ(form->Effects.autoAmp.rate, 0.05f);
    EXPECT_EQ(fx.datarg->value(), 30000);
    EXPECT_TRUE(form->Effects.isOn(EffectKind::AutoAmp)) << "a preset leaves on/off alone";
    EXPECT_EQ(form->Effects.presetName(EffectKind::AutoAmp), "studio");
    EXPECT_EQ(fx.pda->currentText(), "studio");
    EXPECT_EQ(fx.pda->count(), 1);

    fx.pda->setEditText("Copy");
    EXPECT_EQ(form->Effects.presetName(EffectKind::AutoAmp), "studio");
    fx.SpeedButton33->click();
    EXPECT_EQ(programDir.read(presetPath("AutoAmp/Copy.prs")),
              "[AutoAmp]\r\nSettings=3075000020030000CDCC4C3D0000003F\r\n");
    EXPECT_EQ(fx.pda->count(), 2);
    EXPECT_EQ(form->Effects.presetName(EffectKind::AutoAmp), "studio") << "a save keeps the last name";

    // A short value sets the fields it holds whole (wet/dry 20 %), the rest stays.
    fx.ecright->setValue(700);
    type(fx.pecho, "Short");
    EXPECT_EQ(form->Effects.echo.wetDryPercent, 20.0f);
    EXPECT_EQ(form->Effects.echo.rightDelayMs, 700.0f);

    fx.pda->setEditText("Copy");
    fx.SpeedButton34->click();
    EXPECT_FALSE(std::filesystem::exists(presetPath("AutoAmp/Copy.prs")));
    EXPECT_EQ(fx.pda->currentText(), "");
}

TEST_F(EffectsWindow, AChoiceFromAPresetListLoadsAlsoTheNameTheBoxShows)
{
    writePreset("Equalizer/Rock.eqp", "[Equalizer]\r\nSettings=03000000\r\n");
    // Music: mix at 2 s, on.
    writePreset("Crossfade/Club.crp", "[Crossfade]\r\nSettings=" + std::string(24, '0') + "000000400000000001000000\r\n");
    writePreset("AutoAmp/Studio.prs", "[AutoAmp]\r\nSettings=30750000\r\n");
    TFXFrm& fx = openEffects();
    // Each box names its preset (as a profile leaves it) while the settings have moved away.
    setPresetBoxText(form->eq_preset, "Rock");
    setPresetBoxText(form->cr_preset, "Club");
    setPresetBoxText(fx.pda, "Studio");

    choose(form->eq_preset, "Rock");
    EXPECT_EQ(form->TrackBar[0]->value(), -3);
    choose(form->cr_preset, "Club");
    EXPECT_EQ(form->musmix->Value(), 2.0L);
    EXPECT_TRUE(form->cbmusmix->isChecked());
    choose(fx.pda, "Studio");
    EXPECT_EQ(form->Effects.autoAmp.target, 30000);
    EXPECT_EQ(fx.pda->currentText(), "Studio");
}

TEST_F(EffectsWindow, OneWindowAtATimeAndAProfileLoadRefreshesIt)
{
    TFXFrm& fx = openEffects();
    form->SpeedButton12->click();
    EXPECT_EQ(form->FXFrm.data(), &fx);
    EXPECT_EQ(form->findChildren<TFXFrm*>().size(), 1u);

    programDir.write("Other.prf", "[Reverb]\r\nSettings=00000000000020C1000048440000003F\r\nOn=1\r\nLastPreset=Hall\r\n");
    form->LoadSoundProfile(platform::IniFile(programDir.path() + "/Other.prf"), ProfileLoad{});
    EXPECT_EQ(fx.rvmix->value(), -10);
    EXPECT_EQ(fx.rvtime->Value(), 800.0f);
    EXPECT_TRUE(fx.SpeedButton11->isChecked());
    EXPECT_EQ(fx.preverb->currentText(), "Hall");
}

}  // namespace
