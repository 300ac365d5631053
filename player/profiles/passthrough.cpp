// The profile keys kept as read until their features take them over.
#include "player/profiles/passthrough.h"

#include "platform/inifile.h"
#include "player/form1.h"
#include "platform/programfolder.h"

#include <array>

namespace player {
namespace {

using M = PassThroughKey::Missing;

// 48 zero bytes: the equaliser's cleared gain buffer.
constexpr std::string_view kZeroGains =
    "0000000000000000" "0000000000000000" "0000000000000000"
    "0000000000000000" "0000000000000000" "0000000000000000";

// A feature that reads and writes one of these keys itself removes its line here in the same
// change (one line per key), so that its own value is the only one saved; when the list is empty,
// the hook "pass-through" and this file go. The effect records keep the previous setting when a
// profile has none, which is why they are Previous rather than a default.
constexpr std::array kKeys{
    PassThroughKey{"NotesFont", "Name", M::Previous, ""},
    PassThroughKey{"NotesFont", "Size", M::Previous, ""},
    PassThroughKey{"NotesFont", "Color", M::Previous, ""},
    PassThroughKey{"NotesFont", "Style", M::Previous, ""},
    PassThroughKey{"Equalizer", "On", M::Default, "1"},
    PassThroughKey{"Equalizer", "Settings", M::Default, kZeroGains},
    PassThroughKey{"Equalizer", "LastPreset", M::Default, "Default"},
    PassThroughKey{"Equalizer", "Auto", M::Default, "0"},
    PassThroughKey{"Reverb", "Settings", M::Previous, ""},
    PassThroughKey{"Reverb", "On", M::Default, "0"},
    PassThroughKey{"Reverb", "LastPreset", M::Default, ""},
    PassThroughKey{"Echo", "Settings", M::Previous, ""},
    PassThroughKey{"Echo", "On", M::Default, "0"},
    PassThroughKey{"Echo", "LastPreset", M::Default, ""},
    PassThroughKey{"Compressor", "Gain", M::Default, "0"},
    PassThroughKey{"Crossfade", "LastPreset", M::Default, "Default"},
    PassThroughKey{"Flanger2", "Settings", M::Previous, ""},
    PassThroughKey{"Flanger2", "On", M::Default, "0"},
    PassThroughKey{"Flanger2", "LastPreset", M::Default, ""},
    PassThroughKey{"AutoAmp", "Settings", M::Previous, ""},
    PassThroughKey{"AutoAmp", "On", M::Default, "0"},
    PassThroughKey{"AutoAmp", "LastPreset", M::Default, ""},
    PassThroughKey{"Echo2", "Settings", M::Previous, ""},
    PassThroughKey{"Echo2", "On", M::Default, "0"},
    PassThroughKey{"Echo2", "LastPreset", M::Default, ""},
    PassThroughKey{"Jingles", "Path1", M::Default, ""},
    PassThroughKey{"Jingles", "Path2", M::Default, ""},
    PassThroughKey{"Jingles", "Path3", M::Default, ""},
    PassThroughKey{"Jingles", "Path4", M::Default, ""},
    PassThroughKey{"Jingles", "Path5", M::Default, ""},
    PassThroughKey{"Jingles", "Path6", M::Default, ""},
    PassThroughKey{"Jingles", "Path7", M::Default, ""},
    PassThroughKey{"Jingles", "Path8", M::Default, ""},
    PassThroughKey{"Jingles", "Path9", M::Default, ""},
    PassThroughKey{"HotKeys", "hk1", M::Default, "80"},
    PassThroughKey{"HotKeys", "hk2", M::Default, "83"},
    PassThroughKey{"HotKeys", "hk3", M::Default, "78"},
    PassThroughKey{"HotKeys", "hk4", M::Default, "66"},
    PassThroughKey{"HotKeys", "hk5", M::Default, "82"},
    PassThroughKey{"HotKeys", "hk6", M::Default, "77"},
    PassThroughKey{"HotKeys", "hk7", M::Default, "84"},
    PassThroughKey{"Options", "JinglVolume", M::Default, "100"},
    PassThroughKey{"Options", "NotesReadTag", M::Default, "1"},
    PassThroughKey{"Options", "MuteLevel", M::Default, "-30"},
    PassThroughKey{"Options", "JVol", M::Default, "100"},
    PassThroughKey{"Options", "RearVolume", M::Default, "100"},
    PassThroughKey{"Encoder", "OutDir", M::ProgramPath, "Temp"},
    PassThroughKey{"Encoder", "Ext", M::Default, ""},
    PassThroughKey{"Encoder", "Command", M::Default, ""},
    PassThroughKey{"Encoder", "PresetIndex", M::Default, "0"},
    PassThroughKey{"Encoder", "PresetName", M::Default, ""},
    PassThroughKey{"Encoder", "ShowParam", M::Default, "1"},
    PassThroughKey{"TimeTable", "ScheduleState", M::Default, "0"},
    PassThroughKey{"TimeTable", "StartImmediately", M::Default, "0"},
    PassThroughKey{"TimeTable", "UseDate", M::Default, "0"},
};

}  // namespace

std::span<const PassThroughKey> passThroughKeys() { return kKeys; }

void readPassThrough(const platform::IniFile& ini, PassThroughMap& values)
{
    for (const PassThroughKey& k : kKeys) {
        std::pair<std::string, std::string> name{std::string(k.section), std::string(k.key)};
        if (std::optional<std::string> raw = ini.rawValue(k.section, k.key))
            values[name] = std::move(*raw);
        else if (k.missing == M::Default)
            values[name] = std::string(k.def);
        else if (k.missing == M::ProgramPath)
            values[name] = platform::programPath(k.def);
    }
}

void writePassThrough(const PassThroughMap& values, platform::IniFile& ini)
{
    for (const PassThroughKey& k : kKeys) {
        const auto it = values.find({std::string(k.section), std::string(k.key)});
        if (it != values.end())
            ini.writeString(k.section, k.key, it->second);
    }
}

void TForm1::LoadPassThroughProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    readPassThrough(ini, PassThroughValues);
}

void TForm1::SavePassThroughProfile(platform::IniFile& ini)
{
    writePassThrough(PassThroughValues, ini);
}

}  // namespace player
