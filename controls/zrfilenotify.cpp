// The watcher and its thread: building the inotify set on the thread, waiting, folding bursts of
// changes into one report per kind, and handing reports to the user-interface thread.
#include "controls/zrfilenotify.h"

#include "platform/process.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <sys/inotify.h>
#include <unistd.h>

namespace controls {

namespace {

constexpr int kWaitMs = 200;
constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kWriteEvents = IN_MODIFY | IN_CLOSE_WRITE;

// Order in which kinds take slots, and so the order in which kinds signalled together report.
constexpr TNotifyKind kSlotOrder[] = {nkFileName, nkDirName, nkSize, nkLastWrite, nkAttributes};

std::uint32_t inotifyMaskOf(TNotifyKind kind)
{
    switch (kind) {
    case nkFileName:
    case nkDirName: return kNameEvents;
    case nkAttributes: return IN_ATTRIB;
    case nkSize:
    case nkLastWrite: return kWriteEvents;
    default: return 0;
    }
}

}  // namespace

TFileNotify::TFileNotify(TNotifyFilter filter) : m_filter(filter) {}

TFileNotify::~TFileNotify()
{
    m_thread.reset();
}

void TFileNotify::SetPath(const std::string& folder)
{
    std::string path = folder;
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    {
        std::lock_guard lock(m_pathMutex);
        if (path == m_path)
            return;
        m_path = path;
    }
    if (m_thread)
        m_thread->RequestRebuild();
}

std::string TFileNotify::Path() const
{
    std::lock_guard lock(m_pathMutex);
    return m_path;
}

void TFileNotify::Start(bool running)
{
    if (!m_thread)
        m_thread = std::make_unique<TNotificationThread>(this, running);
}

void TFileNotify::Suspend()
{
    if (m_thread)
        m_thread->Pause();
}

void TFileNotify::Resume()
{
    if (m_thread)
        m_thread->Run();
}

void TFileNotify::DoChange(TNotifyKind kind)
{
    if (OnChange)
        OnChange(this, kind);
}

TNotificationThread::TNotificationThread(TFileNotify* owner, bool running) : Owner(owner)
{
    m_paused.store(!running, std::memory_order_relaxed);
    m_thread = std::thread([this] { Execute(); });
}

TNotificationThread::~TNotificationThread()
{
    m_stop.store(true, std::memory_order_relaxed);
    {
        std::lock_guard lock(m_reportMutex);
        if (m_pendingReport) {
            std::lock_guard reportLock(m_pendingReport->mutex);
            m_pendingReport->cancelled = true;
            m_pendingReport->done.notify_all();
        }
    }
    m_inotify.wake();
    if (m_thread.joinable())
        m_thread.join();
    CloseHandles();
}

void TNotificationThread::Pause()
{
    m_paused.store(true, std::memory_order_relaxed);
    m_inotify.wake();
}

void TNotificationThread::Run()
{
    m_paused.store(false, std::memory_order_relaxed);
    m_inotify.wake();
}

void TNotificationThread::RequestRebuild()
{
    m_rebuild.store(true, std::memory_order_relaxed);
    m_inotify.wake();
}

int TNotificationThread::HandleCount() const
{
    std::lock_guard lock(m_stateMutex);
    return m_handleCount;
}

std::array<TNotifyKind, TNotificationThread::kSlots> TNotificationThread::Kinds() const
{
    std::lock_guard lock(m_stateMutex);
    return m_kinds;
}

int TNotificationThread::WatchCount() const
{
    std::lock_guard lock(m_stateMutex);
    return m_watchCount;
}

bool TNotificationThread::Built() const
{
    std::lock_guard lock(m_stateMutex);
    return m_built;
}

bool TNotificationThread::WaitBuilt(int timeoutMs) const
{
    std::unique_lock lock(m_stateMutex);
    return m_builtChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_built; });
}

bool TNotificationThread::EventMatches(TNotifyKind kind, std::uint32_t mask)
{
    if (mask & IN_Q_OVERFLOW)
        return true;  // changes were lost: any kind may have happened
    const bool folder = (mask & IN_ISDIR) != 0;
    switch (kind) {
    case nkFileName: return !folder && (mask & kNameEvents);
    case nkDirName: return folder && (mask & kNameEvents);
    case nkAttributes: return (mask & IN_ATTRIB) != 0;
    case nkSize: return !folder && (mask & kWriteEvents);
    case nkLastWrite: return (mask & kWriteEvents) != 0;
    default: return false;
    }
}

void TNotificationThread::CloseHandles()
{
    m_inotify.clear();
    std::lock_guard lock(m_stateMutex);
    m_kinds.fill(nkFileName);
    m_handleCount = 0;
    m_watchCount = 0;
}

