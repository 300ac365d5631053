// The profiles the profile menu offers, and the names a new profile may take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace player {

// Paths of the files in folder whose names end in ".prf" in any case, in name order without
// regard to case, at most max of them (the first ones in that order). Folders are not listed; a
// folder that cannot be read lists nothing.
std::vector<std::string> listProfiles(const std::string& folder, std::size_t max);

// The profile's menu caption: its file name without the last four characters.
std::string profileCaption(const std::string& path);

// Whether name (as typed, without a folder) can name a profile file: not empty, not "." or "..",
// no "/", "\" or control characters, and short enough for a file name once ".prf" is added.
bool validProfileName(std::string_view name);

// name with ".prf" added unless it already ends so in any case.
std::string profileFileName(std::string_view name);

}  // namespace player
