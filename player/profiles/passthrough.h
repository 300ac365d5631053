// Profile keys whose feature is not in the program yet: a load keeps their values as the file
// holds them, a save writes them back unchanged, so a profile loses nothing meanwhile.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace platform {
class IniFile;
}

namespace player {

struct PassThroughKey {
    // What a load keeps when the file has no such key.
    enum class Missing {
        Default,      // the text of def (what the feature would write for its default)
        ProgramPath,  // def under the program folder
        Previous,     // whatever the previous profile gave (nothing for the first one)
    };
    std::string_view section;
    std::string_view key;
    Missing missing = Missing::Default;
    std::string_view def;
};

std::span<const PassThroughKey> passThroughKeys();

// Section and key -> the value as read (rawValue), the form's copy of the keys above.
using PassThroughMap = std::map<std::pair<std::string, std::string>, std::string>;

void readPassThrough(const platform::IniFile& ini, PassThroughMap& values);
void writePassThrough(const PassThroughMap& values, platform::IniFile& ini);

}  // namespace player
