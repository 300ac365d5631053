// Message hub: window table, in-process delivery, the local socket and its I/O thread, and the
// wait for an answer that keeps serving sends to the waiting thread.
#include "platform/ipc_hub.h"

#include "platform/ipc_dispatcher.h"
#include "platform/ipc_registry.h"
#include "platform/objectnames.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::ipc {

namespace {

constexpr auto kLivenessCheck = std::chrono::milliseconds(200);
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);
// Frames a peer has not taken yet, beyond what its socket holds. A peer that lets this many pile up
// has stopped reading: it is dropped rather than fed for ever.
constexpr std::size_t kMaxQueuedBytes = 256 * 1024;
constexpr auto kAwakeWait = std::chrono::microseconds(100);

SendStatus logTimeout(SendStatus status, WindowHandle window, std::uint32_t msg)
{
    if (status == SendStatus::TimedOut)
        qWarning("sendMessage: window %u did not answer message 0x%x in time", window, msg);
    return status;
}

// Sockets of programs that were killed stay behind as files; they are of no use to anyone.
void removeDeadSockets()
{
    const std::string folder = runtimeFolder();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 2 || name[0] != 's' || name.find_first_not_of("0123456789", 1) != std::string::npos)
            continue;
        const long pid = std::strtol(name.c_str() + 1, nullptr, 10);
        if (pid > 0 && pid != getpid() && !processAlive(static_cast<pid_t>(pid), 0))
            ::unlink(entry.path().c_str());
    }
}

}  // namespace

