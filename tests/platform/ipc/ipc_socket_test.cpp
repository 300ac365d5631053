// Untrusted bytes on the message socket: frames cut off, split anywhere, garbage and frames of the
// wrong kind must neither crash the receiver nor deliver anything, and good traffic goes on.
#include "ipc_testsupport.h"

#include "platform/ipc_frame.h"
#include "platform/ipc_hub.h"
#include "platform/ipc_registry.h"
#include "platform/objectnames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace platform;
using namespace platform::ipc;
using namespace ipctest;
using namespace std::chrono_literals;

namespace {

void writeBytes(int fd, const void* data, std::size_t size)
{
    ASSERT_EQ(::send(fd, data, size, MSG_NOSIGNAL), static_cast<ssize_t>(size));
}

// True when the other side closed the connection within the time.
bool closedByPeer(int fd, std::chrono::milliseconds timeout)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0)
        return false;
    char c;
    return ::recv(fd, &c, 1, MSG_DONTWAIT) == 0;
}

Frame postFrame(WindowHandle window, WParam wParam)
{
    Frame frame;
    frame.kind = FrameKind::Post;
    frame.window = window;
    frame.msg = kResult;
    frame.wParam = wParam;
    return frame;
}

}  // namespace

TEST(FrameCodec, RoundTripAndRejections)
{
    Frame frame;
    frame.kind = FrameKind::Reply;
    frame.status = ReplyStatus::NoWindow;
    frame.requestId = 0x0102030405060708ULL;
    frame.window = 0x3fffffff;
    frame.msg = 0x46E;
    frame.wParam = -1;
    frame.lParam = INT64_MIN;
    auto bytes = encodeFrame(frame);
    Frame back;
    ASSERT_TRUE(decodeFrame(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(back.kind, frame.kind);
    EXPECT_EQ(back.status, frame.status);
    EXPECT_EQ(back.requestId, frame.requestId);
    EXPECT_EQ(back.window, frame.window);
    EXPECT_EQ(back.msg, frame.msg);
    EXPECT_EQ(back.wParam, frame.wParam);
    EXPECT_EQ(back.lParam, frame.lParam);
    EXPECT_EQ(bytes[8], 0x08) << "little-endian on the wire";

    EXPECT_FALSE(decodeFrame(bytes.data(), bytes.size() - 1, &back));
    auto bad = bytes;
    bad[0] ^= 1;
    EXPECT_FALSE(decodeFrame(bad.data(), bad.size(), &back)) << "magic";
    bad = bytes;
    bad[4] = 0;
    EXPECT_FALSE(decodeFrame(bad.data(), bad.size(), &back)) << "kind 0";
    bad[4] = 4;
    EXPECT_FALSE(decodeFrame(bad.data(), bad.size(), &back)) << "kind 4";
    bad = bytes;
    bad[5] = 2;
    EXPECT_FALSE(decodeFrame(bad.data(), bad.size(), &back)) << "status";
    bad = bytes;
    bad[7] = 1;
    EXPECT_FALSE(decodeFrame(bad.data(), bad.size(), &back)) << "reserved";
}

TEST(FrameCodec, AssemblerJoinsFramesSplitAnywhereAndStopsAtGarbage)
{
    std::mt19937 random(12345);
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < 50; ++i) {
        const auto bytes = encodeFrame(postFrame(7, i));
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    FrameAssembler assembler;
    std::vector<WParam> seen;
    std::size_t pos = 0;
    while (pos < stream.size()) {
        const std::size_t chunk = std::min<std::size_t>(stream.size() - pos, 1 + random() % 97);
        ASSERT_TRUE(assembler.feed(stream.data() + pos, chunk, [&](const Frame& f) { seen.push_back(f.wParam); }));
        pos += chunk;
    }
    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_FALSE(assembler.hasPartialFrame());

    FrameAssembler partial;
    const auto one = encodeFrame(postFrame(7, 1));
    EXPECT_TRUE(partial.feed(one.data(), 39, [&](const Frame&) { ADD_FAILURE() << "a cut frame was delivered"; }));
    EXPECT_TRUE(partial.hasPartialFrame());

    for (int trial = 0; trial < 200; ++trial) {
        std::vector<std::uint8_t> junk(1 + random() % 300);
        for (auto& b : junk)
            b = static_cast<std::uint8_t>(random());
        FrameAssembler garbage;
        int delivered = 0;
        const bool ok = garbage.feed(junk.data(), junk.size(), [&](const Frame&) { ++delivered; });
        EXPECT_EQ(delivered, 0);
        EXPECT_EQ(ok, junk.size() < kFrameSize);
    }
}

TEST(SocketInput, CutFramesAndGarbageAreDiscardedAndTheReceiverGoesOn)
{
    std::vector<WParam> received;
    FunctionWindow window("QvTest", "socket-target", [&](std::uint32_t msg, WParam wParam, LParam) -> LResult {
        if (msg == kResult)
            received.push_back(wParam);
        return 0;
    });
    const std::string path = Hub::instance().listenPath();
    ASSERT_FALSE(path.empty());

    // A sender that dies in the middle of a frame.
    int fd = connectTo(path);
    ASSERT_GE(fd, 0);
    const auto cut = encodeFrame(postFrame(window.handle(), 111));
    writeBytes(fd, cut.data(), 20);
    ::close(fd);

    // Garbage: the receiver drops the connection.
    fd = connectTo(path);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> junk(4000);
    std::mt19937 random(7);
    for (auto& b : junk)
        b = static_cast<std::uint8_t>(random());
    writeBytes(fd, junk.data(), junk.size());
    EXPECT_TRUE(closedByPeer(fd, 2s));
    ::close(fd);

    // A reply where only posts and sends may come: a protocol error, closed as well.
    fd = connectTo(path);
    ASSERT_GE(fd, 0);
    Frame reply;
    reply.kind = FrameKind::Reply;
    reply.requestId = 1;
    const auto replyBytes = encodeFrame(reply);
    writeBytes(fd, replyBytes.data(), replyBytes.size());
    EXPECT_TRUE(closedByPeer(fd, 2s));
    ::close(fd);

    // Good frames still work: one post, then a send to a window that does not exist, which is
    // answered "no window" on the same connection.
    fd = connectTo(path);
    ASSERT_GE(fd, 0);
    const auto good = encodeFrame(postFrame(window.handle(), 222));
    writeBytes(fd, good.data(), good.size());
    Frame send;
    send.kind = FrameKind::Send;
    send.requestId = 99;
    send.window = 0x3ffffffe;
    send.msg = kAdd;
    const auto sendBytes = encodeFrame(send);
    writeBytes(fd, sendBytes.data(), sendBytes.size());
    std::array<std::uint8_t, kFrameSize> answer{};
    std::size_t got = 0;
    pollfd p{fd, POLLIN, 0};
    while (got < kFrameSize && ::poll(&p, 1, 2000) > 0) {
        const ssize_t n = ::recv(fd, answer.data() + got, kFrameSize - got, 0);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ASSERT_EQ(got, kFrameSize);
    Frame decoded;
    ASSERT_TRUE(decodeFrame(answer.data(), answer.size(), &decoded));
    EXPECT_EQ(decoded.kind, FrameKind::Reply);
    EXPECT_EQ(decoded.status, ReplyStatus::NoWindow);
    EXPECT_EQ(decoded.requestId, 99u);

    ASSERT_TRUE(pumpUntil([&] { return !received.empty(); }, 2s));
    pumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(received, std::vector<WParam>{222});
    ::close(fd);
}

TEST(WindowRecords, MalformedAndForeignRecordsAreIgnored)
{
    using platform::ipc::parseWindowRecord;
    WindowRecord record;
    record.handle = 77;
    record.pid = 1234;
    record.startTime = 99;
    record.className = "TForm1";
    record.caption = std::string("Player \xd0\x9f") + '\n' + "line";
    const std::string bytes = platform::ipc::formatWindowRecord(record);
    const auto back = parseWindowRecord(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->handle, 77u);
    EXPECT_EQ(back->pid, 1234);
    EXPECT_EQ(back->startTime, 99u);
    EXPECT_EQ(back->className, "TForm1");
    EXPECT_EQ(back->caption, record.caption);

    // Every cut of a good record is refused or parsed, never read past its end.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const auto partial = parseWindowRecord(bytes.substr(0, cut));
        if (partial) {
            EXPECT_EQ(partial->className, "TForm1") << "cut at " << cut;
        }
    }
    auto withNames = [](const char* head) { return std::string(head) + std::string("A\0B", 3); };
    ASSERT_TRUE(parseWindowRecord(withNames("QVWIN1\n5\n3\n0\n1\n")).has_value());
    EXPECT_TRUE(parseWindowRecord(withNames("QVWIN1\n5\n3\n0\n1\n"))->hidden);
    EXPECT_FALSE(parseWindowRecord(withNames("QVWIN1\n5\n3\n0\n2\n")).has_value()) << "flag";
    EXPECT_FALSE(parseWindowRecord(withNames("QVWIN1\n0\n1234\n0\n0\n")).has_value()) << "handle 0";
    EXPECT_FALSE(parseWindowRecord(withNames("QVWIN1\n5\n-3\n0\n0\n")).has_value()) << "negative pid";
    EXPECT_FALSE(parseWindowRecord(withNames("QVWIN1\n5x\n3\n0\n0\n")).has_value()) << "trailing junk";
    EXPECT_FALSE(parseWindowRecord(withNames("QVWIN1\n99999999999\n3\n0\n0\n")).has_value()) << "range";
    EXPECT_FALSE(parseWindowRecord("QVWIN1\n5\n3\n0\n0\nno separator").has_value());

    // Junk in the registry folder neither crashes the enumeration nor shows up in it.
    FunctionWindow real("QvTest", "next to junk", nullptr);
    const std::string folder = platform::runtimeFolder() + "windows/";
    auto writeFile = [&](const std::string& name, const std::string& content) {
        FILE* f = std::fopen((folder + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    };
    writeFile("w900001", "garbage\x01\x02");
    writeFile("w900002", bytes.substr(0, 20));
    writeFile("w900003", bytes);  // says handle 77: does not match its file name
    writeFile("notes.txt", "nothing");
    const auto all = enumWindows();
    for (const auto& info : all) {
        EXPECT_NE(info.handle, 77u);
        EXPECT_LT(info.handle, 900001u);
    }
    EXPECT_EQ(findWindow("QvTest", "next to junk"), real.handle());
}
