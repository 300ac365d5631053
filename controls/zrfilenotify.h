// Watching a folder (or a whole drive) for changes: TFileNotify describes the watch and owns a
// lowest-priority TNotificationThread that waits on inotify and reports each kind of change.
#pragma once

#include "platform/inotifywatcher.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace controls {

enum TNotifyKind : std::uint8_t {
    nkFileName = 0,
    nkDirName = 1,
    nkAttributes = 2,
    nkSize = 3,
    nkLastWrite = 4,
    nkSubtree = 5,  // not a kind: watch the whole subtree
};

// A set of TNotifyKind: member n is bit n.
using TNotifyFilter = std::uint8_t;
constexpr TNotifyFilter NotifyFlag(TNotifyKind kind)
{
    return static_cast<TNotifyFilter>(1u << kind);
}

class EFileNotificationError : public std::runtime_error {
public:
    EFileNotificationError() : std::runtime_error("Невозможно установить обработчик нотификаций") {}
};

class TNotificationThread;

class TFileNotify {
public:
    using ChangeHandler = std::function<void(TFileNotify* sender, TNotifyKind kind)>;

    explicit TFileNotify(TNotifyFilter filter);
    virtual ~TFileNotify();
    TFileNotify(const TFileNotify&) = delete;
    TFileNotify& operator=(const TFileNotify&) = delete;

    // A trailing "/" is dropped except from "/" itself. Changing the path of a started watcher
    // makes its thread rebuild its watch set.
    void SetPath(const std::string& folder);
    std::string Path() const;
    void SetSynchronous(bool synchronous) { m_synchronous.store(synchronous, std::memory_order_relaxed); }
    bool Synchronous() const { return m_synchronous.load(std::memory_order_relaxed); }
    TNotifyFilter Filter() const { return m_filter; }

    // Assigned by the creator before Start; not changed while the thread runs.
    ChangeHandler OnChange;

    // Creates the thread. Started paused, it builds nothing until its first Resume, so that a
    // watcher that never runs costs neither a walk of its tree nor inotify watches.
    void Start(bool running = true);
    // Both do nothing on a watcher that was never started.
    void Suspend();
    void Resume();
    bool Started() const { return m_thread != nullptr; }
    TNotificationThread* Thread() const { return m_thread.get(); }

    virtual void DoChange(TNotifyKind kind);

private:
    mutable std::mutex m_pathMutex;
    std::string m_path;
    const TNotifyFilter m_filter;
    std::atomic<bool> m_synchronous{false};
    std::unique_ptr<TNotificationThread> m_thread;
};

class TNotificationThread {
public:
    static constexpr int kSlots = 8;

    TNotificationThread(TFileNotify* owner, bool running);
    // Asks the thread to end, cancels a report waiting for the user-interface thread, waits for
    // the end and only then closes the watch set.
    ~TNotificationThread();
    TNotificationThread(const TNotificationThread&) = delete;
    TNotificationThread& operator=(const TNotificationThread&) = delete;

    void Pause();
    void Run();
    bool Paused() const { return m_paused.load(std::memory_order_relaxed); }
    void RequestRebuild();

    // The slot layout, safe to read from any thread once WaitBuilt has answered true.
    int HandleCount() const;
    std::array<TNotifyKind, kSlots> Kinds() const;
    int WatchCount() const;
    bool Built() const;
    bool WaitBuilt(int timeoutMs) const;

    // inotify event bits that count for a kind.
    static bool EventMatches(TNotifyKind kind, std::uint32_t mask);

private:
    struct PendingReport {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool cancelled = false;
    };

    void Execute();
    void Rebuild();
    void CloseHandles();
    void BuildHandles();
    void OpenHandles(std::uint32_t mask);
    void Report();
    void ReportOnOwnerThread();
    std::uint32_t SignalledSlots(const std::vector<std::uint32_t>& masks) const;

    TFileNotify* const Owner;
    platform::InotifyWatcher m_inotify;

    mutable std::mutex m_stateMutex;
    mutable std::condition_variable m_builtChanged;
    std::array<TNotifyKind, kSlots> m_kinds{};
    int m_handleCount = 0;
    int m_watchCount = 0;
    bool m_built = false;
    TNotifyKind CurrentKind = nkFileName;

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_rebuild{false};
    std::mutex m_reportMutex;
    std::shared_ptr<PendingReport> m_pendingReport;
    std::thread m_thread;
};

}  // namespace controls
