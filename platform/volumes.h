// The machine's volumes as drives: mounted file systems from the kernel's mount table plus
// removable and optical drives that hold no mounted medium, each with a Windows-style drive type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Drive type codes, numbered as the programs' own code expects them.
enum : int {
    kDriveUnknown = 0,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdrom = 5,
    kDriveRamDisk = 6,
};

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string fsType;
    std::string options;
};

struct Volume {
    std::string root;     // mount point with a trailing "/"; "/dev/srN/" for an unmounted optical drive
    std::string device;   // "/dev/sdb1", "server:/export", ...
    std::string fsType;   // empty when nothing is mounted
    int driveType = kDriveUnknown;
    bool mounted = false;
    std::string displayName;
};

struct AudioTrack {
    int number = 0;            // as on the disc, 1..99
    std::uint64_t bytes = 0;   // length as 44.1 kHz 16-bit stereo PCM
};

struct DiskSpace {
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
};

// One line of the mount table or fstab: fields separated by blanks, octal escapes ("\040")
// undone. Comment and malformed lines are skipped.
std::vector<MountEntry> parseMountTable(std::string_view text);
std::string unescapeMountField(std::string_view field);

// Classification of one file system; sysRoot is normally "/sys".
int classifyDrive(std::string_view fsType, std::string_view device, const std::string& sysRoot);
bool isNetworkFileSystem(std::string_view fsType);
// Whether a mount point belongs to the system's plumbing (/proc, /sys, /dev, /run but not /run/media).
bool isHiddenMountPoint(std::string_view mountPoint);
bool isPseudoFileSystem(std::string_view fsType);

// The source of the volume list; tests swap it for one with canned inputs.
class VolumeSource {
public:
    virtual ~VolumeSource() = default;
    // Sorted by root.
    virtual std::vector<Volume> volumes() = 0;
    // A mounted volume whose file system answers, or an optical drive holding an audio disc.
    virtual bool hasMedium(const Volume& volume) = 0;
    virtual bool diskSpace(const Volume& volume, DiskSpace& space) = 0;
    // The audio tracks of a disc in an optical drive; empty when there is no audio disc.
    virtual std::vector<AudioTrack> audioTracks(const Volume& volume) = 0;
};

// Reads the mount table, fstab and /sys from the given places.
class SystemVolumes : public VolumeSource {
public:
    SystemVolumes(std::string mountsPath = "/proc/self/mounts", std::string fstabPath = "/etc/fstab",
                  std::string sysRoot = "/sys", std::string devRoot = "/dev");
    std::vector<Volume> volumes() override;
    bool hasMedium(const Volume& volume) override;
    bool diskSpace(const Volume& volume, DiskSpace& space) override;
    std::vector<AudioTrack> audioTracks(const Volume& volume) override;

    // The volume list from the given texts, without reading the files (the part tests check).
    std::vector<Volume> volumesFrom(std::string_view mounts, std::string_view fstab) const;

private:
    std::string m_mountsPath;
    std::string m_fstabPath;
    std::string m_sysRoot;
    std::string m_devRoot;
};

// The source in force: the system one unless a test has set its own (not owned; nullptr restores).
VolumeSource& volumeSource();
void setVolumeSource(VolumeSource* source);

// The volume whose root is the longest prefix of the path; false when none is.
bool volumeOfPath(const std::vector<Volume>& volumes, std::string_view path, Volume& found);

}  // namespace platform
