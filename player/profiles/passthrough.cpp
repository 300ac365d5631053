// The profile keys kept as read until their features take them over.
#include "player/profiles/passthrough.h"

#include "platform/inifile.h"
#include "player/form1.h"
#include "platform/programfolder.h"

#include <array>

namespace player {
namespace {

using M = PassThroughKey::Missing;

// A feature that reads and writes one of these keys itself removes its line here in the same
// change (one line per key), so that its own value is the only one saved; when the list is empty,
// the hook "pass-through" and this file go. A key whose setting stays as it was when a profile
// has none is Previous rather than a default.
constexpr std::array kKeys{
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
    PassThroughKey{"Options", "JVol", M::Default, "100"},
    PassThroughKey{"Encoder", "OutDir", M::ProgramPath, "Temp"},
    PassThroughKey{"Encoder", "Ext", M::Default, ""},
    PassThroughKey{"Encoder", "Command", M::Default, ""},
    PassThroughKey{"Encoder", "PresetIndex", M::Default, "0"},
    PassThroughKey{"Encoder", "PresetName", M::Default, ""},
    PassThroughKey{"Encoder", "ShowParam", M::Default, "1"},
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
