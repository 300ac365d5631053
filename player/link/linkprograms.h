// The other programs the player starts and talks to (the database program as search server or
// visible window, the playlist generator): their names, window classes, greetings and answers, and
// the launcher that starts them.
#pragma once

#include "media/searchlink.h"
#include "platform/window.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace player {

// Executables of the program folder.
inline constexpr std::string_view kDatabaseProgram = media::kDatabaseProgram;
inline constexpr std::string_view kGeneratorProgram = media::kGeneratorProgram;

inline constexpr std::string_view kServerWindowClass = media::kDatabaseWindowClass;
// The search server's caption is this followed by the player's window handle in decimal.
inline constexpr std::string_view kServerCaptionPrefix = media::kServerCaptionPrefix;
inline constexpr std::string_view kGeneratorWindowClass = media::kGeneratorWindowClass;

// lParam of UM_SEARCH_HELLO: to the search server, to the playlist generator.
inline constexpr platform::LParam kHelloServer = media::kHelloSearchServer;
inline constexpr platform::LParam kHelloGenerator = media::kHelloGenerator;
// What the player answers to the server's ping; what a running generator answers to ours.
inline constexpr platform::LResult kPlayerPingAnswer = media::kPlayerPingAnswer;
inline constexpr platform::LResult kGeneratorPingAnswer = media::kGeneratorPingAnswer;

// wParam of UM_LOAD_TEMP_LIST and the file each names, relative to the program folder.
inline constexpr platform::WParam kTempListStack = media::kTempListStack;  // from the generator: replaces the Main list
inline constexpr platform::WParam kTempListBase = media::kTempListDatabase;   // from the database window: appended
inline constexpr std::string_view kStackListFile = media::kStackListFile;
inline constexpr std::string_view kBaseListFile = media::kDatabaseListFile;
// At most this many entries of a handed-over playlist are taken.
inline constexpr int kHandOverRecords = 10001;

// How long the player looks for a started program's window: 50 looks, 100 ms apart.
inline constexpr int kWindowLooks = 50;
inline constexpr std::chrono::milliseconds kWindowLookPause{100};

// Starts a program of the program folder with these arguments; false when it could not be
// started. The player uses the platform's process start; tests put stand-ins here.
using ProgramLauncher = std::function<bool(std::string_view program, const std::vector<std::string>& args)>;
ProgramLauncher DefaultProgramLauncher();

// Up to `looks` times: pause, then look for the window (not `skip`, a window known to hang); 0
// when none appeared.
platform::WindowHandle WaitForWindow(std::string_view className, std::string_view caption, int looks,
                                     std::chrono::milliseconds pause, platform::WindowHandle skip = 0);

}  // namespace player
