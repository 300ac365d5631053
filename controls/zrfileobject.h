// The folder tree's records of drives, folders, files and network resources, and the lists that
// fill them from the volume list, a folder or the network.
#pragma once

#include "controls/zrfilenotify.h"
#include "platform/direntries.h"
#include "platform/networkresources.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace controls {

struct TFileObject {
    std::string Name;      // display name (drive), file or folder name, or last remote-name component
    std::string Path;      // a drive's root ("/media/u/STICK/"), a file or folder name, or "?.2"
    std::string TypeName;  // drive type name, network comment, or the network folder's name
    double Size = 0;       // bytes (a drive's total)
    double FreeSpace = 0;
    double Modified = 0;   // days since 1899-12-30, local time, two-second grain
    std::int32_t Attributes = 0;
    std::int32_t DriveType = -1;
    std::int32_t ImageIndex = -1;
    std::unique_ptr<platform::NetResource> NetResource;
    std::unique_ptr<TFileNotify> Watcher;
    // Opaque identity written into virtual paths handed to linked views.
    std::uint64_t Id = NextId();

    static std::uint64_t NextId();
};

// Frees the record with its network description and its watcher (which stops its thread).
void DisposeFileObject(TFileObject* object);

std::unique_ptr<platform::NetResource> CopyNetResource(const platform::NetResource* resource);

// A folder before a non-folder; otherwise the names as file names without regard to case.
int CompareFileObjects(const TFileObject& a, const TFileObject& b);

// "Съемный диск", "Локальный диск", ...
std::string DriveTypeName(int driveType);

std::unique_ptr<TFileObject> FileObjectFromFindData(const platform::DirEntry& entry);
std::unique_ptr<TFileObject> FileObjectFromNetResource(const platform::NetResource& resource);
// The network root's record, or none when there is no network to browse.
std::unique_ptr<TFileObject> NetworkRootObject();

enum : int { kListFolders = 1, kListFiles = 2 };

// Owns the records in it; Take leaves an empty slot for a caller that keeps a record.
class TFileList {
public:
    TFileList() = default;
    ~TFileList() { Clear(); }
    TFileList(const TFileList&) = delete;
    TFileList& operator=(const TFileList&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    TFileObject* operator[](int index) const { return m_items.at(index).get(); }
    std::unique_ptr<TFileObject> Take(int index) { return std::move(m_items.at(index)); }
    void Add(std::unique_ptr<TFileObject> object) { m_items.push_back(std::move(object)); }

    void Clear() { m_items.clear(); }
    void DeleteEntry(int index);
    void SortEntries();

    // Every volume, in root order; removable, optical and network drives are asked for their
    // medium and sizes only when probeRemovable is set.
    void ListDrives(bool probeRemovable);
    // Folders and/or files of a folder (path with its trailing "/"), names beginning with "."
    // left out, sorted. False when the folder's drive holds no medium. An audio disc's root
    // lists its tracks as "TrackNN.cda".
    bool ListFolder(const std::string& folder, int kinds);
    // Children of a network resource, or the top of the network for none; not sorted.
    void ListNetwork(const platform::NetResource* parent);

private:
    std::vector<std::unique_ptr<TFileObject>> m_items;
};

}  // namespace controls
