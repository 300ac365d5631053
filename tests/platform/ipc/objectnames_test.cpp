// Per-user prefix and runtime folder: private folder, safe names, and clean-up limited to the
// current prefix.
#include "platform/ipc_registry.h"
#include "platform/namedmutex.h"
#include "platform/objectnames.h"
#include "platform/sharedmemory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Sets QUORVALEN_PREFIX for one scope and puts the old value back.
class ScopedPrefix {
public:
    explicit ScopedPrefix(const char* prefix)
    {
        if (const char* old = std::getenv("QUORVALEN_PREFIX"))
            m_old = old;
        setenv("QUORVALEN_PREFIX", prefix, 1);
    }
    ~ScopedPrefix() { setenv("QUORVALEN_PREFIX", m_old.c_str(), 1); }

private:
    std::string m_old;
};

// Sets an environment variable for one scope (unset when value is null) and puts the old one back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

std::string readLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool shmExists(const std::string& name)
{
    const int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

}  // namespace

TEST(ObjectNames, PrefixIsSanitisedAndTheFolderIsPrivate)
{
    {
        ScopedPrefix prefix("../evil/prefix");
        EXPECT_EQ(objectPrefix(), ".._evil_prefix");
        const std::string folder = runtimeFolder();
        ASSERT_FALSE(folder.empty());
        EXPECT_NE(folder.find("/.._evil_prefix/"), std::string::npos);
        struct stat st {};
        ASSERT_EQ(stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(sharedMemoryObjectName("a/b c", "t"), "/.._evil_prefix.t.a_b_c");
        removeNamedObjects();
    }
    {
        ScopedPrefix prefix("");
        EXPECT_EQ(objectPrefix(), "quorvalen-" + std::to_string(getuid())) << "empty means the default";
    }
}

TEST(ObjectNames, RemovingObjectsTouchesOnlyTheCurrentPrefix)
{
    SharedMemory ours;
    ASSERT_TRUE(ours.open("keep-me", 64));
    const std::string oursName = sharedMemoryObjectName("keep-me", sharedMemoryToken("keep-me"));
    std::string otherName;
    {
        ScopedPrefix prefix("qvt-other-prefix");
        SharedMemory other;
        ASSERT_TRUE(other.open("drop-me", 64));
        otherName = sharedMemoryObjectName("drop-me", sharedMemoryToken("drop-me"));
        EXPECT_TRUE(shmExists(otherName));
        removeNamedObjects();
        EXPECT_FALSE(shmExists(otherName));
        other.close();
    }
    EXPECT_TRUE(shmExists(oursName));
}

// Another local user who made the usual runtime folder first (as a folder of theirs, or a link to
// one) cannot take the named objects away: a fresh private folder is used instead and recorded
// beside the user's settings, where the other program finds the same one.
class SquattedRuntimeFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        usual = tmp.path().toStdString() + "/quorvalen-" + std::to_string(getuid());
        record = tmp.path().toStdString() + "/config/quorvalen/runtime-folder";
    }
    // What another program started now would find (the environment is read afresh).
    std::string freshLook()
    {
        ScopedEnv other("XDG_RUNTIME_DIR", "not absolute");
        return runtimeFolder();
    }
    void expectWorkingObjectsIn(const std::string& folder)
    {
        SharedMemory area;
        ASSERT_TRUE(area.open("SHARED_DATA_FILE", 4096));
        EXPECT_TRUE(std::filesystem::exists(folder + "shm.SHARED_DATA_FILE.guard"));
        NamedMutex mutex("single");
        EXPECT_TRUE(mutex.owned());
        EXPECT_TRUE(std::filesystem::exists(folder + "mutex.single"));
        ipc::WindowRecord record{ipc::allocateHandle(), getpid(), ipc::processStartTime(getpid()), "TForm1", "Quorvalen"};
        EXPECT_TRUE(ipc::writeWindowRecord(record));
        EXPECT_TRUE(ipc::readWindowRecord(record.handle).has_value());
        ipc::removeWindowRecord(record.handle);
        EXPECT_FALSE(ipc::socketPath(getpid()).empty());
        EXPECT_EQ(ipc::socketPath(getpid()).rfind(folder, 0), 0u);
    }

    QTemporaryDir tmp;
    ScopedEnv noSession{"XDG_RUNTIME_DIR", nullptr};
    ScopedEnv tmpDir{"TMPDIR", tmp.path().toUtf8().constData()};
    ScopedEnv config{"XDG_CONFIG_HOME", (tmp.path() + "/config").toUtf8().constData()};
    ScopedPrefix prefix{"qvt-squat"};
    std::string usual;
    std::string record;
};

