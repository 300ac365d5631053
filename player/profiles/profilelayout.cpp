// The profile's sections and keys in file order.
#include "player/profiles/profilelayout.h"

#include "platform/inifile.h"

#include <array>
#include <string>

namespace player {
namespace {

using namespace std::string_view_literals;

constexpr std::array kExplorer{"Path"sv};
constexpr std::array kFont{"Name"sv, "Size"sv, "Color"sv, "Style"sv};
constexpr std::array kEqualizer{"On"sv, "Settings"sv, "LastPreset"sv, "Auto"sv};
constexpr std::array kEffect{"Settings"sv, "On"sv, "LastPreset"sv};
constexpr std::array kCompressor{"Gain"sv};
constexpr std::array kCrossfade{"Settings"sv, "LastPreset"sv};
constexpr std::array kJingles{"Path1"sv, "Path2"sv, "Path3"sv, "Path4"sv, "Path5"sv,
                              "Path6"sv, "Path7"sv, "Path8"sv, "Path9"sv};
constexpr std::array kQuietDetection{"On"sv, "Interval"sv, "Action"sv, "List"sv};
constexpr std::array kColumns{"Master"sv, "Slave"sv};
constexpr std::array kHotKeys{"hk1"sv, "hk2"sv, "hk3"sv, "hk4"sv, "hk5"sv, "hk6"sv, "hk7"sv};
constexpr std::array kOptions{
    "PlaylistCenter"sv, "Report"sv,      "DefBase"sv,     "ID_A"sv,       "ID_J"sv,
    "TimeShowType"sv,   "JinglVolume"sv, "NotesReadTag"sv, "Break1"sv,    "AutoupdateTag"sv,
    "Visualization"sv,  "Volume"sv,      "MuteLevel"sv,   "Close"sv,      "JVol"sv,
    "AllowSort"sv,      "RearVolume"sv,  "Color_J"sv,     "Color_A"sv,    "MonType"sv,
    "ShowSecondTimeLabel"sv, "FormWidth"sv, "FormHeight"sv, "ClockFontColor"sv, "CutSilence"sv};
constexpr std::array kEncoder{"OutDir"sv, "Ext"sv, "Command"sv, "PresetIndex"sv, "PresetName"sv, "ShowParam"sv};
constexpr std::array kTimeTable{"ScheduleState"sv, "StartImmediately"sv, "UseDate"sv};

const std::array<ProfileSectionLayout, 18> kLayout{{
    {"Explorer", kExplorer},
    {"Font", kFont},
    {"NotesFont", kFont},
    {"Equalizer", kEqualizer},
    {"Reverb", kEffect},
    {"Echo", kEffect},
    {"Compressor", kCompressor},
    {"Crossfade", kCrossfade},
    {"Flanger2", kEffect},
    {"AutoAmp", kEffect},
    {"Echo2", kEffect},
    {"Jingles", kJingles},
    {"QuietDetection", kQuietDetection},
    {"Columns", kColumns},
    {"HotKeys", kHotKeys},
    {"Options", kOptions},
    {"Encoder", kEncoder},
    {"TimeTable", kTimeTable},
}};

void copyValue(const platform::IniFile& from, platform::IniFile& to, std::string_view section, std::string_view key)
{
    if (const auto raw = from.rawValue(section, key))
        to.writeString(section, key, *raw);
}

}  // namespace

std::span<const ProfileSectionLayout> profileLayout() { return kLayout; }

void writeInLayoutOrder(const platform::IniFile& staged, platform::IniFile& target)
{
    for (const ProfileSectionLayout& section : kLayout)
        for (std::string_view key : section.keys)
            copyValue(staged, target, section.name, key);
    // What the layout does not list keeps the order the save gave it (keys already copied are
    // written again with the same value, which changes nothing).
    for (const std::string& section : staged.sections())
        for (const std::string& key : staged.keys(section))
            copyValue(staged, target, section, key);
}

}  // namespace player
