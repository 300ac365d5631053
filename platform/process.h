// Starting the system's other programs, opening documents and links with the desktop's default
// program, and the process priority class.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// "plugins\lame" -> "<executable folder>/plugins/lame"; an absolute path stays as it is.
std::string executablePath(std::string_view program);

// Variables meant for the process they were given to alone, never handed on to the programs it
// starts: a render file of the "no sound" device must not be written by a second process (a
// program shown later would open it again and empty what was rendered so far).
inline constexpr std::string_view kProcessOwnVariables[] = {"QUORVALEN_NOSOUND_WAV"};

// Starts a program of the executables' folder (or an absolute path) with these arguments, each
// passed as it is (never through a shell), detached in a session of its own, in the program
// folder, with this process's environment less kProcessOwnVariables. Returns its process id, or
// nothing when it could not be started.
std::optional<std::int64_t> startProgram(std::string_view program, const std::vector<std::string>& args);

// A program of the executables' folder (or an absolute path) started with these arguments, each
// passed as it is (never through a shell), in the program folder, with the environment
// startProgram gives, and watched: its end is reported on the thread that started it, which must
// run a Qt event loop. The child is always reaped, also when this object is gone before it (then
// nobody is told), so it never lingers as a zombie.
class WatchedProcess {
public:
    // The program's exit status, or minus the number of the signal that ended it.
    using ExitHandler = std::function<void(int exitCode)>;

    WatchedProcess();
    // A program still running is left to run.
    ~WatchedProcess();
    WatchedProcess(const WatchedProcess&) = delete;
    WatchedProcess& operator=(const WatchedProcess&) = delete;

    // False when it could not be started; nothing is reported then. One start per object.
    bool start(std::string_view program, const std::vector<std::string>& args, ExitHandler onExit);
    // 0 before a successful start.
    std::int64_t processId() const;
    bool running() const;
    // SIGTERM: asks the program to end. Nothing once it has ended.
    void terminate();
    // SIGKILL: ends it at once. Nothing once it has ended.
    void kill();

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// Opens a document or folder (a relative name is under the program folder) or a link
// ("http://...", "mailto:...") with the desktop's default program. False when nothing could open it.
bool openDocument(std::string_view pathOrUrl);

// Priority classes as the settings store them.
enum : int { kPriorityIdle = 0, kPriorityNormal = 1, kPriorityHigh = 2, kPriorityRealtime = 3 };

// The nice value a class asks for; nothing for a value that is no class.
std::optional<int> niceForPriorityClass(int priorityClass);

// Applies a class to every thread of the process as a nice value (never a real-time scheduling
// class). A raise beyond what the process may do goes as far as allowed; one refused outright is
// ignored. Any other value leaves the priority as it is. True when the main thread's priority was
// set (as asked, or as far as allowed).
bool setPriorityClass(int priorityClass);

// Puts the calling thread at the lowest priority for the scope's life and keeps it there:
// setPriorityClass passes such threads by, so raising the player's priority never lifts its
// background work (folder watchers) to compete with playback.
class LowestPriorityScope {
public:
    LowestPriorityScope();
    ~LowestPriorityScope();
    LowestPriorityScope(const LowestPriorityScope&) = delete;
    LowestPriorityScope& operator=(const LowestPriorityScope&) = delete;

private:
    long m_tid;
};

}  // namespace platform
