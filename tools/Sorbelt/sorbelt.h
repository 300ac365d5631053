// Names and numbers the playlist generator shares with the player that starts it.
#pragma once

#include "media/searchlink.h"

#include <cstdint>
#include <string_view>

namespace sorbelt {

inline constexpr std::string_view kExecutableName = media::kGeneratorProgram;
inline constexpr std::string_view kWindowClass = media::kGeneratorWindowClass;
inline constexpr std::string_view kWindowCaption = "Sorbelt";
// The playlist handed to the player, relative to the program folder.
inline constexpr std::string_view kStackListPath = media::kStackListFile;

// The answer to UM_PING that tells the player this generator is alive.
inline constexpr std::int64_t kPingAnswer = media::kGeneratorPingAnswer;
// lParam of UM_SEARCH_HELLO when the player greets the generator (12 greets the search server).
inline constexpr std::int64_t kHelloFromPlayer = media::kHelloGenerator;
// wParam of UM_LOAD_TEMP_LIST: the player replaces its Main list with the stack list.
inline constexpr std::int64_t kLoadReplacesMain = media::kTempListStack;

// Another program (a test, a remote control) presses the generate button the way a button's
// parent learns of a click: WM_COMMAND with the control's id in the low word of wParam and the
// notification code (0, a click) in the high word.
inline constexpr std::uint32_t kWmCommand = 0x111;
inline constexpr std::int64_t kGenerateButtonId = 101;

inline constexpr int kDefaultTrackCount = 20;
inline constexpr int kMaxTrackCount = 10000;

}  // namespace sorbelt
