// Delete to the recycle bin: the freedesktop trash. A file goes into the home trash when it lives
// on the same device, otherwise into the trash at the top of its own volume; it is only ever
// renamed into a trash on its own device, never copied and never deleted.
#pragma once

#include <string>

namespace platform {

// $XDG_DATA_HOME/Trash (by default ~/.local/share/Trash).
std::string homeTrashPath();

// Moves the file (or the link itself, or an empty or full folder) at path into a trash and
// records where it came from. False, with the reason in error, when no trash on the file's device
// can be used or the move fails; the file is then left where it was.
bool moveToTrash(const std::string& path, std::string* error = nullptr);

}  // namespace platform
