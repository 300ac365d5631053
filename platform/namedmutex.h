// A named mutex between the programs of this system (the single-instance check): created owned,
// tells whether it already existed, released by the kernel when its owner dies.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The lock is an flock() on a file in the runtime folder, so the kernel frees it when the owning
// process dies, however it dies. The descriptor is close-on-exec: a child process never inherits
// the ownership. Two NamedMutex objects of one process exclude each other like two processes do.
class NamedMutex {
public:
    // Tries to take the mutex at once. When another holder has it, alreadyExisted() is true and
    // this object does not own it (it never waits).
    explicit NamedMutex(std::string_view name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool owned() const { return m_owned; }
    bool alreadyExisted() const { return m_existed; }
    // False when no lock file could be made (no runtime folder): neither owned nor existing.
    bool valid() const { return m_fd >= 0; }

    // Gives the mutex up (the destructor does so too).
    void release();

private:
    int m_fd = -1;
    bool m_owned = false;
    bool m_existed = false;
};

}  // namespace platform