void TNotificationThread::OpenHandles(std::uint32_t mask)
{
    const TNotifyFilter filter = Owner->Filter();
    if (!m_inotify.watch(Owner->Path(), mask, (filter & NotifyFlag(nkSubtree)) != 0))
        throw EFileNotificationError();
}

void TNotificationThread::BuildHandles()
{
    if (!Owner || Owner->Filter() == 0)
        return;
    std::array<TNotifyKind, kSlots> kinds{};
    int count = 0;
    std::uint32_t mask = 0;
    for (const TNotifyKind kind : kSlotOrder)
        if (Owner->Filter() & NotifyFlag(kind)) {
            kinds[count++] = kind;
            mask |= inotifyMaskOf(kind);
        }
    if (count == 0)
        return;
    try {
        OpenHandles(mask);
    } catch (const EFileNotificationError&) {
        CloseHandles();  // a folder that cannot be watched: the watcher runs and reports nothing
        return;
    }
    std::lock_guard lock(m_stateMutex);
    m_kinds = kinds;
    m_handleCount = count;
    m_watchCount = m_inotify.watchCount();
}

void TNotificationThread::Rebuild()
{
    CloseHandles();
    BuildHandles();
    std::lock_guard lock(m_stateMutex);
    m_built = true;
    m_builtChanged.notify_all();
}

void TNotificationThread::Report()
{
    Owner->DoChange(CurrentKind);
}

void TNotificationThread::ReportOnOwnerThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (Owner->Synchronous() || !app) {
        Report();
        return;
    }
    auto pending = std::make_shared<PendingReport>();
    {
        std::lock_guard lock(m_reportMutex);
        if (m_stop.load(std::memory_order_relaxed))
            return;
        m_pendingReport = pending;
    }
    const TNotifyKind kind = CurrentKind;
    TFileNotify* owner = Owner;
    QMetaObject::invokeMethod(
        app,
        [pending, owner, kind] {
            {
                std::lock_guard lock(pending->mutex);
                if (pending->cancelled)
                    return;  // the watcher is being destroyed
            }
            owner->DoChange(kind);
            std::lock_guard lock(pending->mutex);
            pending->finished = true;
            pending->done.notify_all();
        },
        Qt::QueuedConnection);
    {
        std::unique_lock lock(pending->mutex);
        pending->done.wait(lock, [&] { return pending->finished || pending->cancelled; });
    }
    std::lock_guard lock(m_reportMutex);
    m_pendingReport.reset();
}

std::uint32_t TNotificationThread::SignalledSlots(const std::vector<std::uint32_t>& masks) const
{
    std::uint32_t signalled = 0;
    for (int i = 0; i < m_handleCount; ++i)
        for (const std::uint32_t mask : masks)
            if (EventMatches(m_kinds[i], mask)) {
                signalled |= 1u << i;
                break;
            }
    return signalled;
}

void TNotificationThread::Execute()
{
    // The lowest priority, kept also when the program raises its own.
    const platform::LowestPriorityScope lowest;

    std::vector<std::uint32_t> masks;
    while (!m_stop.load(std::memory_order_relaxed)) {
        if (m_paused.load(std::memory_order_relaxed)) {
            m_inotify.wait(-1, masks, false);  // until Run or the end; changes stay queued
            continue;
        }
        if (!Built() || m_rebuild.exchange(false, std::memory_order_relaxed))
            Rebuild();
        int handleCount;
        {
            std::lock_guard lock(m_stateMutex);
            handleCount = m_handleCount;
        }
        if (handleCount < 1) {
            m_inotify.wait(kWaitMs, masks, false);  // nothing to watch: sleep, do not spin
            continue;
        }
        masks.clear();
        if (m_inotify.wait(kWaitMs, masks, true) != platform::InotifyWatcher::Wait::Changes)
            continue;
        std::uint32_t pending = SignalledSlots(masks);
        while (pending && !m_stop.load(std::memory_order_relaxed)) {
            int slot = 0;
            while (!(pending & (1u << slot)))
                ++slot;
            CurrentKind = m_kinds[slot];
            ReportOnOwnerThread();
            pending &= ~(1u << slot);
            // Changes of the same kind that came in meanwhile belong to this report.
            for (;;) {
                masks.clear();
                if (!m_inotify.poll(masks))
                    break;
                const std::uint32_t now = SignalledSlots(masks);
                pending |= now & ~(1u << slot);
                if (!(now & (1u << slot)))
                    break;
            }
        }
    }
}

}  // namespace controls
