// The freedesktop trash: where a file goes, what is recorded about it, and that a trash which
// cannot be used leaves the file where it was.
#include "platform/trash.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_old = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        root = dir.path().toStdString();
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    }
    void TearDown() override { setenv("XDG_DATA_HOME", m_old.c_str(), 1); }

    QTemporaryDir dir;
    std::string root;
    std::string m_old;
};

TEST_F(TrashTest, AFileGoesToTheHomeTrashWithItsOriginalPathRecorded)
{
    fs::create_directories(root + "/music");
    const std::string song = root + "/music/Моя песня.mp3";
    writeFile(song, "tune");
    std::string error;
    ASSERT_TRUE(platform::moveToTrash(song, &error)) << error;
    EXPECT_EQ(platform::homeTrashPath(), root + "/data/Trash");
    EXPECT_FALSE(fs::exists(song));
    EXPECT_EQ(readFile(root + "/data/Trash/files/Моя песня.mp3"), "tune");
    const std::string info = readFile(root + "/data/Trash/info/Моя песня.mp3.trashinfo");
    EXPECT_EQ(info.substr(0, 13), "[Trash Info]\n");
    EXPECT_NE(info.find("Path=" + root + "/music/%D0%9C%D0%BE%D1%8F%20%D0%BF%D0%B5%D1%81%D0%BD%D1%8F.mp3\n"),
              std::string::npos);
    EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((root + "/data/Trash").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // The same name again takes a slot of its own; nothing trashed before is replaced.
    writeFile(song, "second");
    ASSERT_TRUE(platform::moveToTrash(song, &error)) << error;
    EXPECT_EQ(readFile(root + "/data/Trash/files/Моя песня.mp3"), "tune");
    EXPECT_EQ(readFile(root + "/data/Trash/files/Моя песня (2).mp3"), "second");
    EXPECT_TRUE(fs::exists(root + "/data/Trash/info/Моя песня (2).mp3.trashinfo"));
}

TEST_F(TrashTest, ALinkIsTrashedAsTheLinkAndRelativePathsWork)
{
    writeFile(root + "/target.mp3", "kept");
    fs::create_symlink(root + "/target.mp3", root + "/link.mp3");
    ASSERT_TRUE(platform::moveToTrash(root + "/link.mp3"));
    EXPECT_TRUE(fs::is_symlink(root + "/data/Trash/files/link.mp3"));
    EXPECT_EQ(readFile(root + "/target.mp3"), "kept");

    const std::string before = fs::current_path().string();
    fs::current_path(root);
    writeFile(root + "/here.mp3", "x");
    const bool moved = platform::moveToTrash("here.mp3");
    fs::current_path(before);
    EXPECT_TRUE(moved);
    EXPECT_NE(readFile(root + "/data/Trash/info/here.mp3.trashinfo").find("Path=" + root + "/here.mp3\n"),
              std::string::npos);
}

TEST_F(TrashTest, FailuresLeaveTheFileAndNeverDeleteIt)
{
    std::string error;
    EXPECT_FALSE(platform::moveToTrash(root + "/missing.mp3", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(platform::moveToTrash(""));

    // A home trash that cannot be made: the file stays, and no trash appears anywhere else.
    writeFile(root + "/plainfile", "");
    setenv("XDG_DATA_HOME", (root + "/plainfile/data").c_str(), 1);
    writeFile(root + "/song.mp3", "tune");
    error.clear();
    EXPECT_FALSE(platform::moveToTrash(root + "/song.mp3", &error));
    EXPECT_NE(error.find("trash"), std::string::npos);
    EXPECT_EQ(readFile(root + "/song.mp3"), "tune");
    EXPECT_FALSE(fs::exists(root + "/files"));
    EXPECT_FALSE(fs::exists(root + "/.Trash-" + std::to_string(::getuid())));
}

TEST_F(TrashTest, AFileOnAnotherVolumeGoesToThatVolumesTrash)
{
    const std::string shm = "/dev/shm";
    struct stat a {}, b {};
    if (::stat(shm.c_str(), &a) != 0 || ::stat(root.c_str(), &b) != 0 || a.st_dev == b.st_dev ||
        ::access(shm.c_str(), W_OK) != 0)
        GTEST_SKIP() << "no second writable volume";
    const std::string trash = shm + "/.Trash-" + std::to_string(::getuid());
    const bool hadTrash = fs::exists(trash);
    QTemporaryDir other(QString::fromStdString(shm + "/qvtrash-XXXXXX"));
    ASSERT_TRUE(other.isValid());
    const std::string song = other.path().toStdString() + "/s.mp3";
    writeFile(song, "far");
    std::string error;
    ASSERT_TRUE(platform::moveToTrash(song, &error)) << error;
    // Find it by its record: the path is relative to the top of the volume.
    bool found = false;
    for (const auto& e : fs::directory_iterator(trash + "/info")) {
        const std::string info = readFile(e.path().string());
        if (info.find("Path=" + song.substr(shm.size() + 1) + "\n") == std::string::npos)
            continue;
        found = true;
        const std::string name = e.path().filename().string();
        const std::string file = trash + "/files/" + name.substr(0, name.size() - 10);
        EXPECT_EQ(readFile(file), "far");
        fs::remove(file);
        fs::remove(e.path());
    }
    EXPECT_TRUE(found);
    EXPECT_FALSE(fs::exists(root + "/data/Trash/files/s.mp3"));
    if (!hadTrash)
        fs::remove_all(trash);
}

}  // namespace
