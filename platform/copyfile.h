// Copying a file to a new name, as the database's "copy to folder" does: bytes, permission bits
// and modification time. The copy is written to a temporary file beside the target and renamed
// into place, so a failure never leaves a half-written target and never touches the source or a
// file already there.
#pragma once

#include <string>

namespace platform {

enum class CopyResult {
    Copied,
    SameFile,      // the target is the source itself (same device and inode)
    TargetExists,  // and replacing was not asked for
    SourceFailed,  // missing, not a regular file, unreadable
    TargetFailed,  // the folder cannot be written, the disk is full, ...
};

// With replace, an existing target is replaced in one step once the copy is complete.
CopyResult copyFile(const std::string& source, const std::string& target, bool replace, std::string* error = nullptr);

// Moves a file to a new name, never replacing a file there: renamed where both names lie on one
// volume, else copied as above and the source removed. A source that cannot be removed takes its
// copy back with it, so a failure leaves the one file where it was. False with the reason in error.
bool moveFile(const std::string& source, const std::string& target, std::string* error = nullptr);

}  // namespace platform
