// The machine's volumes from /proc/self/mounts, /etc/fstab and /sys/block, and the probes of a
// drive (medium, free space, audio tracks).
#include "platform/volumes.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

namespace {

namespace fs = std::filesystem;

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool hasOption(std::string_view options, std::string_view wanted)
{
    while (!options.empty()) {
        const auto comma = options.find(',');
        if (options.substr(0, comma) == wanted)
            return true;
        if (comma == std::string_view::npos)
            break;
        options.remove_prefix(comma + 1);
    }
    return false;
}

bool pathExists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

// The block device's name as /sys knows it ("sdb1" for "/dev/sdb1", following /dev symlinks).
std::string blockName(std::string_view device)
{
    std::string dev(device);
    std::error_code ec;
    if (fs::is_symlink(dev, ec)) {
        const auto target = fs::canonical(dev, ec);
        if (!ec)
            dev = target.string();
    }
    const auto slash = dev.rfind('/');
    return slash == std::string::npos ? dev : dev.substr(slash + 1);
}

// The whole disk a partition lives on, or empty when /sys does not know the name.
std::string diskOf(const std::string& name, const std::string& sysRoot)
{
    if (name.empty())
        return {};
    const std::string blockDir = sysRoot + "/block/";
    if (pathExists(blockDir + name))
        return name;
    std::error_code ec;
    for (fs::directory_iterator it(blockDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string disk = it->path().filename().string();
        if (pathExists(blockDir + disk + "/" + name))
            return disk;
    }
    return {};
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::string withSlash(const std::string& mountPoint)
{
    return mountPoint == "/" ? mountPoint : mountPoint + "/";
}

std::string displayNameOf(const std::string& mountPoint)
{
    if (mountPoint == "/")
        return "Файловая система";
    const auto slash = mountPoint.rfind('/');
    return mountPoint.substr(slash + 1);
}

int octal(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

std::atomic<VolumeSource*> g_source{nullptr};

}  // namespace

std::string unescapeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const int a = octal(field[i + 1]), b = octal(field[i + 2]), c = octal(field[i + 3]);
            if (a >= 0 && b >= 0 && c >= 0 && a <= 3) {
                out.push_back(static_cast<char>(a * 64 + b * 8 + c));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<MountEntry> parseMountTable(std::string_view text)
{
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);

        std::vector<std::string_view> fields;
        std::size_t i = 0;
        while (i < line.size() && fields.size() < 4) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
                ++i;
            const std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                ++i;
            if (i > start)
                fields.push_back(line.substr(start, i - start));
        }
        if (fields.size() < 3 || fields[0].front() == '#')
            continue;
        MountEntry entry;
        entry.device = unescapeMountField(fields[0]);
        entry.mountPoint = unescapeMountField(fields[1]);
        entry.fsType = unescapeMountField(fields[2]);
        if (fields.size() > 3)
            entry.options = unescapeMountField(fields[3]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool isNetworkFileSystem(std::string_view fsType)
{
    static constexpr std::string_view kNetwork[] = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "afs", "ncpfs",
        "coda", "davfs", "fuse.davfs2", "glusterfs", "fuse.glusterfs", "ceph", "fuse.ceph", "lustre",
        "fuse.rclone", "fuse.s3fs", "gfs2", "ocfs2"};
    return std::find(std::begin(kNetwork), std::end(kNetwork), fsType) != std::end(kNetwork);
}

bool isPseudoFileSystem(std::string_view fsType)
{
    static constexpr std::string_view kPseudo[] = {
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "pstore", "debugfs",
        "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "bpf", "autofs", "binfmt_misc",
        "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "nfsd", "fuse.gvfsd-fuse", "fuse.portal",
        "ramfs-sys", "rootfs", "none", "swap"};
    return std::find(std::begin(kPseudo), std::end(kPseudo), fsType) != std::end(kPseudo);
}

bool isHiddenMountPoint(std::string_view mountPoint)
{
    const auto under = [&](std::string_view folder) {
        return mountPoint == folder ||
               (startsWith(mountPoint, folder) && mountPoint.size() > folder.size() && mountPoint[folder.size()] == '/');
    };
    if (under("/run/media"))
        return false;
    return under("/proc") || under("/sys") || under("/dev") || under("/run");
}

int classifyDrive(std::string_view fsType, std::string_view device, const std::string& sysRoot)
{
    if (isNetworkFileSystem(fsType))
        return kDriveRemote;
    if (fsType == "iso9660" || fsType == "udf" || startsWith(device, "/dev/sr"))
        return kDriveCdrom;
    if (fsType == "tmpfs" || fsType == "ramfs")
        return kDriveRamDisk;
    if (!startsWith(device, "/dev/"))
        return kDriveUnknown;
    const std::string disk = diskOf(blockName(device), sysRoot);
    if (startsWith(disk, "sr"))
        return kDriveCdrom;
    if (!disk.empty() && trimmed(readWholeFile(sysRoot + "/block/" + disk + "/removable")) == "1")
        return kDriveRemovable;
    return kDriveFixed;
}

SystemVolumes::SystemVolumes(std::string mountsPath, std::string fstabPath, std::string sysRoot,
                             std::string devRoot)
    : m_mountsPath(std::move(mountsPath)), m_fstabPath(std::move(fstabPath)), m_sysRoot(std::move(sysRoot)),
      m_devRoot(std::move(devRoot))
{
}

std::vector<Volume> SystemVolumes::volumes()
{
    return volumesFrom(readWholeFile(m_mountsPath), readWholeFile(m_fstabPath));
}

std::vector<Volume> SystemVolumes::volumesFrom(std::string_view mounts, std::string_view fstab) const
{
    // The last mount on a path hides the ones before it.
    std::map<std::string, MountEntry> byPoint;
    for (auto& entry : parseMountTable(mounts)) {
        if (entry.mountPoint.empty() || entry.mountPoint.front() != '/')
            continue;
        byPoint[entry.mountPoint] = std::move(entry);
    }

    std::vector<Volume> result;
    std::vector<std::string> usedDevices;
    for (const auto& [point, entry] : byPoint) {
        if (point != "/" && (isHiddenMountPoint(point) || isPseudoFileSystem(entry.fsType)))
            continue;
        Volume v;
        v.root = withSlash(point);
        v.device = entry.device;
        v.fsType = entry.fsType;
        v.driveType = classifyDrive(entry.fsType, entry.device, m_sysRoot);
        v.mounted = true;
        v.displayName = displayNameOf(point);
        usedDevices.push_back(blockName(entry.device));
        result.push_back(std::move(v));
    }

    // Removable drives the user mounts by hand: their medium is absent until then. Optical drives
    // come from /sys below, rooted at their device node, so that audio tracks get a usable path.
    for (const auto& entry : parseMountTable(fstab)) {
        if (!hasOption(entry.options, "noauto") || entry.mountPoint.size() < 2 || entry.mountPoint.front() != '/' ||
            byPoint.count(entry.mountPoint) || isHiddenMountPoint(entry.mountPoint))
            continue;
        std::string device = entry.device;
        if (startsWith(device, "UUID="))
            device = m_devRoot + "/disk/by-uuid/" + device.substr(5);
        else if (startsWith(device, "LABEL="))
            device = m_devRoot + "/disk/by-label/" + device.substr(6);
        const int type = classifyDrive(entry.fsType, device, m_sysRoot);
        if (type != kDriveRemovable)
            continue;
        Volume v;
        v.root = withSlash(entry.mountPoint);
        v.device = device;
        v.driveType = type;
        v.mounted = false;
        v.displayName = displayNameOf(entry.mountPoint);
        usedDevices.push_back(blockName(device));
        result.push_back(std::move(v));
    }

    std::error_code ec;
    for (fs::directory_iterator it(m_sysRoot + "/block", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!startsWith(name, "sr") || std::find(usedDevices.begin(), usedDevices.end(), name) != usedDevices.end())
            continue;
        Volume v;
        v.device = m_devRoot + "/" + name;
        v.root = v.device + "/";
        v.driveType = kDriveCdrom;
        v.mounted = false;
        v.displayName = "Дисковод " + name;
        result.push_back(std::move(v));
    }

    std::sort(result.begin(), result.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return result;
}

bool SystemVolumes::hasMedium(const Volume& volume)
{
    if (volume.mounted) {
        struct statvfs st {};
        return ::statvfs(volume.root.c_str(), &st) == 0;
    }
    return volume.driveType == kDriveCdrom && !audioTracks(volume).empty();
}

bool SystemVolumes::diskSpace(const Volume& volume, DiskSpace& space)
{
    space = {};
    if (!volume.mounted)
        return false;
    struct statvfs st {};
    if (::statvfs(volume.root.c_str(), &st) != 0)
        return false;
    const std::uint64_t unit = st.f_frsize ? st.f_frsize : st.f_bsize;
    space.totalBytes = static_cast<std::uint64_t>(st.f_blocks) * unit;
    space.freeBytes = static_cast<std::uint64_t>(st.f_bavail) * unit;
    return true;
}

std::vector<AudioTrack> SystemVolumes::audioTracks(const Volume& volume)
{
    std::vector<AudioTrack> tracks;
    if (volume.driveType != kDriveCdrom || volume.mounted || !startsWith(volume.device, "/dev/"))
        return tracks;
    const int fd = ::open(volume.device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return tracks;
    cdrom_tochdr header{};
    if (::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT) == CDS_DISC_OK && ::ioctl(fd, CDROMREADTOCHDR, &header) == 0 &&
        header.cdth_trk0 >= 1 && header.cdth_trk1 <= 99 && header.cdth_trk0 <= header.cdth_trk1) {
        const auto entry = [fd](int track, cdrom_tocentry& out) {
            out = {};
            out.cdte_track = static_cast<__u8>(track);
            out.cdte_format = CDROM_LBA;
            return ::ioctl(fd, CDROMREADTOCENTRY, &out) == 0;
        };
        for (int t = header.cdth_trk0; t <= header.cdth_trk1; ++t) {
            cdrom_tocentry here{}, next{};
            if (!entry(t, here) || !entry(t == header.cdth_trk1 ? CDROM_LEADOUT : t + 1, next))
                break;
            if (here.cdte_ctrl & CDROM_DATA_TRACK)
                continue;
            const int sectors = next.cdte_addr.lba - here.cdte_addr.lba;
            if (sectors > 0)
                tracks.push_back({t, static_cast<std::uint64_t>(sectors) * 2352u});
        }
    }
    ::close(fd);
    return tracks;
}

VolumeSource& volumeSource()
{
    static SystemVolumes system;
    VolumeSource* set = g_source.load(std::memory_order_relaxed);
    return set ? *set : system;
}

void setVolumeSource(VolumeSource* source)
{
    g_source.store(source, std::memory_order_relaxed);
}

bool volumeOfPath(const std::vector<Volume>& volumes, std::string_view path, Volume& found)
{
    std::size_t best = 0;
    bool any = false;
    for (const auto& v : volumes) {
        const std::string_view root = v.root;
        const bool prefix = startsWith(path, root) || (root.size() > 1 && path == root.substr(0, root.size() - 1));
        if (prefix && (!any || root.size() > best)) {
            best = root.size();
            found = v;
            any = true;
        }
    }
    return any;
}

}  // namespace platform
