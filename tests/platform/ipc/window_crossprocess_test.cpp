// Window messages between two processes: mutual sends, answers inside a send, dead and stuck
// peers, find and enumerate across processes, and posts from another program.
#include "ipc_testsupport.h"

#include "platform/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>

using namespace platform;
using namespace ipctest;
using namespace std::chrono_literals;

namespace {

class CrossProcess : public ::testing::Test {
protected:
    WindowHandle startPeer(PeerProcess& peer, const std::string& caption)
    {
        if (!peer.start({"window", QString::fromStdString(caption)}))
            return 0;
        return static_cast<WindowHandle>(peer.readyValue().toULong());
    }
};

}  // namespace

TEST_F(CrossProcess, SendAndPostReachTheOtherProgram)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "basic");
    ASSERT_NE(remote, 0u);
    EXPECT_TRUE(isWindow(remote));
    EXPECT_EQ(sendMessage(remote, kAdd, 40, 2), 42);
    EXPECT_EQ(sendMessage(remote, kAdd, -5, 0x7fffffff00LL), 0x7fffffff00LL - 5) << "64-bit parameters survive";

    std::vector<WParam> received;
    FunctionWindow local("QvTest", "receiver", [&](std::uint32_t msg, WParam wParam, LParam) -> LResult {
        if (msg == kResult)
            received.push_back(wParam);
        return 0;
    });
    // The peer posts from a thread of its own; all arrive, in order, on our window's thread.
    EXPECT_EQ(sendMessage(remote, kPostMany, local.handle(), 300), 1);
    ASSERT_TRUE(pumpUntil([&] { return received.size() == 300; }, 5s));
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(received[i], i);
}

TEST_F(CrossProcess, BothProgramsInsideTheirOwnSendsComplete)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "mutual");
    ASSERT_NE(remote, 0u);
    std::atomic<int> echoes{0};
    LResult peerAnswer = -1;
    FunctionWindow local("QvTest", "mutual-local", [&](std::uint32_t msg, WParam wParam, LParam) -> LResult {
        if (msg == kSlowEcho) {
            ++echoes;
            std::this_thread::sleep_for(100ms);
            return wParam * 10;
        }
        if (msg == kEcho)
            return wParam * 10;
        if (msg == kResult)
            peerAnswer = wParam;
        return 0;
    });
    // The peer, on the kick, sends kSlowEcho to us; we stay out of the event loop so that its
    // send is surely waiting when ours starts.
    ASSERT_TRUE(postMessage(remote, kKick, local.handle(), 0));
    std::this_thread::sleep_for(150ms);
    LResult result = 0;
    EXPECT_EQ(sendMessageEx(remote, kSlowAdd, 20, 22, &result, 5s), SendStatus::Answered);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(echoes.load(), 1) << "the peer's send was served while ours waited";
    ASSERT_TRUE(pumpUntil([&] { return peerAnswer != -1; }, 5s));
    EXPECT_EQ(peerAnswer, 70);
}

TEST_F(CrossProcess, PeerAnswersUsingASendBackInsideOurSend)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "callback");
    ASSERT_NE(remote, 0u);
    FunctionWindow local("QvTest", "callback-local", [](std::uint32_t msg, WParam wParam, LParam) -> LResult {
        return msg == kEcho ? wParam * 10 : 0;
    });
    for (int i = 1; i <= 20; ++i)
        ASSERT_EQ(sendMessage(remote, kCallback, local.handle(), i), i * 10 + 1);

    // A window that left the registry is not found any more, but whoever has its handle (the
    // peer learns it from the message) still reaches it.
    FunctionWindow hidden("QvTest", "hidden-local", [](std::uint32_t msg, WParam wParam, LParam) -> LResult {
        return msg == kEcho ? wParam * 100 : 0;
    });
    hidden.unregisterWindow();
    EXPECT_EQ(findWindow("QvTest", "hidden-local"), 0u);
    EXPECT_EQ(sendMessage(remote, kCallback, hidden.handle(), 3), 301);
}

