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
// is a folder of ours closed to others; otherwise <tmp>/quorvalen-<uid> (<tmp> is $TMPDIR or /tmp;
// made 0700, passed over when it is a link, belongs to someone else or cannot be closed to
// others); otherwise a folder made by mkdtemp (under /tmp when <tmp> is too long) and recorded in
// <config>/quorvalen/runtime-folder (0600), where the other program of the system and later starts
// find it. A base whose path leaves no room for the local sockets' names is passed over too; only
// when no other can be had is it used, with a warning, since the programs cannot send each other
// messages there. Empty when no safe folder can be had.
std::string runtimeFolder();

// The random part of the shared-memory area called name: 16 hexadecimal digits kept in the
// runtime folder beside the area's lock files ("shm.<name>.token", 0600). Empty when none is
// recorded or there is no runtime folder.
std::string sharedMemoryToken(std::string_view name);
// Draws a fresh token for the area and records it; empty on failure. Drawn each time the area is
// made anew, so a name seen in /dev/shm while the area lived says nothing of the next one.
std::string drawSharedMemoryToken(std::string_view name);

// A name made safe for a file name or a POSIX shared-memory name: [A-Za-z0-9._-] kept, the rest
// "_", at most 200 characters.
std::string safeObjectName(std::string_view name);

// "/<prefix>.<token>.<name>" for shm_open (at most 255 characters after the "/"). /dev/shm is open
// to every user: a name nobody can guess is one nobody can take first.
std::string sharedMemoryObjectName(std::string_view name, std::string_view token);

// Removes every object under the current prefix: the shared-memory areas, mutex files, window
// records and sockets (the whole runtime folder of the prefix). For tests and clean-ups only:
// a running program of the same prefix loses its named objects.
void removeNamedObjects();

}  // namespace platform
