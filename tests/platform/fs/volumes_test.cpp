// The volume list from canned mount tables, fstab texts and a fake /sys folder.
#include "platform/volumes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace platform;

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class VolumesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_sys = (m_dir.path() + "/sys").toStdString();
        // sda: a fixed disk with one partition; sdb: a removable stick; sr0: an optical drive.
        writeFile(m_dir.path() + "/sys/block/sda/removable", "0\n");
        QDir().mkpath(m_dir.path() + "/sys/block/sda/sda1");
        writeFile(m_dir.path() + "/sys/block/sdb/removable", "1\n");
        QDir().mkpath(m_dir.path() + "/sys/block/sdb/sdb1");
        writeFile(m_dir.path() + "/sys/block/sr0/removable", "1\n");
    }

    SystemVolumes source() const { return SystemVolumes("/nonexistent", "/nonexistent", m_sys, "/nonexistent-dev"); }

    static const Volume* find(const std::vector<Volume>& volumes, const std::string& root)
    {
        for (const auto& v : volumes)
            if (v.root == root)
                return &v;
        return nullptr;
    }

    QTemporaryDir m_dir;
    std::string m_sys;
};

TEST_F(VolumesTest, ParsesFieldsUnescapesNamesAndSkipsJunk)
{
    const auto entries = parseMountTable("# a comment\n"
                                         "/dev/sdb1 /media/u/My\\040Stick vfat rw,nosuid 0 0\n"
                                         "\n"
                                         "short line\n"
                                         "\t/dev/sda1\t/\text4\trw 0 0\r\n"
                                         "tank /mnt/back\\134slash zfs");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].device, "/dev/sdb1");
    EXPECT_EQ(entries[0].mountPoint, "/media/u/My Stick");
    EXPECT_EQ(entries[0].options, "rw,nosuid");
    EXPECT_EQ(entries[1].mountPoint, "/");
    EXPECT_EQ(entries[1].fsType, "ext4");
    EXPECT_EQ(entries[2].mountPoint, "/mnt/back\\slash");
    EXPECT_EQ(entries[2].options, "");
    // A broken escape at the end stays as it is and reads nothing past the text.
    EXPECT_EQ(unescapeMountField("a\\04"), "a\\04");
    EXPECT_EQ(unescapeMountField("\\"), "\\");
}

TEST_F(VolumesTest, ClassifiesByFileSystemAndRemovableFlag)
{
    EXPECT_EQ(classifyDrive("nfs4", "srv:/export", m_sys), kDriveRemote);
    EXPECT_EQ(classifyDrive("cifs", "//srv/music", m_sys), kDriveRemote);
    EXPECT_EQ(classifyDrive("fuse.sshfs", "u@srv:/", m_sys), kDriveRemote);
    EXPECT_EQ(classifyDrive("9p", "hostshare", m_sys), kDriveRemote);
    EXPECT_EQ(classifyDrive("iso9660", "/dev/loop3", m_sys), kDriveCdrom);
    EXPECT_EQ(classifyDrive("auto", "/dev/sr0", m_sys), kDriveCdrom);
    EXPECT_EQ(classifyDrive("tmpfs", "tmpfs", m_sys), kDriveRamDisk);
    EXPECT_EQ(classifyDrive("ramfs", "none", m_sys), kDriveRamDisk);
    EXPECT_EQ(classifyDrive("vfat", "/dev/sdb1", m_sys), kDriveRemovable);
    EXPECT_EQ(classifyDrive("vfat", "/dev/sdb", m_sys), kDriveRemovable);
    EXPECT_EQ(classifyDrive("ext4", "/dev/sda1", m_sys), kDriveFixed);
    EXPECT_EQ(classifyDrive("ext4", "/dev/nvme9n1p1", m_sys), kDriveFixed);  // unknown to /sys: still a disk
    EXPECT_EQ(classifyDrive("overlay", "overlay", m_sys), kDriveUnknown);
}

TEST_F(VolumesTest, KeepsUserVolumesAndLeavesOutThePlumbing)
{
    const auto volumes = source().volumesFrom("overlay / overlay rw 0 0\n"
                                              "proc /proc proc rw 0 0\n"
                                              "sysfs /sys sysfs rw 0 0\n"
                                              "udev /dev devtmpfs rw 0 0\n"
                                              "tmpfs /run tmpfs rw 0 0\n"
                                              "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                                              "/dev/sdb1 /run/media/u/STICK vfat rw 0 0\n"
                                              "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                                              "/dev/sda1 /home ext4 rw 0 0\n"
                                              "tmpfs /tmp tmpfs rw 0 0\n"
                                              "srv:/music /mnt/music nfs4 rw 0 0\n",
                                              "");
    std::vector<std::string> roots;
    for (const auto& v : volumes)
        roots.push_back(v.root);
    // The optical drive of the fake /sys comes along, rooted at its device and without a medium.
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/", "/mnt/music/", "/nonexistent-dev/sr0/",
                                               "/run/media/u/STICK/", "/tmp/"}));
    EXPECT_EQ(find(volumes, "/")->displayName, "Файловая система");
    EXPECT_EQ(find(volumes, "/home/")->driveType, kDriveFixed);
    EXPECT_EQ(find(volumes, "/mnt/music/")->driveType, kDriveRemote);
    EXPECT_EQ(find(volumes, "/run/media/u/STICK/")->driveType, kDriveRemovable);
    EXPECT_EQ(find(volumes, "/run/media/u/STICK/")->displayName, "STICK");
    EXPECT_EQ(find(volumes, "/tmp/")->driveType, kDriveRamDisk);
    for (const auto& v : volumes)
        EXPECT_EQ(v.mounted, v.driveType != kDriveCdrom) << v.root;
}

