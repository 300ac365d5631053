// Window registration and messages inside one process: find and enumerate, posts from other
// threads, sends across threads, and messages to destroyed windows.
#include "ipc_testsupport.h"

#include "platform/window.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;
using namespace ipctest;
using namespace std::chrono_literals;

namespace {

// A thread with an event loop that owns one window built by the given factory.
class WindowThread : public QThread {
public:
    explicit WindowThread(FunctionWindow::Handler handler) : m_handler(std::move(handler)) {}
    WindowHandle startAndWait()
    {
        start();
        m_ready.acquire();
        return m_handle;
    }
    void stopAndWait()
    {
        quit();
        wait();
    }

protected:
    void run() override
    {
        FunctionWindow window("QvThread", "thread window", m_handler);
        m_handle = window.handle();
        m_ready.release();
        exec();
    }

private:
    FunctionWindow::Handler m_handler;
    QSemaphore m_ready;
    std::atomic<WindowHandle> m_handle{0};
};

}  // namespace

TEST(WindowRegistry, FindEnumerateAndCaptionChanges)
{
    FunctionWindow a("QvTestA", "first", nullptr);
    FunctionWindow b("QvTestB", "second", nullptr);
    ASSERT_NE(a.handle(), 0u);
    ASSERT_NE(b.handle(), 0u);
    EXPECT_NE(a.handle(), b.handle());

    EXPECT_EQ(findWindow("QvTestA", "first"), a.handle());
    EXPECT_EQ(findWindow("QvTestB", ""), b.handle());
    EXPECT_EQ(findWindow("", "second"), b.handle());
    EXPECT_EQ(findWindow("QvTestA", "second"), 0u);
    EXPECT_EQ(findWindow("QvTest", ""), 0u) << "class names match whole, not as a prefix";

    b.setCaption("changed");
    EXPECT_EQ(b.caption(), "changed");
    EXPECT_EQ(findWindow("", "changed"), b.handle());
    EXPECT_EQ(findWindow("", "second"), 0u);

    const auto all = enumWindows();
    int seen = 0;
    for (const auto& info : all) {
        if (info.handle == a.handle()) {
            ++seen;
            EXPECT_EQ(info.className, "QvTestA");
            EXPECT_EQ(info.caption, "first");
            EXPECT_EQ(info.processId, static_cast<std::int64_t>(getpid()));
        }
        if (info.handle == b.handle())
            ++seen;
    }
    EXPECT_EQ(seen, 2);
}

TEST(WindowRegistry, HandlesAreNotReusedAndUnregisteredWindowsStillReceive)
{
    WindowHandle first;
    {
        FunctionWindow w("QvTestC", "short-lived", nullptr);
        first = w.handle();
        EXPECT_TRUE(isWindow(first));
    }
    EXPECT_FALSE(isWindow(first));
    EXPECT_EQ(findWindow("QvTestC", ""), 0u);

    std::vector<WindowHandle> seen{first};
    for (int i = 0; i < 20; ++i) {
        FunctionWindow w("QvTestC", "again", nullptr);
        for (auto h : seen)
            ASSERT_NE(h, w.handle());
        seen.push_back(w.handle());
    }

    int calls = 0;
    FunctionWindow closing("QvTestC", "closing", [&](std::uint32_t, WParam, LParam) -> LResult { return ++calls; });
    closing.unregisterWindow();
    EXPECT_EQ(findWindow("QvTestC", "closing"), 0u);
    EXPECT_EQ(sendMessage(closing.handle(), kAdd, 0, 0), 1);
    closing.setCaption("still hidden");
    EXPECT_EQ(findWindow("", "still hidden"), 0u) << "a caption change must not register it again";
}

