// Folder listing with Windows-style attribute bits and day-count times, and the two changes the
// folder tree makes on disk: a rename that never replaces and a new folder.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace platform {

// Attribute bits as the programs' own code tests them.
enum : std::uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrCompressed = 0x800,
};
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    double modified = 0;  // days since 1899-12-30, local time, two-second grain
};

// Every entry of a folder except "." and ".." (unsorted, symlinks followed for the kind).
// False when the folder cannot be read.
bool readDirectory(const std::string& folder, std::vector<DirEntry>& entries);

// Attributes of one path, kInvalidAttributes when it does not exist.
std::uint32_t fileAttributes(const std::string& path);

// Whether a folder holds at least one entry besides "." and "..".
bool folderHasEntries(const std::string& folder);

// A time as a day count in local time, rounded down to the even second as a DOS date-time keeps it.
double dosDayCount(std::time_t time);

// Renames a file or folder; false (errno EEXIST) when the new name is taken, never replacing it.
bool renameNoReplace(const std::string& oldPath, const std::string& newPath);

// Creates one folder (its parent must exist).
bool makeFolder(const std::string& path);

}  // namespace platform
