// Per-user prefix and runtime folder: private folder, safe names, and clean-up limited to the
// current prefix.
#include "platform/objectnames.h"
#include "platform/sharedmemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
        EXPECT_EQ(sharedMemoryObjectName("a/b c"), "/.._evil_prefix.a_b_c");
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
    const std::string oursName = sharedMemoryObjectName("keep-me");
    std::string otherName;
    {
        ScopedPrefix prefix("qvt-other-prefix");
        SharedMemory other;
        ASSERT_TRUE(other.open("drop-me", 64));
        otherName = sharedMemoryObjectName("drop-me");
        EXPECT_TRUE(shmExists(otherName));
        removeNamedObjects();
        EXPECT_FALSE(shmExists(otherName));
        other.close();
    }
    EXPECT_TRUE(shmExists(oursName));
}
