// The folder scan of a folder add: every supported media file below a folder, depth first.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace player {

struct FolderScanHooks {
    std::function<bool()> aborted;                        // polled before every entry
    std::function<void(const std::string&)> enterFolder;  // shows the folder, lets messages run
};

// Appends folder + "/" + name for every file whose extension is supported; a subfolder's files
// come at the place where the subfolder is met. Entries are taken in name order without regard
// to case; a folder already visited (same device and inode, as through a symbolic link loop) is
// not scanned again. The folder is given without a trailing separator.
void ScanFolder(const std::string& folder, std::vector<std::string>& list, const FolderScanHooks& hooks);

// The order of the program's folder listings: by name without regard to case, names that differ
// only in case in byte order.
bool NameOrderLess(const std::string& a, const std::string& b);

}  // namespace player
