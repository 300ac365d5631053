// Connects TForm1 to the sequencer and the main timer: the host interface over LVMaster, the
// transport commands, the end-of-track message and the main timer's QTimer.
#include "player/sequencing/formsequencer.h"

#include "engine/audioengine.h"
#include "media/tag.h"
#include "platform/cp1251.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "platform/pathtext.h"
#include "controls/tbar.h"
#include "controls/vtqstatusbar.h"
#include "player/form1.h"
#include "player/playlist/playlistrows.h"
#include "player/sequencing/displayformat.h"
#include "player/sequencing/nextitem.h"
#include "player/sequencing/sequencing.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/systemload.h"

#include <QSystemTrayIcon>
#include <QLabel>
#include <QTime>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

namespace player {

FormSequencerHost::FormSequencerHost(TForm1& form) : report(platform::programFolder()), m_form(form) {}

int FormSequencerHost::rowCount() const { return m_form.LVMaster->rowCount(); }
int FormSequencerHost::hlIndex() const { return m_form.LVMaster->HLIndex; }
void FormSequencerHost::setHlIndex(int row) { m_form.LVMaster->HLIndex = row; }
int FormSequencerHost::nextIndex() const { return m_form.LVMaster->NextIndex; }
void FormSequencerHost::setNextIndex(int row) { m_form.LVMaster->NextIndex = row; }

int FormSequencerHost::firstSelectedRow() const
{
    return m_form.LVMaster->firstSelectedRow();
}

void FormSequencerHost::selectOnly(int row, bool focus)
{
    controls::TVqListView* list = m_form.LVMaster;
    if (row < 0 || row >= list->rowCount()) {
        list->selectRows({});
        return;
    }
    list->selectRows({row});
    if (focus)
        list->setCurrentIndex(list->model()->index(row, 0));
}

std::string FormSequencerHost::displayName(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return m_form.LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[kColName].toStdString();
}

std::string FormSequencerHost::fileName(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return platform::pathBytes(m_form.LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[kColPath]);
}

void FormSequencerHost::updateNowPlaying(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_form.UpdateNowPlaying(m_form.LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[kColPath], row);
}

void FormSequencerHost::clearOnAirText() { m_form.SetOnAirText(QString()); }

void FormSequencerHost::breakReleased() { m_form.btBreak->setChecked(false); }

void FormSequencerHost::startingTrack() { m_form.SoundStartingTrack(); }

void FormSequencerHost::trackStarted(int row)
{
    m_form.TrackStarted(row);
    m_form.SoundTrackStarted(row);
    m_form.ScheduledRowStarted(row);
}

void FormSequencerHost::nothingToPlay() { m_form.SettleScheduledItems(); }

void FormSequencerHost::rowFailed(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    TVirtualItem& item = m_form.LVMaster->Rows[static_cast<std::size_t>(row)];
    item.SubItems[kColMarker] = QString::fromLatin1(kMarkerOpenFailed);
    m_form.ShowFailure(QStringLiteral("Файл не открывается: ") + item.SubItems[kColPath]);
    m_form.LVMaster->viewport()->update();
}

void FormSequencerHost::fadeTimerFailed()
{
    // Shown from inside a main-timer tick, the box would keep every later tick (the next mix
    // point, the end of the item now on air) waiting for the operator's answer.
    QTimer::singleShot(0, &m_form, [] {
        platform::messageBox(kFadeTimerFailedText, kFadeTimerFailedCaption, platform::MB_ICONERROR);
    });
}

void FormSequencerHost::reportError(const std::string& text, const std::string& caption)
{
    if (*m_errorShowing)
        return;
    *m_errorShowing = true;
    QTimer::singleShot(0, &m_form, [showing = m_errorShowing, text, caption] {
        platform::messageBox(text, caption, platform::MB_OK | platform::MB_ICONERROR);
        *showing = false;
    });
}

void FormSequencerHost::repaint() { m_form.LVMaster->viewport()->update(); }

void FormSequencerHost::setPositionBar(int value) { m_form.TBar1->setValue(value); }

void FormSequencerHost::showClock(const std::string& clock, const std::string& cpu, const std::string& memory)
{
    m_form.timelabel->setText(QString::fromStdString(clock));
    if (controls::TvtqStatusPanel* panel = m_form.StatusBar1->Panels().Items(1))
        panel->setText(QString::fromStdString(cpu));
    if (controls::TvtqStatusPanel* panel = m_form.StatusBar1->Panels().Items(2))
        panel->setText(QString::fromStdString(memory));
}

void FormSequencerHost::showAutoLevel(bool on, double gain)
{
    if (m_form.Label14 != nullptr)
        m_form.Label14->setText(
            QString::fromStdString(autoLevelText(on, gain, m_form.Texts[PlayerText::AutoLevelOff].toStdString())));
}

bool FormSequencerHost::autoLevel(double& gain) { return m_form.AutoLevelGain(gain); }
double FormSequencerHost::cpuLoad() { return m_form.CpuLoad(); }
double FormSequencerHost::memoryUsed() { return physicalMemoryUsedPercent(); }
int FormSequencerHost::loadEmergencyList() { return m_form.LoadEmergencyList(); }

void FormSequencerHost::showTimes(const std::string& main, const std::string& second)
{
    m_form.edToEnd->setText(QString::fromStdString(main));
    m_form.EdToEnd2->setText(QString::fromStdString(second));
}

void FormSequencerHost::clearOnAirDetails() { m_form.Label10->clear(); }

void FormSequencerHost::showDeckStates(const std::string& line) { m_form.Label29->setText(QString::fromStdString(line)); }

void FormSequencerHost::firstTick()
{
    m_form.FillGenreBox();
    m_form.UpdateCaption();
    m_form.LoadReportList();
    m_form.pcPlaylist->setCurrentWidget(m_form._master);
    m_form.LVMaster->viewport()->repaint();
}

void FormSequencerHost::localTime(int& hour, int& minute, int& second)
{
    const QTime now = QTime::currentTime();
    hour = now.hour();
    minute = now.minute();
    second = now.second();
}

void TForm1::CreateSequencer()
{
    SeqHost = std::make_unique<FormSequencerHost>(*this);
    NextItems = std::make_unique<NextItemPreparer>();
    DeckAView = std::make_unique<EngineDeck>(*DeckA, NextItems.get());
    DeckBView = std::make_unique<EngineDeck>(*DeckB, NextItems.get());
    Sequencer = std::make_unique<PlaybackSequencer>(*SeqHost, *DeckAView, *DeckBView, platform::MultimediaTimers::system());
    Sequencer->classNames().fadeSign = Ini.FadeSign;
    QPointer<QWidget> viewport = LVMaster->viewport();
    // Runs on the fade timer's thread: only a queued repaint reaches the list.
    Sequencer->fadeOut().setOnFinished([viewport](SequencerDeck*) {
        QMetaObject::invokeMethod(viewport, [viewport] {
            if (viewport)
                viewport->update();
        }, Qt::QueuedConnection);
    });
    MainTick = std::make_unique<MainTimer>(*Sequencer, *SeqHost);
    maintimer = new QTimer(this);
    maintimer->setObjectName(QStringLiteral("maintimer"));
    maintimer->setSingleShot(true);
    connect(maintimer, &QTimer::timeout, this, [this] { maintimerTimer(); });
    maintimer->start(MainTimer::kFirstIntervalMs);
    pointtimer = new QTimer(this);
    pointtimer->setObjectName(QStringLiteral("pointtimer"));
    pointtimer->setSingleShot(true);
    pointtimer->setTimerType(Qt::PreciseTimer);
    connect(pointtimer, &QTimer::timeout, this, [this] { pointtimerTimer(); });
}

void TForm1::ArmPointTimer()
{
    if (!Sequencer || !pointtimer || !maintimer)
        return;
    // A deck's position moves in steps of up to one output block (about 10 ms), so a point seen
    // from the position lies up to a block nearer than it looks: the one-shot comes a block early
    // and looks again every millisecond until the point is reached.
    constexpr std::int64_t kPositionStepMs = 10;
    const std::int64_t ms = Sequencer->msToNextPoint();
    const int untilTick = maintimer->isActive() ? maintimer->remainingTime() : MainTimer::kIntervalMs;
    if (ms > 0 && ms < untilTick)
        pointtimer->start(static_cast<int>(std::max<std::int64_t>(1, ms - kPositionStepMs)));
    else
        pointtimer->stop();
}

void TForm1::pointtimerTimer()
{
    if (!MainTick)
        return;
    MainTick->pointTick();
    // A position that had not yet reached the point (it moves in steps) is looked at again.
    ArmPointTimer();
}

void TForm1::maintimerTimer()
{
    if (!MainTick)
        return;
    try {
        MainTick->tick();
    } catch (const std::exception& e) {
        SeqHost->reportError(std::string("Exception: ") + e.what() + "\r\nFunc: maintimerTimer", "MainTimerError");
    }
    // A single-shot timer restarted after the tick: ticks never pile up behind a slow one.
    if (maintimer)
        maintimer->start(MainTick->intervalMs());
    ArmPointTimer();
}

void TForm1::DestroySequencer()
{
    if (maintimer)
        maintimer->stop();
    if (pointtimer)
        pointtimer->stop();
    MainTick.reset();
    Sequencer.reset();  // aborts a running fade, waiting for its callback
    DeckAView.reset();
    DeckBView.reset();
    NextItems.reset();  // waits for an item being opened, frees what was opened
    SeqHost.reset();
}

void TForm1::aPlay()
{
    if (Sequencer)
        Sequencer->aPlay();
}

void TForm1::aStop()
{
    if (Sequencer)
        Sequencer->aStop();
}

void TForm1::aPause()
{
    if (Sequencer)
        Sequencer->aPause();
}

void TForm1::aNextTrack()
{
    if (Sequencer)
        Sequencer->aNextTrack();
}

void TForm1::aPrevTrack()
{
    if (Sequencer)
        Sequencer->aPrevTrack();
}

void TForm1::LVMasterDblClick()
{
    if (LVMaster->firstSelectedRow() < 0 || PlayLocked)
        return;
    // The play makes the selected row the playing one once it has started; marked beforehand, a
    // row that cannot be opened would stay marked while the item on air goes on.
    aPlay();
}

void TForm1::WMDeckEnded(platform::WParam wParam, platform::LParam lParam)
{
    engine::TAudioEngine* deck = engine::TAudioEngine::FromEndMessage(wParam, lParam);
    if (deck == nullptr || deck->Window() != handle())
        return;
    const auto start = static_cast<std::uint32_t>(wParam);
    SequencerDeck* view = deck == DeckA.get() ? static_cast<SequencerDeck*>(DeckAView.get())
                          : deck == DeckB.get() ? static_cast<SequencerDeck*>(DeckBView.get())
                                                : nullptr;
    if (view != nullptr) {
        if (Sequencer)
            Sequencer->WMDeckEnded(*view, start);
        return;
    }
    // Every other deck made with this window (a jingle's, the monitor's) ends the same way: left
    // playing, its window would never close and the decks would stay lowered under it.
    if (deck->State() == engine::STATE_PLAY)
        deck->StopIfStart(start, engine::STATE_END);
}

}  // namespace player
