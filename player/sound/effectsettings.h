// The five optional effects as the main window keeps them for both decks: per kind an on flag, a
// parameter record (stored byte for byte in presets and profiles) and the last preset's name, and
// ApplyEffects' copy of them into the two decks.
#pragma once

#include "audiolib/dsp/effectrecords.h"
#include "engine/autoamp.h"
#include "player/sound/presetfolder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace player {

class SoundDeck;

// In the order used everywhere: pages, profile sections, preset folders, ApplyEffects.
enum class EffectKind : int { Reverb = 0, Echo, Flanger2, AutoAmp, Echo2 };
inline constexpr int kEffectKinds = 5;
inline constexpr std::array kAllEffectKinds{EffectKind::Reverb, EffectKind::Echo, EffectKind::Flanger2,
                                            EffectKind::AutoAmp, EffectKind::Echo2};

// The kind's name: profile section, preset folder below "Presets" and preset section.
const char* effectKindName(EffectKind kind);
// Its page caption in the effects window.
const char* effectKindCaption(EffectKind kind);
// Its presets: "Presets/<kind>", ".prs" files, [<kind>] Settings holding the record.
PresetFolder effectPresets(EffectKind kind);

struct EffectSettings {
    audiolib::dsp::ReverbParams reverb{};
    audiolib::dsp::EchoParams echo{};
    audiolib::dsp::FlangerParams flanger{};
    engine::AutoAmpSettings autoAmp{};
    audiolib::dsp::Echo2Params echo2{};
    std::array<bool, kEffectKinds> on{};
    std::array<std::string, kEffectKinds> lastPreset;

    bool& isOn(EffectKind kind) { return on[static_cast<std::size_t>(kind)]; }
    bool isOn(EffectKind kind) const { return on[static_cast<std::size_t>(kind)]; }
    std::string& presetName(EffectKind kind) { return lastPreset[static_cast<std::size_t>(kind)]; }
    // The kind's record as its stored bytes (16, or 20 for the echo).
    std::span<std::uint8_t> record(EffectKind kind);
    std::span<const std::uint8_t> record(EffectKind kind) const;
};

// Copies every kind's record into deck A, then deck B, switches it on or off there and applies
// it; the automatic level restarts from unity gain on deck B, then deck A, at every call.
void applyEffects(const EffectSettings& settings, SoundDeck& deckA, SoundDeck& deckB);

}  // namespace player
