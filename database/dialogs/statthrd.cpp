// The statistics run: durations and names, then the sizes with their progress.
#include "database/dialogs/statthrd.h"

#include "database/dialogs/statfrm.h"

namespace database {

TStatThrd::TStatThrd(std::vector<media::TTrackRecord> snapshot, QLocale locale, StatWords words)
    : m_records(std::move(snapshot)), m_locale(std::move(locale)), m_words(std::move(words))
{
}

TStatThrd::~TStatThrd()
{
    requestStop();
    wait();
}

void TStatThrd::synchronize(std::function<void(TStatFrm&)> step)
{
    if (!m_window || stopRequested())
        return;
    // Queued, not waited for: the window waits for this thread when it closes, so a step that
    // waited for the window could never finish. The window drops steps after its close.
    TStatFrm* window = m_window;
    QMetaObject::invokeMethod(
        window, [window, step = std::move(step)] { step(*window); }, Qt::QueuedConnection);
}

void TStatThrd::run()
{
    StatResults results;
    if (!computeDurationsAndNames(m_records, results, m_stop, m_words))
        return;
    synchronize([](TStatFrm& w) { w.StopGaugeAnimation(); });
    synchronize([results](TStatFrm& w) { w.ShowResults(results); });
    synchronize([](TStatFrm& w) { w.ShowGaugeText(); });
    if (beforeSizes)
        beforeSizes();
    const bool done = computeSizes(
        m_records, results, m_locale,
        [this](int percent) { synchronize([percent](TStatFrm& w) { w.ShowSizeProgress(percent); }); }, m_stop,
        m_words);
    if (!done)
        return;
    synchronize([](TStatFrm& w) { w.HideGauge(); });
    synchronize([results](TStatFrm& w) { w.ShowResults(results); });
}

}  // namespace database
