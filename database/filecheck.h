// Whether the files of the base are still there, for Check base. A record is only ever given up
// when its file is certainly gone: "no such file" on a volume that is mounted. Any other failure
// (access denied, an input/output error, a stale network handle, a share that is down, an
// expected mount point with nothing mounted on it) leaves the file out of reach, not gone.
#pragma once

#include "media/records.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace database {

enum class FilePresence { Present, Missing, Unreachable };

class FileChecker {
public:
    // Reads the mount table and fstab of this machine.
    FileChecker();
    // From given texts (tests).
    FileChecker(std::string_view mountTable, std::string_view fstab);

    FilePresence check(const std::string& path) const;

private:
    bool outOfReach(const std::string& path) const;

    std::vector<std::string> m_unmounted;  // in fstab, not mounted now
    std::vector<std::string> m_mounted;    // every mount point
    std::vector<bool> m_automount;         // parallel to m_mounted: an automounter's point
};

struct CheckOutcome {
    std::vector<media::TTrackRecord*> missing;
    std::size_t present = 0;
    std::size_t unreachable = 0;
    std::size_t checked = 0;
    bool aborted = false;
};

// Called at most every pumpPeriod with the records done so far; lets the message loop run.
using CheckPump = std::function<void(std::size_t done, std::size_t count)>;

// One stat per record, in order. Stops early (aborted) when abort is set.
CheckOutcome findMissingFiles(const std::vector<media::TTrackRecord*>& records, const FileChecker& checker,
                              const CheckPump& pump, std::chrono::milliseconds pumpPeriod,
                              const std::atomic<bool>* abort);

}  // namespace database