TEST(WindowMessages, SendOnOwnThreadCallsDirectlyAndPostIsQueued)
{
    std::vector<std::pair<std::uint32_t, WParam>> log;
    FunctionWindow w("QvTestD", "direct", [&](std::uint32_t msg, WParam wParam, LParam lParam) -> LResult {
        log.emplace_back(msg, wParam);
        return wParam * lParam;
    });
    EXPECT_EQ(sendMessage(w.handle(), kAdd, 6, 7), 42);
    ASSERT_EQ(log.size(), 1u);

    EXPECT_TRUE(postMessage(w.handle(), kResult, 1, 0));
    EXPECT_TRUE(postMessage(w.handle(), kResult, 2, 0));
    EXPECT_EQ(log.size(), 1u) << "a post must not run inside postMessage";
    ASSERT_TRUE(pumpUntil([&] { return log.size() == 3; }, 2s));
    EXPECT_EQ(log[1].second, 1);
    EXPECT_EQ(log[2].second, 2);
}

TEST(WindowMessages, PostsFromOtherThreadsArriveInOrderOnTheOwnerThread)
{
    const auto owner = std::this_thread::get_id();
    std::vector<WParam> received;
    bool wrongThread = false;
    FunctionWindow w("QvTestE", "posts", [&](std::uint32_t, WParam wParam, LParam) -> LResult {
        wrongThread |= std::this_thread::get_id() != owner;
        received.push_back(wParam);
        return 0;
    });
    constexpr int kCount = 2000;
    std::thread poster([h = w.handle()] {
        for (int i = 0; i < kCount; ++i)
            postMessage(h, kResult, i, 0);
    });
    poster.join();
    ASSERT_TRUE(pumpUntil([&] { return received.size() == kCount; }, 5s));
    EXPECT_FALSE(wrongThread);
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(received[i], i);
}

TEST(WindowMessages, DestroyedWindowDropsQueuedPostsAndRefusesNewOnes)
{
    int calls = 0;
    WindowHandle handle;
    {
        FunctionWindow w("QvTestF", "doomed", [&](std::uint32_t, WParam, LParam) -> LResult { return ++calls; });
        handle = w.handle();
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(postMessage(handle, kResult, i, 0));
    }
    // Another window on the thread keeps the dispatcher alive, so stale events really are looked at.
    int otherCalls = 0;
    FunctionWindow other("QvTestF", "survivor", [&](std::uint32_t, WParam, LParam) -> LResult { return ++otherCalls; });
    postMessage(other.handle(), kResult, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return otherCalls == 1; }, 2s));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(postMessage(handle, kResult, 0, 0));
    LResult result = 99;
    EXPECT_EQ(sendMessageEx(handle, kAdd, 1, 1, &result, 1s), SendStatus::PeerGone);
    EXPECT_EQ(result, 0);
}

TEST(WindowMessages, SendFromWorkerThreadRunsOnOwnerThread)
{
    const auto owner = std::this_thread::get_id();
    std::atomic<bool> ranOnOwner{false};
    FunctionWindow w("QvTestG", "owner", [&](std::uint32_t, WParam wParam, LParam lParam) -> LResult {
        ranOnOwner = std::this_thread::get_id() == owner;
        return wParam + lParam;
    });
    std::atomic<LResult> result{0};
    std::atomic<bool> finished{false};
    std::thread sender([&, h = w.handle()] {
        result = sendMessage(h, kAdd, 40, 2);
        finished = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return finished.load(); }, 5s));
    sender.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_TRUE(ranOnOwner.load());
}

