// Per-user names of the named objects (shared memory, mutexes, the window registry, sockets) and
// the private runtime folder they live in. QUORVALEN_PREFIX replaces the prefix, so that parallel
// test runs never meet each other or a running player.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// "quorvalen-<uid>" unless QUORVALEN_PREFIX names another; only [A-Za-z0-9._-] are kept, the
// rest become "_", at most 48 characters.
std::string objectPrefix();

// <base>/<prefix>/, created with mode 0700, ending with "/". The base is $XDG_RUNTIME_DIR when it
// is a folder of ours, otherwise /tmp/quorvalen-<uid> (created 0700; refused when it belongs to
// someone else or others may enter it). Empty when no safe folder can be had.
std::string runtimeFolder();

// A name made safe for a file name or a POSIX shared-memory name: [A-Za-z0-9._-] kept, the rest
// "_", at most 200 characters.
std::string safeObjectName(std::string_view name);

// "/<prefix>.<name>" for shm_open.
std::string sharedMemoryObjectName(std::string_view name);

// Removes every object under the current prefix: the shared-memory areas, mutex files, window
// records and sockets (the whole runtime folder of the prefix). For tests and clean-ups only:
// a running program of the same prefix loses its named objects.
void removeNamedObjects();

}  // namespace platform
