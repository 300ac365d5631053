// Named shared memory between the programs of this system (the command-line hand-over area and
// the search area): create-or-open with a fixed size, mapped read-write.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A POSIX shared-memory object named after the per-user prefix. Lifetime follows its holders:
// every open SharedMemory holds a shared flock() on a companion file in the runtime folder, and
// the last holder to close removes the object. An object left behind by a crashed program (no
// holder left) is removed by the next open, so a fresh area always starts as zeros. Each area made
// anew gets a fresh random name, created exclusively; an object that is not this user's own and
// closed to others is never used. When other holders keep an area smaller than asked, it is
// enlarged (never shrunk under them).
class SharedMemory {
public:
    SharedMemory() = default;
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Creates the area, or opens the one another holder has, and maps size bytes, every page of
    // them taken from the system at once (so no later write can fail). False on failure (size 0,
    // no runtime folder, /dev/shm full, the system refuses); the object then stays closed and
    // lastError() says why.
    bool open(std::string_view name, std::size_t size);
    void close();
    // Why the last open failed ("No space left on device", ...); empty after a successful one.
    const std::string& lastError() const { return m_error; }

    bool isOpen() const { return m_data != nullptr; }
    // True when another holder had the area open already (its bytes are theirs).
    bool alreadyExisted() const { return m_existed; }
    void* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    // Under the guard lock: a new object under a freshly drawn name, or the one the holders use.
    int createFresh(std::string_view name);
    int openHeld(std::string_view name);

    std::string m_shmName;
    void* m_data = nullptr;
    std::size_t m_size = 0;
    int m_holderFd = -1;  // shared flock while mapped
    int m_guardFd = -1;   // serialises open and close between holders
    bool m_existed = false;
    std::string m_error;
};

}  // namespace platform
