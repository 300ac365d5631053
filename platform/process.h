// Starting the system's other programs, opening documents and links with the desktop's default
// program, and the process priority class.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// "encoder" -> "<executable folder>/encoder"; an absolute path stays; "\" becomes "/".
std::string executablePath(std::string_view program);

// Starts a program of the executables' folder (or an absolute path) with these arguments, each
// passed as it is (never through a shell), detached, in the program folder. Returns its process
// id, or nothing when it could not be started.
std::optional<std::int64_t> startProgram(std::string_view program, const std::vector<std::string>& args);

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