// One stream socket to or from another process. Outgoing ones carry our posts and sends to the
// peer and its answers to us; accepted ones the other way round. Writes never wait: what the
// socket does not take at once is queued and sent by the I/O thread when the peer reads again, so
// a peer that stops reading never holds the thread that posts, sends or answers.
struct Connection {
    Connection(int socket, pid_t peer, bool isOutgoing, int wake)
        : fd(socket), peerPid(peer), outgoing(isOutgoing), wakeFd(wake)
    {
    }
    ~Connection() { ::close(fd); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Queues the frame whole, or refuses it (false) when the connection is broken or the peer has
    // let too much pile up (the connection is dropped then).
    bool write(const Frame& frame)
    {
        const auto bytes = encodeFrame(frame);
        std::lock_guard lock(writeMutex);
        if (broken.load())
            return false;
        std::size_t done = 0;
        if (queued.empty() && !sendSome(bytes.data(), bytes.size(), &done))
            return false;
        if (done == bytes.size())
            return true;
        if (queued.size() + bytes.size() - done > kMaxQueuedBytes) {
            qWarning("window messages: process %d takes no messages any more, connection dropped",
                     static_cast<int>(peerPid));
            breakLocked();
            return false;
        }
        const bool wasEmpty = queued.empty();
        queued.append(reinterpret_cast<const char*>(bytes.data()) + done, bytes.size() - done);
        if (wasEmpty && wakeFd >= 0) {
            const std::uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(wakeFd, &one, sizeof one);  // poll for POLLOUT now
        }
        return true;
    }
    // I/O thread: sends what the peer takes now of the queue. False when the connection broke.
    bool flushQueued()
    {
        std::lock_guard lock(writeMutex);
        if (broken.load())
            return false;
        std::size_t done = 0;
        if (!sendSome(reinterpret_cast<const std::uint8_t*>(queued.data()), queued.size(), &done))
            return false;
        queued.erase(0, done);
        return true;
    }
    bool wantsToWrite()
    {
        std::lock_guard lock(writeMutex);
        return !queued.empty() && !broken.load();
    }

    const int fd;
    const pid_t peerPid;
    const bool outgoing;
    const int wakeFd;
    std::mutex writeMutex;
    std::string queued;  // guarded by writeMutex: bytes of whole frames, in order
    std::atomic<bool> broken{false};
    FrameAssembler assembler;  // I/O thread only

private:
    // writeMutex held. Sends as much as the socket takes without waiting.
    bool sendSome(const std::uint8_t* data, std::size_t size, std::size_t* done)
    {
        while (*done < size) {
            const ssize_t n = ::send(fd, data + *done, size - *done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            if (n <= 0) {
                breakLocked();  // the peer is gone
                return false;
            }
            *done += static_cast<std::size_t>(n);
        }
        return true;
    }
    void breakLocked()
    {
        broken = true;
        queued.clear();
        ::shutdown(fd, SHUT_RDWR);  // the I/O thread sees the end and cleans up
    }
};

std::shared_ptr<ThreadContext> currentThreadContext()
{
    thread_local std::shared_ptr<ThreadContext> context;
    if (!context) {
        context = std::make_shared<ThreadContext>();
        context->thread = std::this_thread::get_id();
    }
    return context;
}

Hub& Hub::instance()
{
    // Never destroyed: the I/O thread and late window destructors may still use it at exit.
    static Hub* hub = new Hub;
    return *hub;
}

void Hub::ensureStarted()
{
    std::call_once(m_startOnce, [this] {
        if (!startListening())
            qWarning("window messages: no local socket, other programs cannot reach this one");
        std::atexit([] { Hub::instance().stop(); });
    });
}

bool Hub::startListening()
{
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
        return false;
    const std::string path = socketPath(getpid());
    int fd = path.empty() ? -1 : ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ::unlink(path.c_str());  // left by an earlier process with our pid
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    m_listenFd = fd;
    removeDeadSockets();
    if (fd >= 0) {
        std::lock_guard lock(m_startMutex);
        m_listenPath = path;
    }
    // The thread runs even without a listening socket: it reads the answers on outgoing connections.
    m_io = std::thread(&Hub::ioLoop, this);
    return fd >= 0;
}

void Hub::stop()
{
    m_stopping = true;
    wakeIo();
    if (m_io.joinable())
        m_io.join();
    std::lock_guard lock(m_startMutex);
    if (!m_listenPath.empty())
        ::unlink(m_listenPath.c_str());
}

void Hub::wakeIo()
{
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(m_wakeFd, &one, sizeof one);
    }
}

std::string Hub::listenPath()
{
    ensureStarted();
    std::lock_guard lock(m_startMutex);
    return m_listenPath;
}

void Hub::ioLoop()
{
    std::vector<pollfd> fds;
    std::vector<std::shared_ptr<Connection>> polled;
    std::uint8_t buffer[4096];
    // While the process has no descriptor to spare, a waiting connection cannot be accepted and
    // keeps the listening socket readable: it is left alone for a while instead of polled in a
    // loop that would take a whole core.
    std::optional<std::chrono::steady_clock::time_point> acceptPausedUntil;
    while (!m_stopping.load()) {
        {
            std::lock_guard lock(m_connectionMutex);
            polled = m_connections;
        }
        int timeoutMs = -1;
        if (acceptPausedUntil) {
            const auto left = *acceptPausedUntil - std::chrono::steady_clock::now();
            if (left <= std::chrono::steady_clock::duration::zero())
                acceptPausedUntil.reset();
            else
                timeoutMs = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        }
        fds.clear();
        fds.push_back({m_wakeFd, POLLIN, 0});
        fds.push_back({acceptPausedUntil ? -1 : m_listenFd, POLLIN, 0});  // a negative fd is ignored by poll
        for (const auto& connection : polled)
            fds.push_back({connection->fd, static_cast<short>(POLLIN | (connection->wantsToWrite() ? POLLOUT : 0)), 0});
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0) {
            if (errno == EINTR)
                continue;
            qWarning("window messages: poll failed (%s)", std::strerror(errno));
            return;
        }
        if (fds[0].revents) {
            std::uint64_t count;
            [[maybe_unused]] auto n = ::read(m_wakeFd, &count, sizeof count);
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM))
                acceptPausedUntil = std::chrono::steady_clock::now() + kAcceptRetry;
            if (fd >= 0) {
                ucred credentials{};
                socklen_t length = sizeof credentials;
                if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
                    || credentials.uid != getuid()) {
                    ::close(fd);
                } else {
                    std::lock_guard lock(m_connectionMutex);
                    m_connections.push_back(std::make_shared<Connection>(fd, credentials.pid, false, m_wakeFd));
                }
            }
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            const auto& connection = polled[i];
            const short revents = fds[i + 2].revents;
            if (!revents)
                continue;
            if ((revents & POLLOUT) && !connection->flushQueued()) {
                connectionClosed(connection);
                continue;
            }
            if (!(revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t n = ::recv(connection->fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            bool ok = n > 0;
            if (ok) {
                bool accepted = true;
                ok = connection->assembler.feed(buffer, static_cast<std::size_t>(n), [&](const Frame& frame) {
                    // After a frame of the wrong kind the rest of the stream is not trusted either.
                    if (accepted && !handleFrame(connection, frame))
                        accepted = false;
                });
                ok = ok && accepted;
            }
            if (!ok) {
                if (n > 0)
                    qWarning("window messages: malformed data from process %d, connection closed",
                             static_cast<int>(connection->peerPid));
                connectionClosed(connection);
            }
        }
    }
}

