// The documents the player ships (the README, the help) opened with the desktop's program.
#pragma once

#include <string>

namespace player {

// Opens the file with the desktop's program. Where nothing can open it (no program for it, no
// opener installed), a box tells where the file lies, so that it can still be read; a file that
// is not there is not reported.
void OpenDocumentOrSayWhere(const std::string& path);

// The box of OpenDocumentOrSayWhere for a file that could not be opened.
void SayWhereDocumentIs(const std::string& path);

}  // namespace player
