// The sound controls' share of a profile: the equaliser, the five effects, the compressor gain,
// the crossfade preset's name and the mute level.
#include "player/form1.h"

#include "controls/tbar.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "player/profiles/profilehooks.h"
#include "player/sound/fxform.h"
#include "player/sound/presetbox.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace player {

namespace {

constexpr int kMuteLevelFloor = -30;

void readEffect(const platform::IniFile& ini, EffectSettings& effects, EffectKind kind)
{
    const char* section = effectKindName(kind);
    const std::span<std::uint8_t> record = effects.record(kind);
    // A short value replaces only the first bytes; the rest keeps the previous setting.
    ini.readBinary(section, "Settings", record.data(), record.size());
    effects.isOn(kind) = ini.readBool(section, "On", false);
    effects.presetName(kind) = ini.readString(section, "LastPreset", "");
}

void writeEffect(platform::IniFile& ini, const EffectSettings& effects, EffectKind kind)
{
    const char* section = effectKindName(kind);
    const std::span<const std::uint8_t> record = effects.record(kind);
    ini.writeBinary(section, "Settings", record.data(), record.size());
    ini.writeBool(section, "On", effects.isOn(kind));
    ini.writeString(section, "LastPreset", effects.lastPreset[static_cast<std::size_t>(kind)]);
}

}  // namespace

void TForm1::LoadSoundProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    // The equaliser: the sliders (each one that moves shows its gain), the band change once,
    // then on or off as the profile says.
    SpeedButton1->setChecked(ini.readBool("Equalizer", "On", true));
    std::array<std::int32_t, 12> gains{};
    ini.readBinary("Equalizer", "Settings", gains.data(), sizeof gains);
    const int bands = engine::engineSettings().bandCount();
    for (int i = 0; i < bands; ++i)
        TrackBar[static_cast<std::size_t>(i)]->setValue(-gains[static_cast<std::size_t>(i)]);
    TrackBar0Change(TrackBar[0]);
    SpeedButton1Click();
    setPresetBoxText(eq_preset, QString::fromStdString(ini.readString("Equalizer", "LastPreset", "Default")));
    AutoEq->setChecked(ini.readBool("Equalizer", "Auto", false));

    readEffect(ini, Effects, EffectKind::Reverb);
    readEffect(ini, Effects, EffectKind::Echo);

    // While muted the profile's gain is the one the mute returns to; the air stays muted.
    const int position = std::clamp(-ini.readInteger("Compressor", "Gain", 0), Gain->minimum(), Gain->maximum());
    MuteLevel = std::clamp(ini.readInteger("Options", "MuteLevel", kMuteLevelFloor), kMuteLevelFloor, 0);
    {
        const QSignalBlocker quiet(Gain);
        if (MuteActive) {
            GainBeforeMute = position;
            Gain->setValue(position - MuteLevel);
        } else {
            Gain->setValue(position);
        }
    }
    GainChange();

    readEffect(ini, Effects, EffectKind::Flanger2);
    readEffect(ini, Effects, EffectKind::AutoAmp);
    readEffect(ini, Effects, EffectKind::Echo2);
    ApplyEffects();

    // The box names the preset in force. Without a stored table (the first start) every crossfade
    // point is off, which no preset name stands for.
    if (cr_preset != nullptr) {
        const bool tableStored = ini.valueExists("Crossfade", "Settings");
        setPresetBoxText(cr_preset,
                         tableStored ? QString::fromStdString(ini.readString("Crossfade", "LastPreset", "Default")) : QString());
    }
    // An open effects window shows what the profile gave.
    if (FXFrm)
        FXFrm->FormShow();
}

void TForm1::SaveSoundProfile(platform::IniFile& ini)
{
    ini.writeBinary("Equalizer", "Settings", EqualizerGains.data(), sizeof EqualizerGains);
    ini.writeBool("Equalizer", "On", SpeedButton1->isChecked());
    ini.writeString("Equalizer", "LastPreset", presetBoxName(eq_preset));
    ini.writeBool("Equalizer", "Auto", AutoEq->isChecked());
    for (EffectKind kind : kAllEffectKinds)
        writeEffect(ini, Effects, kind);
    // A profile saved while muted keeps the gain from before muting: the player starts unmuted.
    ini.writeInteger("Compressor", "Gain", -(MuteActive ? GainBeforeMute : Gain->value()));
    if (cr_preset != nullptr)
        ini.writeString("Crossfade", "LastPreset", presetBoxName(cr_preset));
    ini.writeInteger("Options", "MuteLevel", MuteLevel);
}

}  // namespace player