bool Hub::handleFrame(const std::shared_ptr<Connection>& connection, const Frame& frame)
{
    if (connection->outgoing) {
        if (frame.kind != FrameKind::Reply)
            return false;
        if (frame.status == ReplyStatus::NoWindow)
            forget(frame.window);
        completePending(frame.requestId, connection.get(),
                        frame.status == ReplyStatus::Answered ? SendStatus::Answered : SendStatus::PeerGone,
                        frame.wParam);
        return true;
    }
    switch (frame.kind) {
    case FrameKind::Post: {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(frame.window);
        if (it != m_windows.end()) {
            std::lock_guard contextLock(it->second.context->mutex);
            if (it->second.context->dispatcher)
                MessageDispatcher::postMessageEvent(it->second.context->dispatcher, frame.window, frame.msg,
                                                    frame.wParam, frame.lParam);
        }
        return true;
    }
    case FrameKind::Send:
        routeSend({frame.window, frame.msg, frame.wParam, frame.lParam, frame.requestId, connection});
        return true;
    case FrameKind::Reply:
        break;
    }
    return false;
}

void Hub::connectionClosed(const std::shared_ptr<Connection>& connection)
{
    connection->broken = true;
    {
        std::lock_guard lock(m_connectionMutex);
        m_connections.erase(std::remove(m_connections.begin(), m_connections.end(), connection), m_connections.end());
        auto it = m_outgoing.find(connection->peerPid);
        if (it != m_outgoing.end() && it->second == connection)
            m_outgoing.erase(it);
    }
    if (!connection->outgoing)
        return;
    // The peer is gone (or broke the protocol): nothing will answer what we sent it.
    std::vector<std::uint64_t> orphaned;
    {
        std::lock_guard lock(m_pendingMutex);
        for (const auto& [id, pending] : m_pending) {
            if (pending->connection == connection.get())
                orphaned.push_back(id);
        }
    }
    for (auto id : orphaned)
        completePending(id, connection.get(), SendStatus::PeerGone, 0);
}

void Hub::wakeThread(ThreadContext& context)
{
    if (context.dispatcher)
        MessageDispatcher::postWake(context.dispatcher);
    context.cv.notify_all();
}

void Hub::routeSend(IncomingSend item)
{
    std::unique_lock lock(m_mutex);
    auto it = m_windows.find(item.window);
    if (it == m_windows.end()) {
        lock.unlock();
        reply(item, ReplyStatus::NoWindow, 0);
        return;
    }
    ThreadContext& context = *it->second.context;
    std::lock_guard contextLock(context.mutex);
    context.sends.push_back(std::move(item));
    wakeThread(context);
}

void Hub::reply(const IncomingSend& item, ReplyStatus status, LResult result)
{
    if (item.replyTo) {
        Frame frame;
        frame.kind = FrameKind::Reply;
        frame.status = status;
        frame.requestId = item.requestId;
        frame.window = item.window;
        frame.msg = item.msg;
        frame.wParam = result;
        item.replyTo->write(frame);  // a sender that died meanwhile gets nothing
    } else {
        completePending(item.requestId, nullptr,
                        status == ReplyStatus::Answered ? SendStatus::Answered : SendStatus::PeerGone, result);
    }
}

void Hub::completePending(std::uint64_t requestId, const Connection* connection, SendStatus status, LResult result)
{
    std::shared_ptr<PendingSend> pending;
    {
        std::lock_guard lock(m_pendingMutex);
        auto it = m_pending.find(requestId);
        if (it == m_pending.end() || it->second->connection != connection)
            return;  // timed out already, or an answer from a connection it was not sent on
        pending = it->second;
    }
    {
        std::lock_guard lock(pending->waiter->mutex);
        if (pending->done)
            return;
        pending->done = true;
        pending->status = status;
        pending->result = result;
    }
    pending->arrived.store(true, std::memory_order_release);
    pending->waiter->cv.notify_all();
}

void Hub::addWindow(WindowHandle handle, MessageWindow* window, std::shared_ptr<ThreadContext> context)
{
    ensureStarted();
    std::lock_guard lock(m_mutex);
    m_windows[handle] = WindowEntry{window, std::move(context)};
}

