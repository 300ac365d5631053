// The program folder: the executable's own folder, where settings, presets, profiles, the
// database and language files live; the environment variable QUORVALEN_PROGRAM_DIR overrides it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Absolute, ending with "/".
std::string programFolder();
// The folder the executables are in (the stand-ins of outside programs live there too); ends with "/".
std::string executableFolder();
// "Profile\Default.prf" -> "<program folder>/Profile/Default.prf"; an absolute path stays as it is
// (a "\" in it is part of a name: folders on Linux may hold one).
std::string programPath(std::string_view relative);
// "\" separators become "/".
std::string toSlashes(std::string_view path);

// Why the programs cannot work in their folders, or empty when they can: the name of the program
// folder or of the executables' folder holds bytes that are not UTF-8. Qt's file functions would
// turn such a name into another one, and files would be written into a folder of that other name.
std::string programFolderRefusal();
// At the start of a program: when programFolderRefusal() holds something, says it on the error
// output after "<program>: " and, unless boxCaption is empty, in a box of that caption, and
// returns false (the program then ends).
bool programFolderUsable(const std::string& program, const std::string& boxCaption);

}  // namespace platform
