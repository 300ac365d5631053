// TFXFrm, "Additional FX": the five optional effects of both decks on five pages, each with its
// bars, its on/off button and its named presets. The settings live in the main window
// (TForm1::Effects); this window edits them and has the main window apply them.
#pragma once

#include "player/sound/effectsettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace controls {
class TLBar;
}

namespace player {

class TForm1;

class TFXFrm final : public QDialog {
    Q_OBJECT
public:
    // A window of form's, not yet shown; it frees itself when closed.
    explicit TFXFrm(TForm1& form);

    QTabWidget* PageControl1 = nullptr;
    controls::TLBar* rvgain = nullptr;
    controls::TLBar* rvmix = nullptr;
    controls::TLBar* rvtime = nullptr;
    controls::TLBar* rvhf = nullptr;
    controls::TLBar* ecwet = nullptr;
    controls::TLBar* ecfeed = nullptr;
    controls::TLBar* ecleft = nullptr;
    controls::TLBar* ecright = nullptr;
    QCheckBox* ecswap = nullptr;
    controls::TLBar* fl2delay = nullptr;
    controls::TLBar* fl2bpm = nullptr;
    controls::TLBar* fl2wetdry = nullptr;
    controls::TLBar* datarg = nullptr;
    controls::TLBar* daquiet = nullptr;
    controls::TLBar* darate = nullptr;
    controls::TLBar* dadelay = nullptr;
    controls::TLBar* e2dry = nullptr;
    controls::TLBar* e2wet = nullptr;
    controls::TLBar* e2feed = nullptr;
    controls::TLBar* e2delay = nullptr;
    QLabel* AutoAmpNote = nullptr;  // "Not recommended to change parameters during playback."
    // On/off buttons, by kind.
    QToolButton* SpeedButton11 = nullptr;  // reverb
    QToolButton* SpeedButton3 = nullptr;   // echo
    QToolButton* SpeedButton16 = nullptr;  // flanger
    QToolButton* SpeedButton32 = nullptr;  // automatic level
    QToolButton* SpeedButton40 = nullptr;  // second echo
    QComboBox* preverb = nullptr;
    QComboBox* pecho = nullptr;
    QComboBox* pfl2 = nullptr;
    QComboBox* pda = nullptr;
    QComboBox* pe2 = nullptr;
    // Save and delete, by kind.
    QToolButton* SpeedButton9 = nullptr;
    QToolButton* SpeedButton10 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton21 = nullptr;
    QToolButton* SpeedButton22 = nullptr;
    QToolButton* SpeedButton33 = nullptr;
    QToolButton* SpeedButton34 = nullptr;
    QToolButton* SpeedButton41 = nullptr;
    QToolButton* SpeedButton42 = nullptr;
    // Reset (reverb, echo, automatic level) and Random (reverb, echo, flanger, second echo).
    QToolButton* SpeedButton13 = nullptr;
    QToolButton* SpeedButton15 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton20 = nullptr;
    QToolButton* SpeedButton18 = nullptr;
    QToolButton* SpeedButton23 = nullptr;
    QToolButton* SpeedButton43 = nullptr;
    QPushButton* Button1 = nullptr;  // "Close"; also Enter and Esc

    // Set once the window has shown its controls; while clear, no handler does anything.
    bool FxControlsReady = false;
    // While set, the handlers store values into the records without applying them.
    bool FxApplySuspended = false;
    // Set while a preset load re-runs FormShow: the preset boxes keep their lists and texts.
    bool FxPresetLoading = false;

    // The room beside the bars and the window's size from the captions, units and values as they
    // read now (after translation); done as the window shows.
    void FitToTexts();

    QToolButton* OnButton(EffectKind kind) const { return m_onButtons[static_cast<std::size_t>(kind)]; }
    QComboBox* PresetBox(EffectKind kind) const { return m_presetBoxes[static_cast<std::size_t>(kind)]; }

    // The records into the controls, once applied as they are and once as the bars can show them;
    // then (unless a preset is loading) the preset boxes refilled with the last names.
    void FormShow();
    void FormClose();
    void Button1Click();
    void SpeedButton11Click();  // every on/off button
    void rvgainChange();
    void ecwetChange();
    void fl2delayChange();
    void datargChange();
    void e2delayValueChange();
    void LoadFxPreset(EffectKind kind, QComboBox* box);
    void SaveFxPreset(EffectKind kind, QComboBox* box);
    void DeleteFxPreset(EffectKind kind, QComboBox* box);
    void SpeedButton13Click();  // reverb reset
    void SpeedButton15Click();  // echo reset
    void SpeedButton1Click();   // automatic level reset
    void SpeedButton20Click();  // reverb random
    void SpeedButton18Click();  // echo random
    void SpeedButton23Click();  // flanger random
    void SpeedButton43Click();  // second echo random

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildPages();
    // Random(n): 0 .. n - 1, from the main window's generator.
    int random(int n);
    // The page handler of a kind.
    void pageChanged(EffectKind kind);
    void applyUnlessSuspended();

    TForm1& m_form;
    std::array<QToolButton*, kEffectKinds> m_onButtons{};
    std::array<QComboBox*, kEffectKinds> m_presetBoxes{};
    std::array<QWidget*, kEffectKinds> m_barPanels{};
};

}  // namespace player