TEST_F(VolumesTest, LastMountOnAPathWins)
{
    const auto volumes = source().volumesFrom("/dev/sda1 /data ext4 rw 0 0\n"
                                              "srv:/data /data nfs rw 0 0\n",
                                              "");
    const Volume* data = find(volumes, "/data/");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->driveType, kDriveRemote);
    EXPECT_EQ(data->device, "srv:/data");
    EXPECT_EQ(volumes.size(), 2u);  // with the optical drive
}

TEST_F(VolumesTest, AddsRemovableAndOpticalDrivesWithoutMedium)
{
    const auto volumes = source().volumesFrom("/dev/sda1 / ext4 rw 0 0\n",
                                              "/dev/sda1 / ext4 defaults 0 1\n"
                                              "/dev/sdb1 /media/stick vfat noauto,user 0 0\n"
                                              "/dev/sda2 /backup ext4 noauto 0 0\n"
                                              "/dev/sr0 /media/cdrom0 udf,iso9660 user,noauto 0 0\n");
    const Volume* stick = find(volumes, "/media/stick/");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->driveType, kDriveRemovable);
    EXPECT_FALSE(stick->mounted);
    EXPECT_EQ(find(volumes, "/backup/"), nullptr);        // a fixed disk left unmounted is not a drive
    EXPECT_EQ(find(volumes, "/media/cdrom0/"), nullptr);  // optical drives are rooted at their device
    const Volume* cd = find(volumes, "/nonexistent-dev/sr0/");
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(cd->driveType, kDriveCdrom);
    EXPECT_FALSE(cd->mounted);

    SystemVolumes system = source();
    EXPECT_FALSE(system.hasMedium(*stick));
    DiskSpace space;
    EXPECT_FALSE(system.diskSpace(*stick, space));
    EXPECT_EQ(space.totalBytes, 0u);
}

TEST_F(VolumesTest, MountedOpticalDiscIsNotListedTwice)
{
    const auto volumes = source().volumesFrom("/dev/sr0 /media/cdrom iso9660 ro 0 0\n", "");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].root, "/media/cdrom/");
    EXPECT_EQ(volumes[0].driveType, kDriveCdrom);
    EXPECT_TRUE(volumes[0].mounted);
}

TEST_F(VolumesTest, MountedFolderHasMediumAndSpace)
{
    const std::string root = m_dir.path().toStdString();
    writeFile(m_dir.path() + "/mounts", QByteArray("/dev/sda1 ") + root.c_str() + " ext4 rw 0 0\n");
    SystemVolumes system((m_dir.path() + "/mounts").toStdString(), "/nonexistent", m_sys);
    const auto volumes = system.volumes();
    const Volume* v = find(volumes, root + "/");
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(system.hasMedium(*v));
    DiskSpace space;
    ASSERT_TRUE(system.diskSpace(*v, space));
    EXPECT_GT(space.totalBytes, 0u);
    EXPECT_LE(space.freeBytes, space.totalBytes);

    Volume gone = *v;
    gone.root = root + "/no-such-mount/";
    EXPECT_FALSE(system.hasMedium(gone));
}

TEST_F(VolumesTest, VolumeOfPathTakesTheLongestRoot)
{
    const auto volumes = source().volumesFrom("/dev/sda1 / ext4 rw 0 0\n"
                                              "/dev/sdb1 /media/u/STICK vfat rw 0 0\n"
                                              "/dev/sda2 /media/u/STICK2 ext4 rw 0 0\n",
                                              "");
    Volume v;
    ASSERT_TRUE(volumeOfPath(volumes, "/media/u/STICK/music/a.mp3", v));
    EXPECT_EQ(v.root, "/media/u/STICK/");
    ASSERT_TRUE(volumeOfPath(volumes, "/media/u/STICK2/x", v));
    EXPECT_EQ(v.root, "/media/u/STICK2/");
    ASSERT_TRUE(volumeOfPath(volumes, "/media/u/STICK", v));
    EXPECT_EQ(v.root, "/media/u/STICK/");
    ASSERT_TRUE(volumeOfPath(volumes, "/media/u/STICKY/x", v));
    EXPECT_EQ(v.root, "/");
    EXPECT_FALSE(volumeOfPath({}, "/x", v));
}

TEST_F(VolumesTest, SurvivesRandomBytes)
{
    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        junk.push_back(static_cast<char>(seed >> 16));
    }
    for (std::size_t cut = 0; cut < junk.size(); cut += 997) {
        const auto entries = parseMountTable(std::string_view(junk).substr(0, cut));
        for (const auto& e : entries)
            EXPECT_FALSE(e.mountPoint.empty());
        source().volumesFrom(std::string_view(junk).substr(0, cut), std::string_view(junk).substr(cut));
    }
}

}  // namespace
