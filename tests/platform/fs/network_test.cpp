// Network families, servers and shares from the mounted network file systems, and the icon list.
#include "platform/networkresources.h"
#include "platform/shellicons.h"
#include "platform/volumes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace platform;

// A volume source with a fixed list, for tests that do not care how it was read.
class ListedVolumes : public VolumeSource {
public:
    explicit ListedVolumes(std::vector<Volume> volumes) : m_volumes(std::move(volumes)) {}
    std::vector<Volume> volumes() override { return m_volumes; }
    bool hasMedium(const Volume& v) override { return v.mounted; }
    bool diskSpace(const Volume&, DiskSpace& space) override
    {
        space = {};
        return false;
    }
    std::vector<AudioTrack> audioTracks(const Volume&) override { return {}; }

private:
    std::vector<Volume> m_volumes;
};

Volume network(const std::string& root, const std::string& device, const std::string& fsType)
{
    Volume v;
    v.root = root;
    v.device = device;
    v.fsType = fsType;
    v.driveType = kDriveRemote;
    v.mounted = true;
    return v;
}

class NetworkTest : public ::testing::Test {
protected:
    void TearDown() override { setVolumeSource(nullptr); }
};

TEST_F(NetworkTest, FamiliesThenServersThenSharesAtTheirMountPoints)
{
    Volume local;
    local.root = "/";
    local.driveType = kDriveFixed;
    local.mounted = true;
    ListedVolumes volumes({local, network("/mnt/music/", "srv:/export/music", "nfs4"),
                           network("/mnt/jingles/", "srv:/export/jingles/", "nfs"),
                           network("/mnt/office/", "//fileserver/Office", "cifs"),
                           network("/mnt/other/", "nas:/x", "nfs")});
    setVolumeSource(&volumes);
    EXPECT_TRUE(networkAvailable());

    const auto families = enumerateNetwork(nullptr);
    ASSERT_EQ(families.size(), 2u);
    EXPECT_EQ(families[0].remoteName, "NFS");
    EXPECT_EQ(families[0].displayType, kNetDisplayNetwork);
    EXPECT_EQ(families[1].remoteName, "SMB");

    const auto servers = enumerateNetwork(&families[0]);
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].remoteName, "//srv");
    EXPECT_EQ(servers[0].displayType, kNetDisplayServer);
    EXPECT_EQ(servers[1].remoteName, "//nas");

    const auto shares = enumerateNetwork(&servers[0]);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[0].remoteName, "//srv/export/music");
    EXPECT_EQ(shares[0].localName, "/mnt/music/");
    EXPECT_EQ(shares[0].displayType, kNetDisplayShare);
    EXPECT_EQ(shares[1].remoteName, "//srv/export/jingles");
    EXPECT_EQ(shares[1].localName, "/mnt/jingles/");

    const auto smbServers = enumerateNetwork(&families[1]);
    ASSERT_EQ(smbServers.size(), 1u);
    const auto smbShares = enumerateNetwork(&smbServers[0]);
    ASSERT_EQ(smbShares.size(), 1u);
    EXPECT_EQ(smbShares[0].remoteName, "//fileserver/Office");
    EXPECT_TRUE(enumerateNetwork(&smbShares[0]).empty());  // a share's content is its folder
}

TEST_F(NetworkTest, NothingMountedMeansNoNetwork)
{
    Volume local;
    local.root = "/";
    local.driveType = kDriveFixed;
    local.mounted = true;
    ListedVolumes volumes({local});
    setVolumeSource(&volumes);
    EXPECT_FALSE(networkAvailable());
    EXPECT_TRUE(enumerateNetwork(nullptr).empty());
}

TEST(ShellIconsTest, ListIsAppendOnlyWithTheGenericFileFirst)
{
    EXPECT_EQ(ShellIcons::nameAt(0), "text-x-generic");
    const int before = ShellIcons::count();
    const int folder = ShellIcons::indexOf("folder");
    const int test = ShellIcons::indexOf("x-test-icon-unlikely");
    EXPECT_EQ(ShellIcons::indexOf("folder"), folder);
    EXPECT_EQ(ShellIcons::indexOf("x-test-icon-unlikely"), test);
    EXPECT_GE(ShellIcons::count(), before);
    EXPECT_EQ(ShellIcons::nameAt(test), "x-test-icon-unlikely");
    EXPECT_FALSE(ShellIcons::icon(folder).isNull());  // theme or the style's fallback
    EXPECT_TRUE(ShellIcons::icon(-1).isNull());
    EXPECT_TRUE(ShellIcons::icon(ShellIcons::count()).isNull());
}

TEST(ShellIconsTest, IconsByKindAndTypeNames)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(ShellIcons::nameAt(systemIconIndex(folder, false)), "folder");
    EXPECT_EQ(ShellIcons::nameAt(systemIconIndex(folder, true)), "folder-open");
    EXPECT_NE(systemIconIndex(folder + "/a.mp3", false), systemIconIndex(folder + "/a.ico", false));
    EXPECT_EQ(systemIconIndex(folder + "/a.unknownextzz", false), 0);
    EXPECT_EQ(systemIconIndex("", false), 0);

    EXPECT_FALSE(mimeTypeName(".mp3").empty());
    EXPECT_FALSE(mimeTypeName("Directory").empty());
    EXPECT_EQ(mimeTypeName(".unknownextzz"), "");
    EXPECT_EQ(mimeTypeName(""), "");

    EXPECT_EQ(specialFolderName(kFolderDesktop), "Рабочий стол");
    EXPECT_EQ(specialFolderName(kFolderComputer), "Мой компьютер");
    EXPECT_EQ(specialFolderName(kFolderNetwork), "Сеть");
    EXPECT_EQ(specialFolderName(5), "");
    EXPECT_NE(specialFolderIcon(kFolderComputer), specialFolderIcon(kFolderDesktop));
}

TEST(ShellIconsTest, DisplayNamesOfRootsAndPaths)
{
    Volume stick;
    stick.root = "/media/u/STICK/";
    stick.displayName = "STICK";
    stick.driveType = kDriveRemovable;
    ListedVolumes volumes({stick});
    setVolumeSource(&volumes);
    EXPECT_EQ(shellDisplayName("/media/u/STICK/"), "STICK");
    EXPECT_EQ(ShellIcons::nameAt(systemIconIndex("/media/u/STICK/", false)), "drive-removable-media");
    EXPECT_EQ(shellDisplayName("/media/u/STICK/Music/"), "Music");
    EXPECT_EQ(shellDisplayName("/media/u/STICK/Music/a.mp3"), "a.mp3");
    setVolumeSource(nullptr);
}

}  // namespace
