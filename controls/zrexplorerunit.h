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
// The shell's name of the desktop, the computer or the network, unless the program names it.
std::string SpecialFolderName(int folderId);

// The names the explorer gives the desktop, the computer, the network and the root file system
// in the program's language, in place of the shell's; an empty one keeps the name in use. Trees
// built earlier take them with TzrFolderTreeView::RenameSpecialNodes.
struct ExplorerNames {
    std::string desktop;
    std::string computer;
    std::string network;
    std::string fileSystem;
};
void SetExplorerNames(const ExplorerNames& names);
// A drive's name: the program's name of the root file system for "/", else the shell's.
std::string DriveName(const std::string& root, const std::string& shellName);
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
