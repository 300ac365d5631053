// Where the languages live: "Lang" in the program folder, one folder per language with its
// display name ("name"), the player's texts ("lang.ini"), the database program's ("lang_b.ini")
// and the help.
#pragma once

#include <string>
#include <vector>

namespace player {

// "<program folder>/Lang/<langDir>/lang.ini"; an empty langDir gives "Lang//lang.ini", which the
// file system takes as "Lang/lang.ini".
std::string LanguageFile(const std::string& langDir);

struct InstalledLanguage {
    std::string folder;  // the name LangDir takes
    std::string name;    // the first line of its "name" file; empty when that cannot be read
};

// The folders of "Lang", sorted by name without regard to case; plain files there are no languages.
std::vector<InstalledLanguage> InstalledLanguages();

}  // namespace player
