// The database program's message texts, with built-in defaults that the language file
// "lang_b.ini" (section Strings) may replace.
#pragma once

#include <string>

namespace database {

extern std::string _p_addtracks;
extern std::string _p_scanfolders;
extern std::string _p_readtags;
extern std::string _p_counttime;
extern std::string _ask_delfile;
extern std::string _ask_savebase;
extern std::string _ask_checkbase;
extern std::string _str1;

// What was left out of an add and why ("%1" files of "%2"); where a base was saved at the end
// ("%1" the file).
extern std::string _str_notag;
extern std::string _str_savedto;

// "<program folder>/Lang/<langDir>/lang_b.ini" (an empty langDir names the Lang folder itself).
std::string langFilePath(const std::string& langDir);

// Reads each key of [Strings] with its current text as the default.
void LoadStrings(const std::string& langFile);

// Puts the built-in texts back (tests, and a language change back to none).
void resetStrings();

}  // namespace database
