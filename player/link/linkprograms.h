// The other programs the player starts and talks to (the database program as search server or
// visible window, the playlist generator): their names, window classes, greetings and answers, and
// the launcher that starts them.
#pragma once

#include "media/searchlink.h"
#include "platform/window.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

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

// How long the player waits for a started program's window, and how often it looks meanwhile: a
// program's window comes up some tens of milliseconds after its start, and is taken within a few
// milliseconds of it.
inline constexpr std::chrono::milliseconds kWindowWaitLimit{5000};
inline constexpr std::chrono::milliseconds kWindowLookInterval{5};

// Starts a program of the program folder with these arguments; false when it could not be
// started. The player uses the platform's process start; tests put stand-ins here.
using ProgramLauncher = std::function<bool(std::string_view program, const std::vector<std::string>& args)>;
ProgramLauncher DefaultProgramLauncher();

// The window of this class and caption (an empty text: any) that is there now, other than `skip`
// (a window known to hang); 0 when there is none.
platform::WindowHandle LookForWindow(std::string_view className, std::string_view caption,
                                     platform::WindowHandle skip = 0);

// Looks at once, then again every kWindowLookInterval until `limit` has passed, holding the
// calling thread meanwhile; 0 when no window appeared.
platform::WindowHandle WaitForWindow(std::string_view className, std::string_view caption,
                                     std::chrono::milliseconds limit, platform::WindowHandle skip = 0);

// The same wait without holding the thread: a look at once and then from the thread's event loop.
// `found` is called once, with the window or with 0 when none appeared within the limit; when the
// window is there at once, before start() returns.
class WindowWatch {
public:
    using Found = std::function<void(platform::WindowHandle)>;

    WindowWatch();
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    // Replaces a watch still running, whose handler is then never called.
    void start(std::string className, std::string caption, std::chrono::milliseconds limit, Found found);
    // The handler is not called.
    void cancel();
    bool active() const;

private:
    void look();

    std::unique_ptr<QTimer> m_timer;
    std::string m_className;
    std::string m_caption;
    std::chrono::steady_clock::time_point m_deadline;
    Found m_found;
};

}  // namespace player
