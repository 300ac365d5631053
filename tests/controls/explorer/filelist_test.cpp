// Listing drives and folders into records, type names and the per-extension icon cache.
#include "controls/zrexplorerunit.h"
#include "controls/zrfileobject.h"
#include "fakedrives.h"
#include "platform/shellicons.h"

#include <cmath>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace controls;

std::vector<std::string> names(const TFileList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]->Name);
    return out;
}

TEST(ListFolderTest, FoldersFirstThenFilesByNameWithoutCaseAndNoDotNames)
{
    FakeDrives drives;
    drives.makeFolder("d");
    drives.makeFolder("B");
    drives.makeFolder(".config");
    drives.writeFile("c.mp3");
    drives.writeFile("a.wav");
    drives.writeFile("C2.txt");
    drives.writeFile(".hidden.mp3");

    TFileList list;
    ASSERT_TRUE(list.ListFolder(drives.driveRoot(), kListFolders | kListFiles));
    EXPECT_EQ(names(list), (std::vector<std::string>{"B", "d", "a.wav", "c.mp3", "C2.txt"}));
    EXPECT_EQ(list[0]->Path, "B");
    EXPECT_EQ(list[0]->DriveType, -1);
    EXPECT_EQ(list[0]->ImageIndex, ExplorerIconIndexes().FolderClosed);
    EXPECT_EQ(list[2]->ImageIndex, -1);
    EXPECT_TRUE(list[0]->Attributes & platform::kAttrDirectory);

    ASSERT_TRUE(list.ListFolder(drives.driveRoot(), kListFolders));
    EXPECT_EQ(names(list), (std::vector<std::string>{"B", "d"}));
    ASSERT_TRUE(list.ListFolder(drives.driveRoot(), kListFiles));
    EXPECT_EQ(names(list), (std::vector<std::string>{"a.wav", "c.mp3", "C2.txt"}));
    ASSERT_TRUE(list.ListFolder(drives.driveRoot() + "B/", kListFiles));
    EXPECT_EQ(list.Count(), 0);  // an empty folder lists fine
}

TEST(ListFolderTest, SizesAndDates)
{
    FakeDrives drives;
    const std::string big = drives.driveRoot() + "big.wav";
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(5) << 30), 0);
    ::close(fd);
    TFileList list;
    ASSERT_TRUE(list.ListFolder(drives.driveRoot(), kListFiles));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0]->Size, 5368709120.0);
    EXPECT_EQ(list[0]->FreeSpace, 0);
    const double secondsOfDay = (list[0]->Modified - static_cast<long>(list[0]->Modified)) * 86400.0;
    EXPECT_NEAR(std::fmod(secondsOfDay + 0.01, 2.0), 0.01, 0.02);  // whole even seconds
    EXPECT_GT(list[0]->Modified, 40000);  // a date after 2009
}

TEST(ListFolderTest, DriveWithoutMediumListsNothing)
{
    FakeDrives drives;
    drives.writeFile("../stick/left-over.mp3");  // the empty mount point holds a file, yet no medium
    TFileList list;
    EXPECT_FALSE(list.ListFolder(drives.stickRoot(), kListFolders | kListFiles));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.ListFolder(drives.base() + "/elsewhere/", kListFolders));  // on no drive at all
}

TEST(ListDrivesTest, RemovableDrivesAreProbedOnlyOnRequest)
{
    FakeDrives drives;
    TFileList list;
    list.ListDrives(false);
    ASSERT_EQ(list.Count(), 2);
    TFileObject* drive = list[0];
    TFileObject* stick = list[1];
    EXPECT_EQ(drive->Path, drives.driveRoot());
    EXPECT_EQ(drive->Name, "drive");
    EXPECT_EQ(drive->DriveType, platform::kDriveFixed);
    EXPECT_EQ(drive->TypeName, "Локальный диск");
    EXPECT_GT(drive->Size, 0);
    EXPECT_TRUE(drive->Attributes & platform::kAttrDirectory);
    EXPECT_EQ(stick->Path, drives.stickRoot());
    EXPECT_EQ(stick->DriveType, platform::kDriveRemovable);
    EXPECT_EQ(stick->TypeName, "Съемный диск");
    EXPECT_EQ(stick->Size, 0);
    EXPECT_EQ(stick->FreeSpace, 0);
    EXPECT_EQ(stick->Attributes, 0);
    EXPECT_EQ(stick->ImageIndex, ExplorerIconIndexes().Disk525);
    EXPECT_EQ(drive->Modified, 0);
    EXPECT_FALSE(drive->Watcher);

    EXPECT_EQ(DriveTypeName(platform::kDriveRamDisk), "Виртуальный диск");
    EXPECT_EQ(DriveTypeName(platform::kDriveCdrom), "Компакт-диск");
    EXPECT_EQ(DriveTypeName(platform::kDriveRemote), "Сетевой диск");
    EXPECT_EQ(DriveTypeName(1), "Неизвестный тип");
}

