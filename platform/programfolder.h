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
// "Profile\Default.prf" -> "<program folder>/Profile/Default.prf"; an absolute path stays as it is.
std::string programPath(std::string_view relative);
// "\" separators become "/".
std::string toSlashes(std::string_view path);

}  // namespace platform
