// The ".dfs" database file: whole 424-byte track rows back to back, no header. Bytes after each
// string's length are kept exactly as read, so an unchanged base saves back byte for byte.
#pragma once

#include "media/records.h"

#include <memory>
#include <string>
#include <vector>

namespace database {

inline constexpr std::size_t kDfsRowSize = sizeof(media::TTrackRecord);

struct DfsLoadResult {
    bool ok = true;  // false: the file exists but could not be read
    std::string error;
    // After a failure only the rows before it: never a base.
    std::vector<std::unique_ptr<media::TTrackRecord>> records;
};

// A missing file gives an empty, successful result; a trailing piece shorter than a row is ignored.
// What is not a regular file, or holds more than media::kMaxBaseRows rows, is refused unread.
DfsLoadResult readDfsFile(const std::string& path);

// Writes the rows in order to a temporary file beside path and renames it into place, so a failed
// save leaves the old file whole. Returns false with error set on failure.
bool writeDfsFile(const std::string& path, const std::vector<media::TTrackRecord*>& rows, std::string* error);

}  // namespace database
