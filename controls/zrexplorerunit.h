// Module-wide state of the folder explorer: icon indexes of folders, special folders and the six
// icons of our own, the per-extension icon cache, type names, and the drive probes.
#pragma once

#include <QIcon>

#include <string>
#include <string_view>

namespace controls {

struct ExplorerIcons {
    int FolderClosed = -1;
    int FolderOpen = -1;
    int Network = -1;         // a network (family of file systems)
    int Domain = -1;
    int Server = -1;
    int ServerNoShares = -1;
    int Disk35 = -1;
    int Disk525 = -1;
};

// Built on first use (InitExplorerUnit) and kept until DoneExplorerUnit; user-interface thread.
void InitExplorerUnit();
void DoneExplorerUnit();
const ExplorerIcons& ExplorerIconIndexes();

// Icon indexes point into the process-wide icon list; ImageOf gives the picture.
QIcon ImageOf(int imageIndex);
int SystemIconIndex(const std::string& path, bool open);
int MapSystemIcon(int systemIndex);
int SpecialFolderIcon(int folderId);
std::string SpecialFolderName(int folderId);
std::string ShellDisplayName(const std::string& path);

// A file's icon, asked once per extension (but every time for .exe, .ico and .lnk).
int FileIconIndex(const std::string& fileName);
// Number of icon lookups that went past the cache.
int FileIconLookups();
// The type description of an extension (".mp3") or of "Directory"; "Файл XYZ" without one.
std::string FileTypeName(const std::string& extension);

// Probes of the drive whose root is given ("/", "/media/u/STICK/").
bool DriveHasMedium(const std::string& root);
double DiskTotalBytes(const std::string& root);
double DiskFreeBytes(const std::string& root);

}  // namespace controls
