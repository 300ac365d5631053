// The player's audio error box, also used by the profile and recent-playlist writers (code -1).
#pragma once

#include <string>

namespace player {

// "Error: <code>, \r\nFile: <file>\r\nFunc: <func>".
std::string audioErrorText(int code, const std::string& fileName, const std::string& funcName);

// Code 0: no box, true. Otherwise the box (caption "Player: Error", error icon) through the
// user-message service, and false.
bool ReportAudioError(int code, const std::string& fileName, const std::string& funcName);

}  // namespace player