void Hub::removeWindow(WindowHandle handle)
{
    std::shared_ptr<ThreadContext> context;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(handle);
        if (it == m_windows.end())
            return;
        context = it->second.context;
        m_windows.erase(it);
    }
    std::vector<IncomingSend> orphans;
    {
        std::lock_guard lock(context->mutex);
        for (auto it = context->sends.begin(); it != context->sends.end();) {
            if (it->window == handle) {
                orphans.push_back(std::move(*it));
                it = context->sends.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& item : orphans)
        reply(item, ReplyStatus::NoWindow, 0);
}

bool Hub::isLocalWindow(WindowHandle window)
{
    std::lock_guard lock(m_mutex);
    return m_windows.count(window) != 0;
}

void Hub::deliverPosted(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam)
{
    MessageWindow* target = nullptr;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(window);
        if (it != m_windows.end() && it->second.context->thread == std::this_thread::get_id())
            target = it->second.window;
    }
    // Windows are destroyed on their own thread, so the target cannot vanish before the call.
    if (target)
        MessageDispatcher::deliver(target, msg, wParam, lParam);
}

void Hub::serveQueuedSends(const std::shared_ptr<ThreadContext>& context)
{
    for (;;) {
        IncomingSend item;
        {
            std::lock_guard lock(context->mutex);
            if (context->sends.empty())
                return;
            item = std::move(context->sends.front());
            context->sends.pop_front();
        }
        serve(item);
    }
}

void Hub::serve(IncomingSend& item)
{
    MessageWindow* target = nullptr;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(item.window);
        if (it != m_windows.end() && it->second.context->thread == std::this_thread::get_id())
            target = it->second.window;
    }
    if (!target) {
        reply(item, ReplyStatus::NoWindow, 0);
        return;
    }
    const LResult result = MessageDispatcher::deliver(target, item.msg, item.wParam, item.lParam);
    reply(item, ReplyStatus::Answered, result);
}

std::optional<Hub::Peer> Hub::resolve(WindowHandle window)
{
    {
        std::lock_guard lock(m_mutex);
        auto it = m_resolved.find(window);
        if (it != m_resolved.end())
            return it->second;
    }
    auto record = readWindowRecord(window);
    if (!record)
        return std::nullopt;
    if (!processAlive(record->pid, record->startTime)) {
        removeWindowRecord(window);
        return std::nullopt;
    }
    Peer peer{record->pid, record->startTime};
    // Handles are never reused, so the answer stays right for the run.
    std::lock_guard lock(m_mutex);
    m_resolved[window] = peer;
    return peer;
}

void Hub::forget(WindowHandle window)
{
    std::lock_guard lock(m_mutex);
    m_resolved.erase(window);
}

std::shared_ptr<Connection> Hub::outgoingConnection(const Peer& peer)
{
    ensureStarted();
    {
        std::lock_guard lock(m_connectionMutex);
        auto it = m_outgoing.find(peer.pid);
        if (it != m_outgoing.end() && !it->second->broken.load())
            return it->second;
    }
    if (!processAlive(peer.pid, peer.startTime))
        return nullptr;
    const std::string path = socketPath(peer.pid);
    if (path.empty())
        return nullptr;
    // Non-blocking: a peer whose queue of waiting connections is full (it accepts no more) is
    // given up at once rather than waited for.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return nullptr;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return nullptr;
    }
    auto connection = std::make_shared<Connection>(fd, peer.pid, true, m_wakeFd);
    {
        std::lock_guard lock(m_connectionMutex);
        auto it = m_outgoing.find(peer.pid);
        if (it != m_outgoing.end() && !it->second->broken.load())
            return it->second;  // another thread connected meanwhile; ours closes unused
        m_outgoing[peer.pid] = connection;
        m_connections.push_back(connection);
    }
    wakeIo();
    return connection;
}

bool Hub::postMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam)
{
    if (window == 0)
        return false;
    {
        // In-process: no file or socket work, so audio threads may post.
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(window);
        if (it != m_windows.end()) {
            std::lock_guard contextLock(it->second.context->mutex);
            if (!it->second.context->dispatcher)
                return false;
            MessageDispatcher::postMessageEvent(it->second.context->dispatcher, window, msg, wParam, lParam);
            return true;
        }
    }
    const auto peer = resolve(window);
    if (!peer || peer->pid == getpid())
        return false;
    auto connection = outgoingConnection(*peer);
    if (!connection)
        return false;
    Frame frame;
    frame.kind = FrameKind::Post;
    frame.window = window;
    frame.msg = msg;
    frame.wParam = wParam;
    frame.lParam = lParam;
    return connection->write(frame);
}

