// Records of the folder tree and the listings that fill them.
#include "controls/zrfileobject.h"

#include "controls/zrexplorerunit.h"
#include "controls/zrpaths.h"
#include "platform/shellicons.h"
#include "platform/volumes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace controls {

std::uint64_t TFileObject::NextId()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

void DisposeFileObject(TFileObject* object)
{
    delete object;
}

std::unique_ptr<platform::NetResource> CopyNetResource(const platform::NetResource* resource)
{
    if (!resource)
        return nullptr;
    return std::make_unique<platform::NetResource>(*resource);
}

int CompareFileObjects(const TFileObject& a, const TFileObject& b)
{
    const bool folderA = (a.Attributes & platform::kAttrDirectory) != 0;
    const bool folderB = (b.Attributes & platform::kAttrDirectory) != 0;
    if (folderA != folderB)
        return folderA ? -1 : 1;
    return CompareFileNames(a.Name, b.Name);
}

std::string DriveTypeName(int driveType)
{
    switch (driveType) {
    case platform::kDriveRemovable: return "Съемный диск";
    case platform::kDriveFixed: return "Локальный диск";
    case platform::kDriveRemote: return "Сетевой диск";
    case platform::kDriveCdrom: return "Компакт-диск";
    case platform::kDriveRamDisk: return "Виртуальный диск";
    default: return "Неизвестный тип";
    }
}

std::unique_ptr<TFileObject> FileObjectFromFindData(const platform::DirEntry& entry)
{
    auto object = std::make_unique<TFileObject>();
    object->Name = entry.name;
    object->Path = entry.name;
    object->Modified = entry.modified;
    object->Size = static_cast<double>(entry.size);
    object->Attributes = static_cast<std::int32_t>(entry.attributes);
    object->DriveType = -1;
    object->ImageIndex = (entry.attributes & platform::kAttrDirectory) ? ExplorerIconIndexes().FolderClosed : -1;
    return object;
}

std::unique_ptr<TFileObject> FileObjectFromNetResource(const platform::NetResource& resource)
{
    auto object = std::make_unique<TFileObject>();
    object->Name = LastPathComponent(resource.remoteName);
    object->Path = object->Name;
    object->TypeName = resource.comment;
    object->DriveType = 0;
    object->NetResource = CopyNetResource(&resource);
    const auto& icons = ExplorerIconIndexes();
    switch (resource.displayType) {
    case platform::kNetDisplayDomain: object->ImageIndex = icons.Domain; break;
    case platform::kNetDisplayServer: object->ImageIndex = icons.Server; break;
    case platform::kNetDisplayShare: object->ImageIndex = icons.FolderClosed; break;
    case platform::kNetDisplayNetwork: object->ImageIndex = icons.Network; break;
    default: object->ImageIndex = -1; break;
    }
    return object;
}

std::unique_ptr<TFileObject> NetworkRootObject()
{
    if (!platform::networkAvailable())
        return nullptr;
    auto object = std::make_unique<TFileObject>();
    auto description = std::make_unique<platform::NetResource>();
    description->scope = 2;
    description->type = 0;
    description->displayType = platform::kNetDisplayServer;
    description->usage = 1;
    object->Name = SpecialFolderName(platform::kFolderNetwork);
    object->Path = "?.2";
    object->TypeName = object->Name;
    object->DriveType = -1;
    object->ImageIndex = SpecialFolderIcon(platform::kFolderNetwork);
    object->NetResource = std::move(description);
    return object;
}

void TFileList::DeleteEntry(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
}

void TFileList::SortEntries()
{
    std::stable_sort(m_items.begin(), m_items.end(), [](const auto& a, const auto& b) {
        if (!a || !b)
            return a && !b;
        return CompareFileObjects(*a, *b) < 0;
    });
}

void TFileList::ListDrives(bool probeRemovable)
{
    Clear();
    const auto& icons = ExplorerIconIndexes();
    for (const auto& volume : platform::volumeSource().volumes()) {
        auto object = std::make_unique<TFileObject>();
        object->Name = DriveName(volume.root, volume.displayName);
        object->Path = volume.root;
        object->DriveType = volume.driveType;
        // Removable and optical drives stay untouched unless asked, so listing does not spin them
        // up; network drives too, since asking a server that is gone can block for minutes.
        const bool onRequest = volume.driveType == platform::kDriveRemovable ||
                               volume.driveType == platform::kDriveCdrom || volume.driveType == platform::kDriveRemote;
        if (!onRequest || (probeRemovable && platform::volumeSource().hasMedium(volume))) {
            const std::uint32_t attributes = platform::fileAttributes(volume.root);
            object->Attributes = attributes == platform::kInvalidAttributes ? 0 : static_cast<std::int32_t>(attributes);
            platform::DiskSpace space;
            if (platform::volumeSource().hasMedium(volume) && platform::volumeSource().diskSpace(volume, space)) {
                object->Size = static_cast<double>(space.totalBytes);
                object->FreeSpace = static_cast<double>(space.freeBytes);
            }
        }
        object->TypeName = DriveTypeName(volume.driveType);
        if (volume.driveType != platform::kDriveRemovable)
            object->ImageIndex = MapSystemIcon(SystemIconIndex(volume.root, false));
        else if (object->Name.find("3.5") != std::string::npos || object->Name.find("3,5 ") != std::string::npos)
            object->ImageIndex = icons.Disk35;
        else
            object->ImageIndex = icons.Disk525;
        Add(std::move(object));
    }
}

bool TFileList::ListFolder(const std::string& folder, int kinds)
{
    Clear();
    const auto volumes = platform::volumeSource().volumes();
    platform::Volume volume;
    if (!platform::volumeOfPath(volumes, folder, volume) || !platform::volumeSource().hasMedium(volume))
        return false;

    if (!volume.mounted && volume.driveType == platform::kDriveCdrom) {
        // An audio disc: its tracks, named as the audio library opens them.
        if (folder == volume.root && (kinds & kListFiles)) {
            for (const auto& track : platform::volumeSource().audioTracks(volume)) {
                char name[16];
                std::snprintf(name, sizeof name, "Track%02d.cda", track.number);
                platform::DirEntry entry;
                entry.name = name;
                entry.size = track.bytes;
                entry.attributes = platform::kAttrReadOnly;
                Add(FileObjectFromFindData(entry));
            }
        }
        return true;
    }

    std::vector<platform::DirEntry> entries;
    platform::readDirectory(folder, entries);
    for (const auto& entry : entries) {
        if (entry.name.empty() || entry.name.front() == '.')
            continue;
        const bool isFolder = (entry.attributes & platform::kAttrDirectory) != 0;
        if ((isFolder && (kinds & kListFolders)) || (!isFolder && (kinds & kListFiles)))
            Add(FileObjectFromFindData(entry));
    }
    SortEntries();
    return true;
}

void TFileList::ListNetwork(const platform::NetResource* parent)
{
    Clear();
    for (const auto& resource : platform::enumerateNetwork(parent))
        Add(FileObjectFromNetResource(resource));
}

}  // namespace controls
