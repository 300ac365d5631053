// The registry of windows shared by the programs of this system: one small file per window in
// the runtime folder, handle allocation from a counter file, and whether a process still lives.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform::ipc {

struct WindowRecord {
    WindowHandle handle = 0;
    pid_t pid = 0;
    std::uint64_t startTime = 0;  // the process's start time, so a reused pid is not taken for it
    std::string className;
    std::string caption;
    bool hidden = false;  // left the registry: not found or listed, still reachable by handle
};

// A new handle, unique among the programs of the prefix for as long as the runtime folder
// lives: a counter in a file, taken under flock(). Never 0, always below 2^31.
WindowHandle allocateHandle();

// Writes (or rewrites, for a new caption) the window's record atomically.
bool writeWindowRecord(const WindowRecord& record);
void removeWindowRecord(WindowHandle handle);
// The record of a handle; nothing when there is none or it is malformed.
std::optional<WindowRecord> readWindowRecord(WindowHandle handle);
// Every visible record of a living process, ordered by handle; records of dead processes are
// removed.
std::vector<WindowRecord> readLiveWindowRecords();

// Parses a record file's bytes (untrusted).
std::optional<WindowRecord> parseWindowRecord(const std::string& bytes);
std::string formatWindowRecord(const WindowRecord& record);

// Start time of a process (clock ticks since boot), 0 when it does not exist.
std::uint64_t processStartTime(pid_t pid);
// The process lives and is the one that started at startTime (0: any).
bool processAlive(pid_t pid, std::uint64_t startTime);

// The listening socket of a process; empty when the path would not fit a socket address.
std::string socketPath(pid_t pid);

}  // namespace platform::ipc
