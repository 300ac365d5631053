// Change notification for one folder or folder tree on inotify, with a wake-up descriptor so the
// owning thread can be woken for stop, pause and rebuild requests.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

class InotifyWatcher {
public:
    // Watches beyond this count are not added, so one big tree cannot use up the user's budget.
    static constexpr int kMaxWatches = 8192;

    enum class Wait { Timeout, Changes, Woken };

    InotifyWatcher();
    ~InotifyWatcher();
    InotifyWatcher(const InotifyWatcher&) = delete;
    InotifyWatcher& operator=(const InotifyWatcher&) = delete;

    // Replaces the watched set. With subtree, every folder below on the same device is watched
    // (symlinks are not followed) and new folders are added as they appear. False when the folder
    // itself cannot be watched; the set is empty then. Owning thread only.
    bool watch(const std::string& folder, std::uint32_t mask, bool subtree);
    void clear();
    int watchCount() const { return static_cast<int>(m_paths.size()); }

    // Waits at most timeoutMs (-1: no limit) for changes or a wake-up. The event masks read are
    // appended (IN_Q_OVERFLOW among them when the queue overflowed). withChanges false waits for
    // the wake-up alone, leaving changes queued. Owning thread only.
    Wait wait(int timeoutMs, std::vector<std::uint32_t>& masks, bool withChanges = true);
    // Reads what is queued without waiting; false when nothing was.
    bool poll(std::vector<std::uint32_t>& masks);

    // Any thread.
    void wake();

private:
    void addTree(const std::string& folder, unsigned long device, bool top);
    bool addOne(const std::string& folder, bool top);
    void readEvents(std::vector<std::uint32_t>& masks);

    int m_fd = -1;
    int m_wakeFd = -1;
    std::uint32_t m_mask = 0;
    bool m_subtree = false;
    std::unordered_map<int, std::string> m_paths;  // watch descriptor -> folder
};

}  // namespace platform
