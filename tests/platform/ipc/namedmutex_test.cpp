// Named mutex: ownership, "already existed", release on the owner's death, no inheritance.
#include "ipc_testsupport.h"

#include "platform/namedmutex.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace ipctest;

TEST(NamedMutex, FirstOwnsLaterOnesSeeItExisting)
{
    auto first = std::make_unique<NamedMutex>("single-instance");
    ASSERT_TRUE(first->valid());
    EXPECT_TRUE(first->owned());
    EXPECT_FALSE(first->alreadyExisted());

    NamedMutex second("single-instance");
    EXPECT_FALSE(second.owned());
    EXPECT_TRUE(second.alreadyExisted());

    NamedMutex other("another-name");
    EXPECT_TRUE(other.owned());

    first.reset();
    NamedMutex third("single-instance");
    EXPECT_TRUE(third.owned());
    EXPECT_FALSE(third.alreadyExisted());
}

TEST(NamedMutex, FreedWhenItsOwnerIsKilled)
{
    PeerProcess peer;
    ASSERT_TRUE(peer.start({"mutex", "killed-owner"}));
    ASSERT_EQ(peer.readyValue(), "owned");
    {
        NamedMutex whileAlive("killed-owner");
        EXPECT_TRUE(whileAlive.alreadyExisted());
        EXPECT_FALSE(whileAlive.owned());
    }
    peer.killHard();
    NamedMutex afterDeath("killed-owner");
    EXPECT_TRUE(afterDeath.owned());
    EXPECT_FALSE(afterDeath.alreadyExisted());
}

TEST(NamedMutex, ChildProcessesDoNotInheritIt)
{
    NamedMutex held("inherited");
    ASSERT_TRUE(held.owned());
    PeerProcess child;
    ASSERT_TRUE(child.start({"fds"}));
    EXPECT_EQ(child.readyValue(), "0") << "the child holds a descriptor of the mutex file";
    EXPECT_TRUE(child.waitFinished(5000));
}
