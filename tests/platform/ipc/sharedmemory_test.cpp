// Named shared memory: zero-filled creation, one area for all holders, removal by the last
// holder, crash leftovers zeroed, the same bytes seen by another process, and a full /dev/shm.
#include "ipc_testsupport.h"

#include "platform/objectnames.h"
#include "platform/sharedmemory.h"
#include "tests/common/smalldisk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using namespace ipctest;

namespace {

bool allZero(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

}  // namespace

TEST(SharedMemory, HoldersShareOneZeroFilledAreaUntilTheLastCloses)
{
    SharedMemory first;
    EXPECT_FALSE(first.open("QuorvalenCommandLine__1", 0));
    ASSERT_TRUE(first.open("QuorvalenCommandLine__1", 1026));
    EXPECT_FALSE(first.alreadyExisted());
    EXPECT_EQ(first.size(), 1026u);
    EXPECT_TRUE(allZero(first.data(), 1026));

    SharedMemory second;
    ASSERT_TRUE(second.open("QuorvalenCommandLine__1", 1026));
    EXPECT_TRUE(second.alreadyExisted());
    std::memcpy(static_cast<char*>(first.data()) + 513, "list", 5);
    EXPECT_STREQ(static_cast<const char*>(second.data()) + 513, "list");

    first.close();
    EXPECT_STREQ(static_cast<const char*>(second.data()) + 513, "list") << "still held by the second";
    SharedMemory third;
    ASSERT_TRUE(third.open("QuorvalenCommandLine__1", 1026));
    EXPECT_TRUE(third.alreadyExisted());
    EXPECT_STREQ(static_cast<const char*>(third.data()) + 513, "list");
    third.close();
    second.close();

    SharedMemory again;
    ASSERT_TRUE(again.open("QuorvalenCommandLine__1", 1026));
    EXPECT_FALSE(again.alreadyExisted());
    EXPECT_TRUE(allZero(again.data(), 1026)) << "the last holder removed the old area";
}

TEST(SharedMemory, AFullDevShmRefusesTheAreaInsteadOfFailingAtAWriteIntoIt)
{
    testrun::FullSharedMemory full;
    QV_NEED_FULL_SHARED_MEMORY(full);
    SharedMemory area;
    if (area.open("SHARED_DATA_FILE", 6360424)) {
        // Without its pages reserved, this is where a program dies of SIGBUS.
        std::memset(area.data(), 1, area.size());
        FAIL() << "an area was made on a full /dev/shm";
    }
    EXPECT_EQ(area.lastError(), std::strerror(ENOSPC));
    EXPECT_FALSE(area.isOpen());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"filler"}) << "the object that could not be filled was left behind";
}

TEST(SharedMemory, CrashLeftoverIsRemovedAndTheAreaStartsAsZeros)
{
    // An object left by a program that died while holding it: no holder lock, old bytes.
    const std::string name = sharedMemoryObjectName("leftover", drawSharedMemoryToken("leftover"));
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 64), 0);
    ASSERT_EQ(pwrite(fd, "stale bytes", 11, 0), 11);
    ::close(fd);

    SharedMemory area;
    ASSERT_TRUE(area.open("leftover", 4096));
    EXPECT_FALSE(area.alreadyExisted());
    EXPECT_TRUE(allZero(area.data(), 4096));
    EXPECT_LT(shm_open(name.c_str(), O_RDONLY, 0), 0) << "the leftover is gone";
}

// /dev/shm is shared by every user: an area that another user made under our name, while it
// looks held, is refused rather than read and written.
TEST(SharedMemory, AreaOfAnotherUserIsRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a file of another user needs root";
    const std::string holders = runtimeFolder() + "shm." + safeObjectName("foreign") + ".holders";
    const int holderFd = ::open(holders.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(holderFd, 0);
    ASSERT_EQ(flock(holderFd, LOCK_SH), 0);  // someone seems to hold it: it is not cleared away
    const std::string name = sharedMemoryObjectName("foreign", drawSharedMemoryToken("foreign"));
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchown(fd, 65534, 65534), 0);
    ASSERT_EQ(ftruncate(fd, 4096), 0);
    ::close(fd);

    SharedMemory area;
    EXPECT_FALSE(area.open("foreign", 4096));
    EXPECT_EQ(area.data(), nullptr);
    shm_unlink(name.c_str());
    ::close(holderFd);
}

// Another local user who saw the area's name in /dev/shm while it lived makes objects under it
// (and under the name without its random part) once it is gone: the next area is ours anyway.
TEST(SharedMemory, ObjectsMadeByAnotherUserUnderSeenNamesTakeNothingAway)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as a second user needs root";
    std::string seen;
    {
        SharedMemory area;
        ASSERT_TRUE(area.open("QuorvalenCommandLine__1", 1026));
        seen = sharedMemoryObjectName("QuorvalenCommandLine__1", sharedMemoryToken("QuorvalenCommandLine__1"));
    }
    const std::string bare = sharedMemoryObjectName("QuorvalenCommandLine__1", "");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int made = 0;
        if (setgid(65534) == 0 && setuid(65534) == 0) {
            for (const std::string& name : {seen, bare}) {
                const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
                made += fd >= 0 && ftruncate(fd, 1026) == 0;
            }
        }
        _exit(made == 2 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the second user could not make the objects";

    SharedMemory area;
    EXPECT_TRUE(area.open("QuorvalenCommandLine__1", 1026));
    EXPECT_FALSE(area.alreadyExisted());
    EXPECT_NE(sharedMemoryObjectName("QuorvalenCommandLine__1", sharedMemoryToken("QuorvalenCommandLine__1")), seen);
    SharedMemory second;
    EXPECT_TRUE(second.open("QuorvalenCommandLine__1", 1026)) << "the other program meets it";
    EXPECT_TRUE(second.alreadyExisted());
    shm_unlink(seen.c_str());
    shm_unlink(bare.c_str());
}

TEST(SharedMemory, LargerSizeThanTheHolderUsesGrowsTheArea)
{
    SharedMemory small;
    ASSERT_TRUE(small.open("growing", 100));
    static_cast<char*>(small.data())[10] = 'x';
    SharedMemory large;
    ASSERT_TRUE(large.open("growing", 1 << 20));
    EXPECT_EQ(static_cast<char*>(large.data())[10], 'x');
    static_cast<char*>(large.data())[(1 << 20) - 1] = 'y';  // would fault if not grown
    EXPECT_EQ(static_cast<char*>(large.data())[(1 << 20) - 1], 'y');
}

TEST(SharedMemory, AnotherProcessReadsAndWritesTheSameBytes)
{
    constexpr std::size_t kSize = 6360424;  // the search area: 15,001 slots of 424 bytes
    PeerProcess peer;
    ASSERT_TRUE(peer.start({"shm", "SHARED_DATA_FILE", QString::number(kSize), "11", "22"}));
    EXPECT_EQ(peer.readyValue(), "created");

    SharedMemory area;
    ASSERT_TRUE(area.open("SHARED_DATA_FILE", kSize));
    EXPECT_TRUE(area.alreadyExisted());
    auto* bytes = static_cast<unsigned char*>(area.data());
    EXPECT_EQ(checkPattern(bytes, kSize, 11), kSize) << "the peer's bytes, byte for byte";

    fillPattern(bytes, kSize, 22);
    peer.writeLine("written");
    EXPECT_EQ(peer.readLine(10000), "OK");
    peer.writeLine("done");
    EXPECT_TRUE(peer.waitFinished(5000));

    // The peer has let go; we hold it still, so the bytes stay.
    EXPECT_EQ(checkPattern(bytes, kSize, 22), kSize);
}
