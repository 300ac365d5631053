// Registering the ".dfs" database file type so the desktop opens such files with this program.
#pragma once

#include <string>

namespace database {

// Writes the type keys under the classes root; false when the registry could not be written.
bool RegisterFileType(const std::string& extension, const std::string& programPath);

}  // namespace database
