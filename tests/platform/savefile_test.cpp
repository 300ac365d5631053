// Checked saves: on a full disk the old file stays and the failure is reported (the shared
// helper, ini files and the registry store on a small tmpfs); what a save keeps of the file it
// replaces (permissions, a link).
#include "platform/inifile.h"
#include "platform/registry.h"
#include "platform/savefile.h"
#include "tests/common/smalldisk.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testrun::readFile;
using testrun::writeFile;

namespace {

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FullDisk : public ::testing::Test {
protected:
    testrun::SmallDisk disk{256 * 1024};
    const std::string oldText = "[Options]\r\nClose=0\r\nFormWidth=640\r\nFormHeight=480\r\nID_A=commercial\r\n";
};

TEST_F(FullDisk, ASaveThatDoesNotFitLeavesTheOldFileAndSaysWhy)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string target = disk.file("Default.prf");
    writeFile(target, oldText);
    disk.fill();
    std::string error;
    EXPECT_FALSE(saveFile(target, std::string(5000, 'x'), &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(readFile(target), oldText);

    // Some room, not enough: the part that fitted is thrown away, not renamed over the old file.
    std::filesystem::remove(disk.file("filler-0"));
    disk.fillLeaving(16 * 1024);
    SaveFile save(target);
    ASSERT_TRUE(save.open());
    const std::string block(8192, 'y');
    bool wrote = true;
    for (int i = 0; i < 8 && wrote; ++i)
        wrote = save.write(block);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(save.write("more")) << "nothing is written after a failure";
    EXPECT_FALSE(save.commit());
    EXPECT_EQ(save.error(), "No space left on device");
    EXPECT_EQ(readFile(target), oldText);
    // No temporary file is left to take the little room there is.
    EXPECT_EQ(entries(disk.path()), (std::vector<std::string>{"Default.prf", "filler-1"}));

    // With room again the same save goes through.
    std::filesystem::remove(disk.file("filler-1"));
    EXPECT_TRUE(saveFile(target, std::string(60000, 'z'), &error));
    EXPECT_EQ(readFile(target), std::string(60000, 'z'));
}

TEST_F(FullDisk, IniFlushReportsTheFullDiskAndKeepsTheFile)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string target = disk.file("player.ini");
    writeFile(target, oldText);
    IniFile ini(target, IniFile::Mode::Buffered);
    for (int i = 0; i < 400; ++i)
        ini.writeString("Big", "Key" + std::to_string(i), std::string(100, 'v'));
    disk.fillLeaving(8192);
    EXPECT_FALSE(ini.flush());
    EXPECT_EQ(ini.lastError(), "No space left on device");
    EXPECT_EQ(readFile(target), oldText);
    // A write-through change reports it as well; memory keeps the value for a later flush.
    IniFile direct(target);
    EXPECT_FALSE(direct.writeString("Big", "Huge", std::string(30000, 'w')));
    EXPECT_EQ(readFile(target), oldText);
}

TEST_F(FullDisk, RegistryStoreKeepsItsValues)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string store = disk.file("config/registry.ini");
    setenv("QUORVALEN_REGISTRY_FILE", store.c_str(), 1);
    ASSERT_TRUE(Registry::writeInteger(RegistryRoot::CurrentUser, "Software\\Quorvalen\\PosData", "Left", 120));
    const std::string before = readFile(store);
    disk.fill();
    EXPECT_FALSE(Registry::writeString(RegistryRoot::CurrentUser, "Software\\Quorvalen\\PosData", "Name",
                                       std::string(1500, 'n')));
    EXPECT_EQ(readFile(store), before);
    EXPECT_EQ(Registry::readInteger(RegistryRoot::CurrentUser, "Software\\Quorvalen\\PosData", "Left"), 120);
    unsetenv("QUORVALEN_REGISTRY_FILE");
}

class SaveFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return m_dir.path().toStdString() + "/" + name; }
    QTemporaryDir m_dir;
};

TEST_F(SaveFileTest, APermissionsOfTheReplacedFileStayANewFileFollowsTheUmask)
{
    writeFile(path("shared.ini"), "old");
    ::chmod(path("shared.ini").c_str(), 0640);
    ASSERT_TRUE(saveFile(path("shared.ini"), "new"));
    EXPECT_EQ(readFile(path("shared.ini")), "new");
    EXPECT_EQ(modeOf(path("shared.ini")), 0640u);

    const mode_t old = ::umask(027);
    const bool saved = saveFile(path("fresh.ini"), "x");
    ::umask(old);
    ASSERT_TRUE(saved);
    EXPECT_EQ(modeOf(path("fresh.ini")), 0640u);

    // A mode asked for holds whatever the file had before.
    ::chmod(path("shared.ini").c_str(), 0666);
    ASSERT_TRUE(saveFile(path("shared.ini"), "private", nullptr, 0600));
    EXPECT_EQ(modeOf(path("shared.ini")), 0600u);
}

