// A peer that stops reading never holds the thread that writes to it: posts to a stopped program
// and answers to a sender that takes none return at once, and the peer is dropped when what waits
// for it passes the bound.
#include "ipc_testsupport.h"

#include "platform/ipc_frame.h"
#include "platform/ipc_hub.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace platform;
using namespace platform::ipc;
using namespace ipctest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(SlowPeer, PostsToAStoppedProgramNeverWaitAndItIsDroppedPastTheBound)
{
    PeerProcess peer;
    ASSERT_TRUE(peer.start({"window", "stopped"}));
    const auto remote = static_cast<WindowHandle>(peer.readyValue().toULong());
    ASSERT_EQ(sendMessage(remote, kAdd, 1, 2), 3);
    ASSERT_EQ(::kill(static_cast<pid_t>(peer.pid()), SIGSTOP), 0);

    // Far more than its socket and our queue hold together.
    Clock::duration longest{};
    int accepted = 0;
    bool dropped = false;
    for (int i = 0; i < 100000 && !dropped; ++i) {
        const auto start = Clock::now();
        const bool ok = postMessage(remote, kResult, i, 0);
        longest = std::max(longest, Clock::now() - start);
        if (ok)
            ++accepted;
        else
            dropped = true;
    }
    EXPECT_TRUE(dropped) << "a program that takes nothing is dropped";
    EXPECT_GT(accepted, 1000) << "what fits is queued, not refused";
    EXPECT_LT(longest, 500ms) << "no post waited for the stopped program (it did for 2 s)";
    std::printf("[ figures  ] %d posts queued to a stopped program before it was dropped; longest post %.3f ms\n",
                accepted, std::chrono::duration<double, std::milli>(longest).count());

    // Going on, it is reached again on a new connection.
    ASSERT_EQ(::kill(static_cast<pid_t>(peer.pid()), SIGCONT), 0);
    EXPECT_EQ(sendMessage(remote, kAdd, 40, 2), 42);
}

TEST(SlowPeer, AnswersToASenderThatReadsNoneNeverHoldTheWindowThread)
{
    int served = 0;
    FunctionWindow window("QvTest", "answers", [&](std::uint32_t, WParam, LParam) -> LResult { return ++served; });
    const std::string path = Hub::instance().listenPath();
    ASSERT_FALSE(path.empty());
    const int fd = connectTo(path);
    ASSERT_GE(fd, 0);

    // 20,000 sends, 800 KB of answers: more than the socket and the queue hold; none is read.
    constexpr int kSends = 20000;
    std::string frames;
    for (int i = 0; i < kSends; ++i) {
        Frame send;
        send.kind = FrameKind::Send;
        send.requestId = static_cast<std::uint64_t>(i + 1);
        send.window = window.handle();
        send.msg = kAdd;
        const auto bytes = encodeFrame(send);
        frames.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::size_t sent = 0;
    bool refused = false;
    const auto start = Clock::now();
    while (sent < frames.size() && !refused && Clock::now() - start < 10s) {
        const ssize_t n = ::send(fd, frames.data() + sent, frames.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        refused = n < 0 && errno != EAGAIN && errno != EINTR;  // dropped: nothing more is taken
        QCoreApplication::processEvents();  // the window thread serves what arrived meanwhile
    }
    pumpUntil([] { return false; }, 100ms);
    EXPECT_TRUE(refused) << "the sender that read no answers was dropped";
    const auto answering = Clock::now() - start;
    EXPECT_LT(answering, 1500ms) << "answering never waited for the sender";
    std::printf("[ figures  ] %d sends answered to a sender that read none, in %.1f ms, then it was dropped\n", served,
                std::chrono::duration<double, std::milli>(answering).count());
    EXPECT_GT(served, 1000);

    // The sender is dropped: it finds fewer answers than it asked for, then the end.
    std::size_t answered = 0;
    bool ended = false;
    char buffer[65536];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 2000) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ended = n == 0;
            break;
        }
        answered += static_cast<std::size_t>(n);
    }
    EXPECT_TRUE(ended);
    EXPECT_LT(answered, frames.size());
    EXPECT_EQ(answered % kFrameSize, 0u) << "only whole answers were written";
    ::close(fd);
}
