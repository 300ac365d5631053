// Module-wide state of the folder explorer and its shell and drive lookups.
#include "controls/zrexplorerunit.h"

#include "platform/shellicons.h"
#include "platform/volumes.h"

#include <QString>

#include <unordered_map>

namespace controls {

namespace {

struct UnitState {
    bool ready = false;
    ExplorerIcons icons;
    std::unordered_map<std::string, int> iconCache;  // lower-case extension -> icon index
    std::string directoryTypeName;
    bool directoryTypeNameCached = false;
    int lookups = 0;
};

UnitState& state()
{
    static UnitState s;
    return s;
}

// Kept apart from the icons and caches, which DoneExplorerUnit forgets.
ExplorerNames& names()
{
    static ExplorerNames n;
    return n;
}

std::string nameOr(const std::string& own, std::string shell)
{
    return own.empty() ? std::move(shell) : own;
}

bool volumeAtRoot(const std::string& root, platform::Volume& volume)
{
    const auto volumes = platform::volumeSource().volumes();
    for (const auto& v : volumes)
        if (v.root == root) {
            volume = v;
            return true;
        }
    return platform::volumeOfPath(volumes, root, volume) && volume.root == root;
}

}  // namespace

void InitExplorerUnit()
{
    auto& s = state();
    if (s.ready)
        return;
    s.ready = true;
    s.icons.FolderClosed = platform::ShellIcons::indexOf("folder");
    s.icons.FolderOpen = platform::ShellIcons::indexOf("folder-open");
    s.icons.Network = platform::ShellIcons::indexOf("network-workgroup");
    s.icons.Domain = platform::ShellIcons::indexOf("network-workgroup");
    s.icons.Server = platform::ShellIcons::indexOf("network-server");
    s.icons.ServerNoShares = platform::ShellIcons::indexOf("network-offline");
    s.icons.Disk35 = platform::ShellIcons::indexOf("media-floppy");
    s.icons.Disk525 = platform::ShellIcons::indexOf("drive-removable-media");
    FileTypeName("Directory");
}

void DoneExplorerUnit()
{
    state() = UnitState{};
}

const ExplorerIcons& ExplorerIconIndexes()
{
    InitExplorerUnit();
    return state().icons;
}

QIcon ImageOf(int imageIndex)
{
    return platform::ShellIcons::icon(imageIndex);
}

int SystemIconIndex(const std::string& path, bool open)
{
    return platform::systemIconIndex(path, open);
}

// One process-wide list serves every size, so a system index is already ours.
int MapSystemIcon(int systemIndex)
{
    return systemIndex;
}

int SpecialFolderIcon(int folderId)
{
    return platform::specialFolderIcon(folderId);
}

std::string SpecialFolderName(int folderId)
{
    const ExplorerNames& n = names();
    switch (folderId) {
    case platform::kFolderDesktop: return nameOr(n.desktop, platform::specialFolderName(folderId));
    case platform::kFolderComputer: return nameOr(n.computer, platform::specialFolderName(folderId));
    case platform::kFolderNetwork: return nameOr(n.network, platform::specialFolderName(folderId));
    default: return platform::specialFolderName(folderId);
    }
}

void SetExplorerNames(const ExplorerNames& n)
{
    for (auto field : {&ExplorerNames::desktop, &ExplorerNames::computer, &ExplorerNames::network,
                       &ExplorerNames::fileSystem})
        if (!(n.*field).empty())
            names().*field = n.*field;
}

std::string DriveName(const std::string& root, const std::string& shellName)
{
    return root == "/" ? nameOr(names().fileSystem, shellName) : shellName;
}

std::string ShellDisplayName(const std::string& path)
{
    return platform::shellDisplayName(path);
}

int FileIconIndex(const std::string& fileName)
{
    InitExplorerUnit();
    auto& s = state();
    const auto slash = fileName.rfind('/');
    const auto dot = fileName.rfind('.');
    std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                          ? std::string(".")
                          : QString::fromStdString(fileName.substr(dot)).toLower().toStdString();
    const auto it = s.iconCache.find(ext);
    if (it != s.iconCache.end())
        return it->second;
    ++s.lookups;
    const int index = MapSystemIcon(SystemIconIndex(fileName, false));
    // Their icons differ from file to file.
    if (ext == ".exe" || ext == ".ico" || ext == ".lnk")
        return index;
    s.iconCache.emplace(ext, index);
    return index;
}

int FileIconLookups()
{
    return state().lookups;
}

std::string FileTypeName(const std::string& extension)
{
    auto& s = state();
    const bool directory = extension == "Directory";
    if (directory && s.directoryTypeNameCached && !s.directoryTypeName.empty())
        return s.directoryTypeName;
    std::string result = platform::mimeTypeName(extension);
    if (directory) {
        s.directoryTypeName = result;
        s.directoryTypeNameCached = true;
    }
    if (!result.empty())
        return result;
    QString bare = QString::fromStdString(extension);
    if (bare.startsWith('.'))
        bare.remove(0, 1);
    return "Файл " + bare.toUpper().toStdString();
}

bool DriveHasMedium(const std::string& root)
{
    platform::Volume volume;
    return volumeAtRoot(root, volume) && platform::volumeSource().hasMedium(volume);
}

double DiskTotalBytes(const std::string& root)
{
    platform::Volume volume;
    platform::DiskSpace space;
    if (!volumeAtRoot(root, volume) || !platform::volumeSource().hasMedium(volume) ||
        !platform::volumeSource().diskSpace(volume, space))
        return 0;
    return static_cast<double>(space.totalBytes);
}

double DiskFreeBytes(const std::string& root)
{
    platform::Volume volume;
    platform::DiskSpace space;
    if (!volumeAtRoot(root, volume) || !platform::volumeSource().hasMedium(volume) ||
        !platform::volumeSource().diskSpace(volume, space))
        return 0;
    return static_cast<double>(space.freeBytes);
}

}  // namespace controls
