// The effects window's handlers: showing the records, the page changes and on/off buttons, Reset
// and Random, the presets of each kind, closing.
#include "player/sound/fxform.h"

#include "controls/lbar.h"
#include "player/form1.h"
#include "player/sound/presetbox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QShowEvent>
#include <QToolButton>

#include <cstring>
#include <random>
#include <utility>

namespace player {

void TFXFrm::showEvent(QShowEvent* event)
{
    // A restore from minimised shows the window again too; only the first showing sizes and loads it.
    if (!event->spontaneous() && !FxControlsReady)
        FitToTexts();
    QDialog::showEvent(event);
    if (!event->spontaneous() && !FxControlsReady)
        FormShow();
}

void TFXFrm::FormShow()
{
    const bool wasLoading = FxPresetLoading;
    FxPresetLoading = true;
    FxApplySuspended = true;
    EffectSettings& s = m_form.Effects;
    // Each record is copied before its page is touched: a control set below can run the page's
    // handler, which stores the page's other controls into the record.
    {
        const auto r = s.reverb;
        rvgain->SetValue(r.inputGainDb);
        rvmix->SetValue(r.reverbMixDb);
        rvtime->SetValue(r.reverbTimeMs);
        rvhf->SetValue(r.hfTimeRatio);
    }
    {
        const auto e = s.echo;
        ecwet->SetValue(e.wetDryPercent);
        ecfeed->SetValue(e.feedbackPercent);
        ecleft->SetValue(e.leftDelayMs);
        ecright->SetValue(e.rightDelayMs);
        ecswap->setChecked(e.swapDelays != 0);
    }
    {
        const auto f = s.flanger;
        fl2delay->SetValue(f.delayMs);
        fl2bpm->SetValue(f.beatsPerMinute);
        fl2wetdry->SetValue(f.wetDry);
    }
    {
        const auto a = s.autoAmp;
        datarg->SetValue(static_cast<float>(a.target));
        daquiet->SetValue(static_cast<float>(a.quiet));
        darate->SetValue(a.rate);
        dadelay->SetValue(a.delay);
    }
    {
        const auto e2 = s.echo2;
        e2dry->SetValue(e2.dryMix);
        e2wet->SetValue(e2.wetMix);
        e2feed->SetValue(e2.feedback);
        e2delay->SetValue(e2.delaySeconds);
    }
    for (EffectKind kind : kAllEffectKinds)
        OnButton(kind)->setChecked(s.isOn(kind));  // a button's state runs no handler

    FxControlsReady = true;
    FxApplySuspended = false;
    m_form.ApplyEffects();
    // Every record then holds what its bars can show.
    rvgainChange();
    ecwetChange();
    fl2delayChange();
    datargChange();
    e2delayValueChange();

    FxPresetLoading = wasLoading;
    if (!FxPresetLoading) {
        for (EffectKind kind : kAllEffectKinds) {
            fillPresetBox(PresetBox(kind), effectPresets(kind));
            setPresetBoxText(PresetBox(kind), QString::fromStdString(s.presetName(kind)));
        }
    }
}

void TFXFrm::applyUnlessSuspended()
{
    if (!FxApplySuspended)
        m_form.ApplyEffects();
}

void TFXFrm::pageChanged(EffectKind kind)
{
    switch (kind) {
    case EffectKind::Reverb: rvgainChange(); break;
    case EffectKind::Echo: ecwetChange(); break;
    case EffectKind::Flanger2: fl2delayChange(); break;
    case EffectKind::AutoAmp: datargChange(); break;
    case EffectKind::Echo2: e2delayValueChange(); break;
    }
}

void TFXFrm::rvgainChange()
{
    if (!FxControlsReady)
        return;
    auto& r = m_form.Effects.reverb;
    r.inputGainDb = rvgain->Value();
    r.reverbMixDb = rvmix->Value();
    r.reverbTimeMs = rvtime->Value();
    r.hfTimeRatio = rvhf->Value();
    applyUnlessSuspended();
}

void TFXFrm::ecwetChange()
{
    if (!FxControlsReady)
        return;
    auto& e = m_form.Effects.echo;
    e.wetDryPercent = static_cast<float>(ecwet->value());
    e.feedbackPercent = static_cast<float>(ecfeed->value());
    e.leftDelayMs = static_cast<float>(ecleft->value());
    e.rightDelayMs = static_cast<float>(ecright->value());
    e.swapDelays = ecswap->isChecked() ? -1 : 0;
    applyUnlessSuspended();
}

void TFXFrm::fl2delayChange()
{
    if (!FxControlsReady)
        return;
    auto& f = m_form.Effects.flanger;
    f.delayMs = fl2delay->Value();
    f.beatsPerMinute = fl2bpm->Value();
    f.wetDry = fl2wetdry->Value();
    applyUnlessSuspended();
}

void TFXFrm::datargChange()
{
    if (!FxControlsReady)
        return;
    auto& a = m_form.Effects.autoAmp;
    a.target = static_cast<std::int32_t>(datarg->Value());
    a.quiet = static_cast<std::int32_t>(daquiet->Value());
    a.rate = darate->Value();
    a.delay = dadelay->Value();
    applyUnlessSuspended();
}

void TFXFrm::e2delayValueChange()
{
    if (!FxControlsReady)
        return;
    auto& e = m_form.Effects.echo2;
    e.dryMix = e2dry->Value();
    e.wetMix = e2wet->Value();
    e.feedback = e2feed->Value();
    e.delaySeconds = e2delay->Value();
    applyUnlessSuspended();
}

void TFXFrm::SpeedButton11Click()
{
    if (!FxControlsReady)
        return;
    for (EffectKind kind : kAllEffectKinds)
        m_form.Effects.isOn(kind) = OnButton(kind)->isChecked();
    applyUnlessSuspended();
}

// ---- Reset and Random ----------------------------------------------------------------------

void TFXFrm::SpeedButton13Click()
{
    rvgain->SetValue(0);
    rvmix->SetValue(0);
    rvtime->SetValue(1000);
    rvhf->SetValue(0.001f);
}

void TFXFrm::SpeedButton15Click()
{
    ecwet->setValue(0);
    ecfeed->setValue(0);
    ecleft->setValue(333);
    ecright->setValue(333);
    ecswap->setChecked(false);
}

void TFXFrm::SpeedButton1Click()
{
    datarg->SetValue(30000);
    daquiet->SetValue(800);
    darate->SetValue(0.05f);
    dadelay->SetValue(0.5f);
}

int TFXFrm::random(int n)
{
    return std::uniform_int_distribution<int>(0, n - 1)(m_form.Random);
}

// In the first three the last control is set once applying is resumed: its change stores and
// applies the whole page.
void TFXFrm::SpeedButton20Click()
{
    FxApplySuspended = true;
    rvmix->SetValue(static_cast<float>(random(97) - 96));
    rvtime->SetValue(static_cast<float>(random(3000000)) / 1000.0f);
    FxApplySuspended = false;
    rvhf->setValue(random(1000));
}

void TFXFrm::SpeedButton18Click()
{
    FxApplySuspended = true;
    ecwet->setValue(random(101));
    ecfeed->setValue(random(101));
    ecleft->setValue(random(2000) + 1);
    ecright->setValue(random(2000) + 1);
    FxApplySuspended = false;
    ecswap->setChecked(random(2) == 1);
}

void TFXFrm::SpeedButton23Click()
{
    FxApplySuspended = true;
    fl2delay->SetValue(static_cast<float>(random(200) + 101) / 100.0f);
    fl2bpm->SetValue(static_cast<float>(random(350) + 1));
    FxApplySuspended = false;
    fl2wetdry->setValue(random(10));
}

void TFXFrm::SpeedButton43Click()
{
    e2dry->setValue(-20 + random(40));
    e2wet->setValue(-20 + random(40));
    e2feed->setValue(-100 + random(200));
    e2delay->setValue(random(600));
}

// ---- Presets -------------------------------------------------------------------------------

void TFXFrm::LoadFxPreset(EffectKind kind, QComboBox* box)
{
    const QString name = box->currentText();
    const std::span<std::uint8_t> record = m_form.Effects.record(kind);
    std::array<std::uint8_t, sizeof(audiolib::dsp::EchoParams)> bytes{};
    std::memcpy(bytes.data(), record.data(), record.size());
    const long read = effectPresets(kind).load(name.toStdString(), bytes.data(), record.size());
    if (read < 0)
        return;
    // Every field is four bytes: a short value sets the fields it holds whole.
    std::memcpy(record.data(), bytes.data(), static_cast<std::size_t>(read) / 4 * 4);
    FxPresetLoading = true;
    FormShow();
    FxPresetLoading = false;
    if (box->currentText() != name)
        setPresetBoxText(box, name);
    m_form.Effects.presetName(kind) = name.toStdString();
}

void TFXFrm::SaveFxPreset(EffectKind kind, QComboBox* box)
{
    const std::span<const std::uint8_t> record = std::as_const(m_form.Effects).record(kind);
    savePresetFromBox(box, effectPresets(kind), record.data(), record.size());
}

void TFXFrm::DeleteFxPreset(EffectKind kind, QComboBox* box)
{
    deletePresetOfBox(box, effectPresets(kind));
}

// ---- Closing -------------------------------------------------------------------------------

void TFXFrm::Button1Click()
{
    close();
}

void TFXFrm::reject()
{
    Button1Click();
}

void TFXFrm::FormClose()
{
    FxControlsReady = false;
}

void TFXFrm::closeEvent(QCloseEvent* event)
{
    FormClose();
    // Not QDialog's: it would ask reject(), which closes the window, and so keep it open.
    QWidget::closeEvent(event);
}

}  // namespace player
