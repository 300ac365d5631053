// TStatThrd: the statistics window's worker. It works on a copy of the base taken on the
// user-interface thread, so the base may change or be freed meanwhile; it reaches its window only
// through steps queued to the window's thread, each carrying its results by value.
#pragma once

#include "database/dialogs/statistics.h"

#include <QLocale>
#include <QThread>

#include <atomic>
#include <functional>
#include <vector>

namespace database {

class TStatFrm;

class TStatThrd : public QThread {
    Q_OBJECT
public:
    TStatThrd(std::vector<media::TTrackRecord> snapshot, QLocale locale, StatWords words = {});
    // Stops and waits for the run.
    ~TStatThrd() override;

    // The window that receives the steps; set before the thread starts, never changed.
    void setWindow(TStatFrm* window) { m_window = window; }
    // The stop request, polled between records; every step queued earlier then does nothing.
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }
    bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }
    std::size_t recordCount() const { return m_records.size(); }

    // Runs on the worker between the names and the sizes (tests hold the run there).
    std::function<void()> beforeSizes;

protected:
    void run() override;  // Execute

private:
    void synchronize(std::function<void(TStatFrm&)> step);

    const std::vector<media::TTrackRecord> m_records;
    const QLocale m_locale;
    const StatWords m_words;
    std::atomic<bool> m_stop{false};
    TStatFrm* m_window = nullptr;
};

}  // namespace database