TEST_F(SaveFileTest, ALinkStaysALinkAndItsTargetIsSaved)
{
    std::filesystem::create_directory(path("real"));
    writeFile(path("real/Default.prf"), "old");
    std::filesystem::create_symlink(path("real/Default.prf"), path("Default.prf"));
    ASSERT_TRUE(saveFile(path("Default.prf"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(path("Default.prf")));
    EXPECT_EQ(readFile(path("real/Default.prf")), "new");
}

TEST_F(SaveFileTest, WhatCannotBeReplacedIsReportedAndLeftAlone)
{
    std::string error;
    EXPECT_FALSE(saveFile(path("no such folder/a.ini"), "x", &error));
    EXPECT_FALSE(error.empty());
    std::filesystem::create_directory(path("folder.ini"));
    EXPECT_FALSE(saveFile(path("folder.ini"), "x", &error));
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.ini")));
    // A save given up before its commit leaves neither the target nor a temporary file.
    {
        SaveFile save(path("dropped.ini"));
        ASSERT_TRUE(save.open());
        ASSERT_TRUE(save.write("half"));
    }
    EXPECT_EQ(entries(m_dir.path().toStdString()), std::vector<std::string>{"folder.ini"});
}

TEST_F(SaveFileTest, LeftoversOfInterruptedSavesGoWhateverTheirAgeAndNothingElse)
{
    const std::string folder = m_dir.path().toStdString();
    // A save running now, in this program or another: its temporary file stays.
    SaveFile running(path("Default.prf"));
    ASSERT_TRUE(running.open());
    ASSERT_TRUE(running.write("half"));
    const std::vector<std::string> temp = entries(folder);
    ASSERT_EQ(temp.size(), 1u);
    EXPECT_TRUE(isSaveTempName(temp[0])) << temp[0];

    // Left by a writer killed a moment ago and by one long ago (nothing holds either), and names
    // that only look alike.
    writeFile(path(".Base.dfs.Fr35hQ"), "left just now");
    const auto old = std::filesystem::file_time_type::clock::now() - kStaleTempAge - std::chrono::minutes(1);
    for (const char* name : {".Base.dfs.k3Jx9Q", ".Default.prf.backup~", "Default.prf.k3Jx9Q", ".Default.prf.k3Jx9",
                             ".k3Jx9Q"}) {
        writeFile(path(name), "left");
        std::filesystem::last_write_time(path(name), old);
    }
    std::filesystem::create_directory(path(".Notes.txt.Ab12Cd"));
    std::filesystem::last_write_time(path(".Notes.txt.Ab12Cd"), old);

    EXPECT_EQ(removeStaleSaveFiles(folder), 2);
    EXPECT_FALSE(std::filesystem::exists(path(".Base.dfs.Fr35hQ")));
    EXPECT_FALSE(std::filesystem::exists(path(".Base.dfs.k3Jx9Q")));
    EXPECT_TRUE(running.commit());
    EXPECT_EQ(readFile(path("Default.prf")), "half");
    EXPECT_EQ(entries(folder), (std::vector<std::string>{".Default.prf.backup~", ".Default.prf.k3Jx9",
                                                         ".Notes.txt.Ab12Cd", ".k3Jx9Q", "Default.prf",
                                                         "Default.prf.k3Jx9Q"}));
}

TEST_F(SaveFileTest, TheRegistryStoreIsTheUsersAlone)
{
    const std::string store = path("config/quorvalen/registry.ini");
    setenv("QUORVALEN_REGISTRY_FILE", store.c_str(), 1);
    const mode_t old = ::umask(022);
    const bool written = Registry::writeString(RegistryRoot::CurrentUser, "Software\\Quorvalen", "Last", "/music");
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(store), 0600u);
    EXPECT_EQ(modeOf(path("config/quorvalen")), 0700u);
    // A store left readable by an older version is closed at the next save.
    ::chmod(store.c_str(), 0644);
    ASSERT_TRUE(Registry::writeInteger(RegistryRoot::CurrentUser, "Software\\Quorvalen", "Top", 5));
    EXPECT_EQ(modeOf(store), 0600u);
    unsetenv("QUORVALEN_REGISTRY_FILE");
}

}  // namespace
