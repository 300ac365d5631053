// Copying a file into place: contents, mode and time; an existing target kept or replaced whole;
// the file itself refused; failures leave nothing half-written behind.
#include "platform/copyfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::CopyResult;

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t entries(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(CopyFileTest, CopiesBytesModeAndTime)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    fs::create_directories(root + "/to");
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31);
    writeFile(root + "/a.mp3", big);
    ::chmod((root + "/a.mp3").c_str(), 0640);
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ::utimensat(AT_FDCWD, (root + "/a.mp3").c_str(), times, 0);
    ASSERT_EQ(platform::copyFile(root + "/a.mp3", root + "/to/a.mp3", false), CopyResult::Copied);
    EXPECT_EQ(readFile(root + "/to/a.mp3"), big);
    struct stat st {};
    ASSERT_EQ(::stat((root + "/to/a.mp3").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(entries(root + "/to"), 1u);
}

TEST(CopyFileTest, AnExistingTargetIsKeptOrReplacedWhole)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    writeFile(root + "/a.mp3", "new");
    writeFile(root + "/b.mp3", "old");
    std::string error;
    EXPECT_EQ(platform::copyFile(root + "/a.mp3", root + "/b.mp3", false, &error), CopyResult::TargetExists);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(root + "/b.mp3"), "old");
    EXPECT_EQ(platform::copyFile(root + "/a.mp3", root + "/b.mp3", true), CopyResult::Copied);
    EXPECT_EQ(readFile(root + "/b.mp3"), "new");
    fs::create_directory(root + "/dir.mp3");
    EXPECT_EQ(platform::copyFile(root + "/a.mp3", root + "/dir.mp3", true), CopyResult::TargetExists);
    EXPECT_EQ(entries(root), 3u);
}

TEST(CopyFileTest, TheFileItselfUnderAnyNameIsRefused)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    writeFile(root + "/a.mp3", "precious");
    fs::create_hard_link(root + "/a.mp3", root + "/hard.mp3");
    fs::create_symlink(root + "/a.mp3", root + "/soft.mp3");
    for (const char* target : {"/a.mp3", "/hard.mp3", "/soft.mp3", "/./a.mp3"})
        EXPECT_EQ(platform::copyFile(root + "/a.mp3", root + target, true), CopyResult::SameFile) << target;
    EXPECT_EQ(readFile(root + "/a.mp3"), "precious");
    EXPECT_EQ(entries(root), 3u);
}

TEST(CopyFileTest, FailuresLeaveNothingBehind)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    EXPECT_EQ(platform::copyFile(root + "/none.mp3", root + "/x.mp3", true), CopyResult::SourceFailed);
    fs::create_directory(root + "/folder");
    EXPECT_EQ(platform::copyFile(root + "/folder", root + "/x.mp3", true), CopyResult::SourceFailed);
    writeFile(root + "/a.mp3", "x");
    EXPECT_EQ(platform::copyFile(root + "/a.mp3", root + "/no/such/x.mp3", true), CopyResult::TargetFailed);
    EXPECT_EQ(entries(root), 2u);
}

}  // namespace