TEST_F(CrossProcess, SendToKilledProgramReturnsZeroAtOnce)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "to-be-killed");
    ASSERT_NE(remote, 0u);
    ASSERT_EQ(sendMessage(remote, kAdd, 1, 1), 2);  // the connection exists before the kill
    peer.killHard();

    const auto start = std::chrono::steady_clock::now();
    LResult result = 7;
    EXPECT_EQ(sendMessageEx(remote, kAdd, 1, 1, &result), SendStatus::PeerGone);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(sendMessage(remote, kAdd, 1, 1), 0);
    EXPECT_FALSE(postMessage(remote, kAdd, 1, 1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(isWindow(remote));
    EXPECT_EQ(findWindow("QvPeer", "to-be-killed"), 0u) << "the dead program's entry is cleaned up";
}

TEST_F(CrossProcess, ProgramKilledDuringOurSendGivesPeerGone)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "killed-mid-send");
    ASSERT_NE(remote, 0u);
    const pid_t pid = static_cast<pid_t>(peer.pid());
    std::atomic<std::int64_t> killedAtNs{0};
    std::thread killer([&] {
        std::this_thread::sleep_for(300ms);
        killedAtNs = std::chrono::steady_clock::now().time_since_epoch().count();
        ::kill(pid, SIGKILL);
    });
    LResult result = 7;
    const SendStatus status = sendMessageEx(remote, kHang, 0, 60000, &result, 10s);
    const auto returnedAt = std::chrono::steady_clock::now().time_since_epoch().count();
    killer.join();
    EXPECT_EQ(status, SendStatus::PeerGone);
    EXPECT_EQ(result, 0);
    EXPECT_LT(std::chrono::nanoseconds(returnedAt - killedAtNs.load()), 1s);
}

namespace {

// User and system time of a process so far, in clock ticks; -1 when it cannot be read.
long long cpuTicks(qint64 pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    long long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14)
            ticks += std::stoll(field);
    }
    return ticks;
}

}  // namespace

TEST_F(CrossProcess, ProgramOutOfDescriptorsTimesOutWithoutSpinning)
{
    PeerProcess peer;
    ASSERT_TRUE(peer.start({"nofds"}));
    const auto remote = static_cast<WindowHandle>(peer.readyValue().toULong());
    ASSERT_NE(remote, 0u);
    const long long before = cpuTicks(peer.pid());
    ASSERT_GE(before, 0);
    // Our connection waits in its listening queue: it cannot take it, so nothing answers.
    LResult result = 7;
    EXPECT_EQ(sendMessageEx(remote, kAdd, 1, 1, &result, 1500ms), SendStatus::TimedOut);
    EXPECT_EQ(result, 0);
    const long long used = cpuTicks(peer.pid()) - before;
    // A loop around the failing accept would have used about the whole 1.5 s (150 ticks).
    EXPECT_LT(used, 40) << "ticks of CPU time while it could not accept";
}

TEST_F(CrossProcess, StuckProgramTimesOutAndLateAnswerIsIgnored)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "stuck");
    ASSERT_NE(remote, 0u);
    const auto start = std::chrono::steady_clock::now();
    LResult result = 7;
    EXPECT_EQ(sendMessageEx(remote, kHang, 0, 800, &result, 200ms), SendStatus::TimedOut);
    EXPECT_EQ(result, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 700ms);
    // The hung answer (1) arrives later and must not be taken for this one.
    EXPECT_EQ(sendMessage(remote, kAdd, 2, 3), 5);
    EXPECT_TRUE(isWindow(remote));
}

TEST_F(CrossProcess, FindEnumerateAndCaptionChangeAcrossPrograms)
{
    PeerProcess peer;
    const WindowHandle remote = startPeer(peer, "findable");
    ASSERT_NE(remote, 0u);
    EXPECT_EQ(findWindow("QvPeer", "findable"), remote);
    bool listed = false;
    for (const auto& info : enumWindows()) {
        if (info.handle == remote) {
            listed = true;
            EXPECT_EQ(info.className, "QvPeer");
            EXPECT_EQ(info.processId, peer.pid());
        }
    }
    EXPECT_TRUE(listed);

    ASSERT_EQ(sendMessage(remote, kRename, 5, 0), 1);
    // No delay: the change is visible as soon as the send has returned.
    EXPECT_EQ(findWindow("QvPeer", "renamed-5"), remote);
    EXPECT_EQ(findWindow("QvPeer", "findable"), 0u);

    EXPECT_EQ(sendMessage(remote, kQuit, 0, 0), 1);
    ASSERT_TRUE(peer.waitFinished(5000));
    EXPECT_EQ(findWindow("QvPeer", "renamed-5"), 0u);
    EXPECT_EQ(sendMessage(remote, kAdd, 1, 1), 0);
}
