// The options dialog and the statistics window with its worker thread.
#include "database/basemainwindow.h"

#include "database/dialogs/optfrm.h"
#include "database/dialogs/statfrm.h"
#include "database/dialogs/statthrd.h"
#include "database/tracklistmodel.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace database {

void TBase_main_window::Button7Click()
{
    TOptFrm dialog(Options, ListView1, m_previewDeck.get(), this);
    ApplyCaptions(&dialog, "Options.Captions");
    execDialog(dialog);
    // The list is drawn again with the colours chosen.
    applyOptionsToView();
    ListView1->viewport()->update();
}

void TBase_main_window::Button9Click()
{
    // A previous run not freed yet has ended with its window: free it now.
    Timer2->stop();
    m_statThread.reset();
    Button9->setEnabled(false);
    m_statFinished = false;
    TStatFrm::BaseFigures figures;
    figures.records = Base.List2.size();
    figures.totalTime = Label17->text();
    figures.liveCount = [this] { return Base.List2.size(); };
    figures.words = Texts.Stat;
    TStatFrm form(figures, this);
    ApplyCaptions(&form, "StatFrm.Captions");
    // The copy is taken here, on this thread: the worker never reads the base itself.
    std::vector<media::TTrackRecord> snapshot;
    snapshot.reserve(Base.List2.size());
    for (const media::TTrackRecord* r : Base.List2)
        snapshot.push_back(*r);
    m_statThread = std::make_unique<TStatThrd>(std::move(snapshot), QLocale(), Texts.Stat);
    connect(m_statThread.get(), &QThread::finished, this, [this] { StatThreadDone(); }, Qt::QueuedConnection);
    form.setThread(m_statThread.get());
    execDialog(form);
    // Closing the window has stopped and waited for the worker; one that never started ends here.
    if (!m_statThread->isRunning())
        StatThreadDone();
    Timer2->start();
}

void TBase_main_window::StatThreadDone() { m_statFinished = true; }

void TBase_main_window::Timer2Timer()
{
    // Only a run that has really ended is freed (a late end notice of an earlier run proves nothing).
    if (!m_statFinished || (m_statThread && m_statThread->isRunning()))
        return;
    m_statThread.reset();
    Timer2->stop();
    Button9->setEnabled(!busy());
}

}  // namespace database