TEST_F(SquattedRuntimeFolder, AFolderOfAnotherUserIsPassedOver)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a folder of another user needs root";
    ASSERT_EQ(mkdir(usual.c_str(), 0777), 0);
    ASSERT_EQ(chown(usual.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(usual.c_str(), 0777), 0);

    const std::string folder = runtimeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.rfind(usual + "-", 0), 0u) << folder;
    const std::string base = folder.substr(0, folder.size() - std::string("qvt-squat/").size() - 1);
    EXPECT_EQ(modeOf(base), 0700u);
    EXPECT_EQ(readLine(record), base);
    EXPECT_EQ(modeOf(record), 0600u);
    EXPECT_EQ(freshLook(), folder) << "the other program finds the same folder";
    expectWorkingObjectsIn(folder);
    EXPECT_TRUE(std::filesystem::is_empty(usual)) << "nothing of ours went into the other user's folder";
    removeNamedObjects();
}

TEST_F(SquattedRuntimeFolder, ALinkIsPassedOverAndARecordThatNoLongerHoldsIsReplaced)
{
    ASSERT_TRUE(std::filesystem::create_directory(tmp.path().toStdString() + "/elsewhere"));
    std::filesystem::create_directory_symlink(tmp.path().toStdString() + "/elsewhere", usual);

    const std::string first = runtimeFolder();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.rfind(usual + "-", 0), 0u) << first;
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path().toStdString() + "/elsewhere"));
    expectWorkingObjectsIn(first);

    // The recorded folder opened to others (or gone): a new one is made and recorded.
    const std::string base = readLine(record);
    ASSERT_EQ(chmod(base.c_str(), 0755), 0);
    const std::string second = freshLook();
    ASSERT_FALSE(second.empty());
    EXPECT_NE(second, first);
    EXPECT_EQ(second.rfind(readLine(record), 0), 0u);
    ASSERT_EQ(chmod(base.c_str(), 0700), 0);
    removeNamedObjects();
    std::filesystem::remove_all(base);
}

TEST_F(SquattedRuntimeFolder, ASessionFolderTooLongForALocalSocketIsPassedOverToo)
{
    // 108 bytes is all a local socket's name may hold, its closing zero included.
    const std::string session = tmp.path().toStdString() + "/" + std::string(100, 's');
    ASSERT_EQ(mkdir(session.c_str(), 0700), 0);
    ScopedEnv longSession("XDG_RUNTIME_DIR", session.c_str());

    const std::string folder = runtimeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.rfind(session, 0), 0u) << folder;
    expectWorkingObjectsIn(folder);
    removeNamedObjects();
}

// /dev/shm is open to every user: the names carry a random part kept in the private folder, drawn
// afresh for every new area, so a name seen while an area lived says nothing of the next one.
TEST(SharedMemoryNames, CarryATokenNobodyElseCanKnow)
{
    ScopedPrefix prefix("qvt-token");
    EXPECT_EQ(sharedMemoryToken("SHARED_DATA_FILE"), "");
    const std::string token = drawSharedMemoryToken("SHARED_DATA_FILE");
    ASSERT_EQ(token.size(), 16u);
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(sharedMemoryToken("SHARED_DATA_FILE"), token);
    EXPECT_EQ(sharedMemoryToken("QuorvalenCommandLine__1"), "") << "one token per area";
    EXPECT_EQ(modeOf(runtimeFolder() + "shm.SHARED_DATA_FILE.token"), 0600u);
    EXPECT_EQ(sharedMemoryObjectName("SHARED_DATA_FILE", token), "/qvt-token." + token + ".SHARED_DATA_FILE");
    EXPECT_LE(sharedMemoryObjectName(std::string(300, 'n'), token).size(), 256u);
    EXPECT_NE(drawSharedMemoryToken("SHARED_DATA_FILE"), token);
    removeNamedObjects();
}