TEST(WindowMessages, WaitingSendServesSendsButNotPosts)
{
    // The main thread sends to a window of another thread, whose handler sends back to a main
    // window: the nested send must be served inside the wait, the earlier post must not.
    std::vector<std::string> log;
    FunctionWindow mainWindow("QvTestH", "main", [&](std::uint32_t msg, WParam, LParam) -> LResult {
        log.push_back(msg == kEcho ? "send" : "post");
        return msg == kEcho ? 5 : 0;
    });
    const WindowHandle mainHandle = mainWindow.handle();
    WindowThread worker([mainHandle](std::uint32_t, WParam wParam, LParam) -> LResult {
        return sendMessage(mainHandle, kEcho, 0, 0) + wParam;
    });
    const WindowHandle workerHandle = worker.startAndWait();

    ASSERT_TRUE(postMessage(mainHandle, kResult, 0, 0));
    LResult result = 0;
    EXPECT_EQ(sendMessageEx(workerHandle, kCallback, 100, 0, &result, 5s), SendStatus::Answered);
    EXPECT_EQ(result, 105);
    EXPECT_EQ(log, std::vector<std::string>{"send"});
    ASSERT_TRUE(pumpUntil([&] { return log.size() == 2; }, 2s));
    EXPECT_EQ(log[1], "post");
    worker.stopAndWait();
}

TEST(WindowMessages, MutualSendsBetweenThreadsDoNotDeadlock)
{
    // Two threads each send to the other's window at the same time; neither runs its event loop.
    std::atomic<WindowHandle> workerHandle{0};
    std::atomic<bool> mainSending{false};
    std::atomic<LResult> workerResult{0};
    std::atomic<bool> workerDone{false};
    FunctionWindow mainWindow("QvTestI", "main", [](std::uint32_t, WParam wParam, LParam) -> LResult {
        std::this_thread::sleep_for(20ms);
        return wParam * 10;
    });
    const WindowHandle mainHandle = mainWindow.handle();
    std::thread worker([&] {
        FunctionWindow own("QvTestI", "worker", [](std::uint32_t, WParam wParam, LParam) -> LResult {
            return wParam * 100;
        });
        workerHandle = own.handle();
        while (!mainSending)
            std::this_thread::yield();
        workerResult = sendMessage(mainHandle, kEcho, 3, 0);
        workerDone = true;
    });
    while (workerHandle == 0)
        std::this_thread::yield();
    mainSending = true;
    LResult result = 0;
    EXPECT_EQ(sendMessageEx(workerHandle, kEcho, 4, 0, &result, 5s), SendStatus::Answered);
    // Our answer may come before we served the worker's send; the event loop serves it then.
    EXPECT_TRUE(pumpUntil([&] { return workerDone.load(); }, 5s));
    worker.join();
    EXPECT_EQ(result, 400);
    EXPECT_EQ(workerResult.load(), 30);
}

TEST(WindowMessages, SendToWindowDestroyedBeforeItIsServedEndsAtOnce)
{
    auto window = std::make_unique<FunctionWindow>("QvTestJ", "doomed", [](std::uint32_t, WParam, LParam) -> LResult {
        return 1;
    });
    const WindowHandle handle = window->handle();
    std::atomic<int> status{-1};
    std::thread sender([&] {
        LResult result = 0;
        status = static_cast<int>(sendMessageEx(handle, kAdd, 0, 0, &result, 10s));
    });
    // The send is queued for this thread, which destroys the window instead of serving it.
    std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    window.reset();
    sender.join();
    EXPECT_EQ(status.load(), static_cast<int>(SendStatus::PeerGone));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST(WindowMessages, SendTimesOutWhenOwnerThreadIsBusy)
{
    FunctionWindow w("QvTestK", "busy", [](std::uint32_t, WParam, LParam) -> LResult { return 7; });
    std::atomic<int> status{-1};
    std::thread sender([&, h = w.handle()] {
        LResult result = 5;
        status = static_cast<int>(sendMessageEx(h, kAdd, 0, 0, &result, 200ms));
        EXPECT_EQ(result, 0);
    });
    sender.join();  // this thread never serves it
    EXPECT_EQ(status.load(), static_cast<int>(SendStatus::TimedOut));
    // The late answer, when the thread finally gets to it, goes nowhere and harms nothing.
    QCoreApplication::processEvents();
    EXPECT_EQ(sendMessage(w.handle(), kAdd, 0, 0), 7);
}
