// The five optional effects' settings and their application to both decks.
#include "player/sound/effectsettings.h"

#include "player/sound/sounddeck.h"

namespace player {

const char* effectKindName(EffectKind kind)
{
    switch (kind) {
    case EffectKind::Reverb: return "Reverb";
    case EffectKind::Echo: return "Echo";
    case EffectKind::Flanger2: return "Flanger2";
    case EffectKind::AutoAmp: return "AutoAmp";
    case EffectKind::Echo2: return "Echo2";
    }
    return "";
}

const char* effectKindCaption(EffectKind kind)
{
    switch (kind) {
    case EffectKind::Flanger2: return "Flanger 2.0";
    case EffectKind::Echo2: return "Echo 2.0";
    default: return effectKindName(kind);
    }
}

PresetFolder effectPresets(EffectKind kind)
{
    return PresetFolder(effectKindName(kind), "prs", effectKindName(kind));
}

namespace {

template <typename Record>
std::span<std::uint8_t> bytesOf(Record& record)
{
    return {reinterpret_cast<std::uint8_t*>(&record), sizeof record};
}

}  // namespace

std::span<std::uint8_t> EffectSettings::record(EffectKind kind)
{
    switch (kind) {
    case EffectKind::Reverb: return bytesOf(reverb);
    case EffectKind::Echo: return bytesOf(echo);
    case EffectKind::Flanger2: return bytesOf(flanger);
    case EffectKind::AutoAmp: return bytesOf(autoAmp);
    case EffectKind::Echo2: return bytesOf(echo2);
    }
    return {};
}

std::span<const std::uint8_t> EffectSettings::record(EffectKind kind) const
{
    return const_cast<EffectSettings*>(this)->record(kind);
}

void applyEffects(const EffectSettings& s, SoundDeck& deckA, SoundDeck& deckB)
{
    SoundDeck* const decks[2] = {&deckA, &deckB};
    for (SoundDeck* deck : decks) {
        deck->SetReverbParams(s.reverb);
        s.isOn(EffectKind::Reverb) ? deck->EnableReverb() : deck->DisableReverb();
        deck->ApplyReverb();
    }
    for (SoundDeck* deck : decks) {
        deck->SetEchoParams(s.echo);
        s.isOn(EffectKind::Echo) ? deck->EnableEcho() : deck->DisableEcho();
        deck->ApplyEcho();
    }
    for (SoundDeck* deck : decks) {
        deck->SetFlangerParams(s.flanger);
        s.isOn(EffectKind::Flanger2) ? deck->EnableFlanger() : deck->DisableFlanger();
        deck->ApplyFlanger();
    }
    for (SoundDeck* deck : decks) {
        deck->SetAutoAmpSettings(s.autoAmp);
        s.isOn(EffectKind::AutoAmp) ? deck->EnableAutoAmp() : deck->DisableAutoAmp();
    }
    deckB.ResetAutoAmp();
    deckA.ResetAutoAmp();
    for (SoundDeck* deck : decks) {
        deck->SetEcho2Params(s.echo2);
        s.isOn(EffectKind::Echo2) ? deck->EnableEcho2() : deck->DisableEcho2();
        deck->ApplyEcho2();
    }
}

}  // namespace player
