// Adding tracks: the recursive folder scan and the building of one track record from a file's tag.
#pragma once

#include "media/records.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace database {

// One file found by the scan; size and path kept apart (a file name may hold any character).
struct ScanEntry {
    std::int64_t size = 0;
    std::string path;
};

// Longest path the record's file-name field holds, in bytes.
inline constexpr std::size_t kMaxPathBytes = 255;

class FolderScanner {
public:
    // Called once per folder before it is listed, with the number of entries found so far; lets
    // the message loop run.
    std::function<void(const std::string& folder, std::size_t found)> onFolder;
    // Polled between items; the scan stops when it is set.
    const std::atomic<bool>* abort = nullptr;

    // Depth first; every item of a folder in name order without regard to case, a subfolder's
    // files at the point where it is listed. Hidden files are included. A directory reached a
    // second time (a symlink loop) is not entered again. Supported files whose path does not fit
    // the record go to tooLong instead.
    void CollectFiles(const std::string& folder, std::vector<ScanEntry>& list);

    std::vector<std::string> tooLong;

private:
    bool aborted() const { return abort && abort->load(std::memory_order_relaxed); }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_visited;  // (device, inode), sorted
};

// Failed: the record could not be made (the error is reported where it happened).
enum class AddOutcome { Added, NoTag, TooLong, Failed };

// Builds the record of one file: its ID3v1 tag's fields exactly as read (30 bytes, 4 for the
// year), the genre name, the path, no duration and the size (clamped to the 32-bit field).
// With noEmpty a file without a tag is not added; a file whose tag could not be read is added
// with empty fields and reported through readFailed.
AddOutcome makeTrackRecord(const ScanEntry& entry, bool noEmpty, media::TTrackRecord& out, bool* readFailed);

}  // namespace database