TEST(ListDrivesTest, TakenRecordsLeaveAnEmptySlot)
{
    FakeDrives drives;
    TFileList list;
    list.ListDrives(true);
    ASSERT_EQ(list.Count(), 2);
    std::unique_ptr<TFileObject> kept = list.Take(0);
    EXPECT_EQ(list[0], nullptr);
    list.SortEntries();  // copes with the empty slot
    list.DeleteEntry(0);
    list.DeleteEntry(5);
    list.Clear();
    EXPECT_EQ(kept->Path, drives.driveRoot());
}

TEST(ListFolderTest, AudioDiscShowsItsTracks)
{
    AudioDiscVolumes disc({{1, 2352u * 75 * 180}, {2, 2352u * 75 * 200}, {12, 2352u * 75}});
    platform::setVolumeSource(&disc);
    TFileList list;
    EXPECT_TRUE(list.ListFolder("/dev/sr0/", kListFolders));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.ListFolder("/dev/sr0/", kListFiles));
    EXPECT_EQ(names(list), (std::vector<std::string>{"Track01.cda", "Track02.cda", "Track12.cda"}));
    EXPECT_EQ(list[0]->Size, 2352.0 * 75 * 180);
    platform::setVolumeSource(nullptr);
}

TEST(ExplorerUnitTest, TypeNamesFallBackToTheExtension)
{
    EXPECT_EQ(FileTypeName(".qqzx"), "Файл QQZX");
    EXPECT_EQ(FileTypeName("qqzx"), "Файл QQZX");
    EXPECT_EQ(FileTypeName(""), "Файл ");
    EXPECT_NE(FileTypeName(".mp3").rfind("Файл", 0), 0u);
    EXPECT_NE(FileTypeName("Directory"), "");
}

TEST(ExplorerUnitTest, IconCacheAsksOncePerExtension)
{
    const int start = FileIconLookups();
    const int mp3 = FileIconIndex("/x/a.mp3");
    EXPECT_EQ(FileIconIndex("/y/B.MP3"), mp3);
    EXPECT_EQ(FileIconLookups(), start + 1);
    FileIconIndex("/x/a.EXE");
    FileIconIndex("/x/b.exe");
    EXPECT_EQ(FileIconLookups(), start + 3);  // their icons differ per file
    // ".3" is a suffix of ".mp3" but a type of its own.
    const int manPage = FileIconIndex("/x/ls.3");
    EXPECT_EQ(FileIconLookups(), start + 4);
    EXPECT_NE(manPage, mp3);
    const int noExtension = FileIconIndex("/x.d/README");
    EXPECT_EQ(FileIconIndex("/y/LICENSE"), noExtension);
    EXPECT_EQ(FileIconLookups(), start + 5);
}

TEST(ExplorerUnitTest, DriveProbes)
{
    FakeDrives drives;
    EXPECT_TRUE(DriveHasMedium(drives.driveRoot()));
    EXPECT_FALSE(DriveHasMedium(drives.stickRoot()));
    EXPECT_FALSE(DriveHasMedium(drives.driveRoot() + "sub/"));  // not a drive root
    EXPECT_GT(DiskTotalBytes(drives.driveRoot()), 0);
    EXPECT_GE(DiskTotalBytes(drives.driveRoot()), DiskFreeBytes(drives.driveRoot()));
    EXPECT_EQ(DiskTotalBytes(drives.stickRoot()), 0);
    EXPECT_EQ(DiskFreeBytes(drives.stickRoot()), 0);
}

}  // namespace
