// The message hub of one process: the windows living here, the local socket other programs of the
// system write to, the connections to theirs, and the sends waiting for an answer.
#pragma once

#include "platform/ipc_frame.h"
#include "platform/window.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <sys/types.h>

class QObject;

namespace platform::ipc {

struct Connection;

// A message sent to a window of some thread, waiting for that thread to run it.
struct IncomingSend {
    WindowHandle window = 0;
    std::uint32_t msg = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::uint64_t requestId = 0;
    std::shared_ptr<Connection> replyTo;  // null: the sender is a thread of this process
};

// Per thread that owns windows or waits in a send. The condition variable wakes a thread waiting
// in a send (for its answer or for a send to serve); the dispatcher wakes its event loop.
struct ThreadContext {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<IncomingSend> sends;  // guarded by mutex
    QObject* dispatcher = nullptr;   // guarded by mutex; lives on the owner thread
    int windowCount = 0;             // owner thread only
    int dispatchDepth = 0;           // owner thread only: inside the dispatcher's event handler
    std::thread::id thread;
};

std::shared_ptr<ThreadContext> currentThreadContext();

class Hub {
public:
    static Hub& instance();

    void addWindow(WindowHandle handle, MessageWindow* window, std::shared_ptr<ThreadContext> context);
    // After this no message reaches the window; sends queued for it are answered "no window".
    void removeWindow(WindowHandle handle);

    bool postMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam);
    SendStatus sendMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam,
                           LResult* result, std::chrono::milliseconds timeout);
    bool isLocalWindow(WindowHandle window);

    // On the owner thread: runs a posted message (dropped when the window is gone), or every send
    // queued for the calling thread.
    void deliverPosted(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam);
    void serveQueuedSends(const std::shared_ptr<ThreadContext>& context);

    // The socket this process listens on (empty when it could not be set up). For tests.
    std::string listenPath();

private:
    struct WindowEntry {
        MessageWindow* window = nullptr;
        std::shared_ptr<ThreadContext> context;
    };
    struct Peer {
        pid_t pid = 0;
        std::uint64_t startTime = 0;
    };
    struct PendingSend {
        std::shared_ptr<ThreadContext> waiter;
        const Connection* connection = nullptr;  // identity only; null for in-process sends
        bool done = false;                       // guarded by waiter->mutex
        std::atomic<bool> arrived{false};        // done, for a waiter that has not gone to sleep
        SendStatus status = SendStatus::TimedOut;
        LResult result = 0;
    };

    Hub() = default;
    void ensureStarted();
    bool startListening();
    void ioLoop();
    void stop();
    void wakeIo();
    bool handleFrame(const std::shared_ptr<Connection>& connection, const Frame& frame);
    void connectionClosed(const std::shared_ptr<Connection>& connection);
    void routeSend(IncomingSend item);
    void serve(IncomingSend& item);
    void reply(const IncomingSend& item, ReplyStatus status, LResult result);
    void completePending(std::uint64_t requestId, const Connection* connection, SendStatus status, LResult result);
    std::optional<Peer> resolve(WindowHandle window);
    void forget(WindowHandle window);
    std::shared_ptr<Connection> outgoingConnection(const Peer& peer);
    SendStatus waitForAnswer(const std::shared_ptr<PendingSend>& pending, std::uint64_t requestId,
                             const std::shared_ptr<ThreadContext>& self, const Peer& peer,
                             std::chrono::steady_clock::time_point deadline, LResult* result);
    static void wakeThread(ThreadContext& context);  // context.mutex held

    std::mutex m_mutex;  // m_windows, m_resolved
    std::unordered_map<WindowHandle, WindowEntry> m_windows;
    std::unordered_map<WindowHandle, Peer> m_resolved;

    std::mutex m_connectionMutex;
    std::vector<std::shared_ptr<Connection>> m_connections;  // every open connection, polled by the I/O thread
    std::unordered_map<pid_t, std::shared_ptr<Connection>> m_outgoing;

    std::mutex m_pendingMutex;
    std::unordered_map<std::uint64_t, std::shared_ptr<PendingSend>> m_pending;
    std::atomic<std::uint64_t> m_nextRequest{1};

    std::once_flag m_startOnce;
    std::mutex m_startMutex;  // m_listenPath
    std::string m_listenPath;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_io;
};

}  // namespace platform::ipc