SendStatus Hub::sendMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam, LResult* result,
                            std::chrono::milliseconds timeout)
{
    *result = 0;
    if (window == 0)
        return SendStatus::PeerGone;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto self = currentThreadContext();
    const std::uint64_t requestId = m_nextRequest.fetch_add(1);
    auto pending = std::make_shared<PendingSend>();
    pending->waiter = self;

    std::shared_ptr<ThreadContext> owner;
    MessageWindow* sameThreadTarget = nullptr;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(window);
        if (it != m_windows.end()) {
            if (it->second.context == self)
                sameThreadTarget = it->second.window;
            else
                owner = it->second.context;
        }
    }
    if (sameThreadTarget) {
        *result = MessageDispatcher::deliver(sameThreadTarget, msg, wParam, lParam);
        return SendStatus::Answered;
    }
    if (owner) {
        // Another thread of this process: queue it there and wait like for another program.
        {
            std::lock_guard lock(m_pendingMutex);
            m_pending[requestId] = pending;
        }
        {
            std::lock_guard lock(owner->mutex);
            owner->sends.push_back({window, msg, wParam, lParam, requestId, nullptr});
            wakeThread(*owner);
        }
        return logTimeout(waitForAnswer(pending, requestId, self, Peer{}, deadline, result), window, msg);
    }

    const auto peer = resolve(window);
    if (!peer || peer->pid == getpid())
        return SendStatus::PeerGone;
    auto connection = outgoingConnection(*peer);
    if (!connection)
        return SendStatus::PeerGone;
    pending->connection = connection.get();
    {
        std::lock_guard lock(m_pendingMutex);
        m_pending[requestId] = pending;
    }
    Frame frame;
    frame.kind = FrameKind::Send;
    frame.requestId = requestId;
    frame.window = window;
    frame.msg = msg;
    frame.wParam = wParam;
    frame.lParam = lParam;
    if (!connection->write(frame)) {
        std::lock_guard lock(m_pendingMutex);
        m_pending.erase(requestId);
        return SendStatus::PeerGone;
    }
    return logTimeout(waitForAnswer(pending, requestId, self, *peer, deadline, result), window, msg);
}

SendStatus Hub::waitForAnswer(const std::shared_ptr<PendingSend>& pending, std::uint64_t requestId,
                              const std::shared_ptr<ThreadContext>& self, const Peer& peer,
                              std::chrono::steady_clock::time_point deadline, LResult* result)
{
    using Clock = std::chrono::steady_clock;
    auto nextCheck = Clock::now() + kLivenessCheck;
    bool peerDied = false;
    // Another program's answer usually comes within tens of microseconds: waiting for it awake a
    // little saves this thread's own sleep and wake-up, which would cost about as much again.
    const auto awakeUntil = Clock::now() + kAwakeWait;
    while (!pending->arrived.load(std::memory_order_acquire) && Clock::now() < awakeUntil)
        std::this_thread::yield();
    std::unique_lock lock(self->mutex);
    while (!pending->done) {
        if (!self->sends.empty()) {
            // Serve what is sent to this thread meanwhile, so that mutual sends never deadlock.
            IncomingSend item = std::move(self->sends.front());
            self->sends.pop_front();
            lock.unlock();
            serve(item);
            lock.lock();
            continue;
        }
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        if (peer.pid != 0 && now >= nextCheck) {
            // The closed connection normally tells first; this catches a peer stuck as a zombie.
            lock.unlock();
            const bool alive = processAlive(peer.pid, peer.startTime);
            lock.lock();
            if (!alive) {
                peerDied = true;
                break;
            }
            nextCheck = now + kLivenessCheck;
            continue;
        }
        self->cv.wait_until(lock, peer.pid != 0 ? std::min(deadline, nextCheck) : deadline);
    }
    const bool done = pending->done;
    const SendStatus status = done ? pending->status : (peerDied ? SendStatus::PeerGone : SendStatus::TimedOut);
    const LResult answer = done ? pending->result : 0;
    lock.unlock();
    {
        std::lock_guard pendingLock(m_pendingMutex);
        m_pending.erase(requestId);
    }
    *result = status == SendStatus::Answered ? answer : 0;
    return status;
}

}  // namespace platform::ipc
