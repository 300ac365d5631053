// TForm1's schedule: the schedule page, the 50 ms timer that fires due entries into the Main list,
// the scheduled rows of a started block, the schedule dialog, the schedule file and the schedule's
// share of a profile.
#include "player/form1.h"
#include "player/namedwidget.h"

#include "engine/audioengine.h"
#include "platform/inifile.h"
#include "platform/pathtext.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/playlist/playlistfile.h"
#include "player/profiles/profilehooks.h"
#include "player/reporterror.h"
#include "player/schedule/scheduledrows.h"
#include "player/schedule/schedulecolumns.h"
#include "player/schedule/schedulefile.h"
#include "player/language/translate.h"
#include "player/schedule/timeform.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace player {

namespace {

constexpr int kScheduleTickMs = 50;
constexpr int kDateColumnWidth = 70;
constexpr int kTimeColumnWidth = 60;

// The Main list's rows were changed behind whatever list is current.
void RenumberMainList(TForm1& form)
{
    form.LVMaster->syncView();
    controls::TVqListView* previous = form.CurrentList;
    form.CurrentList = form.LVMaster;
    form.RenumberList();
    form.CurrentList = previous;
    form.RenumberList();
}

bool isPlaylist(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("m3u"), Qt::CaseInsensitive) == 0;
}

}  // namespace

void TForm1::buildSchedulePage()
{
    TabSheet4 = named(new QWidget, "TabSheet4");
    auto* layout = new QVBoxLayout(TabSheet4);
    auto* top = new QHBoxLayout;
    cbSchedule = named(new QCheckBox(QStringLiteral("Вкл"), TabSheet4), "cbSchedule");
    Button1 = named(new QPushButton(QStringLiteral("Составить расписание..."), TabSheet4), "Button1");
    top->addWidget(cbSchedule);
    top->addWidget(Button1);
    top->addStretch(1);
    layout->addLayout(top);
    rasp = named(new QTreeWidget(TabSheet4), "rasp");
    rasp->setRootIsDecorated(false);
    rasp->setHeaderLabels({QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Название")});
    prepareScheduleColumns(*rasp);
    fitScheduleColumns(*rasp, 0, kTimeColumnWidth);
    layout->addWidget(rasp, 1);
    PageControl1->addTab(TabSheet4, QStringLiteral("Расписание"));

    rasptimer = named(new QTimer(this), "rasptimer");
    rasptimer->setInterval(kScheduleTickMs);
    if (!ScheduleClock)
        ScheduleClock = [] { return QDateTime::currentDateTime(); };
    connect(cbSchedule, &QCheckBox::clicked, this, [this] { cbScheduleClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(rasptimer, &QTimer::timeout, this, [this] { rasptimerTimer(); });
    // The hidden list shares the playlists' double click.
    connect(rhelper, &QAbstractItemView::doubleClicked, this, [this] { LVMasterDblClick(); });
}

void TForm1::cbScheduleClick()
{
    if (cbSchedule->isChecked())
        rasptimer->start();
    else
        rasptimer->stop();
}

void TForm1::RefreshScheduleList()
{
    const std::vector<ScheduleEntry>& entries = TimeSchedule.entries();
    rasp->clear();
    for (const ScheduleEntry& e : entries)
        new QTreeWidgetItem(rasp, {scheduleDateText(e.date), scheduleTimeText(e.time), e.path});
    fitScheduleColumns(*rasp, UseDate ? kDateColumnWidth : 0, kTimeColumnWidth);
}

void TForm1::rasptimerTimer()
{
    // A box raised by a start must not let a nested tick fire the next entry under it.
    if (m_scheduleFiring)
        return;
    const QScopedValueRollback firing(m_scheduleFiring, true);
    const Schedule::Tick tick = TimeSchedule.tick(ScheduleClock());
    if (tick.fired || tick.dropped > 0)
        RefreshScheduleList();
    if (tick.fired)
        FireScheduleEntry(*tick.fired);
}

void TForm1::FireScheduleEntry(const ScheduleEntry& entry)
{
    // The rows of a list the operator is reading come before the scheduled ones.
    Reads->finish();
    const int at = scheduleInsertionPoint(*LVMaster);
    const bool deckPlaying = Sequencer && Sequencer->deckA().State() == engine::STATE_PLAY;
    const bool startNow = StartImmediately || LVMaster->rowCount() == 0 || !deckPlaying;
    if (isPlaylist(entry.path)) {
        // Read afresh each time: what the hidden list held before must never go on air again.
        rhelper->ClearRows();
        if (auto rows = ReadPlaylistFile(platform::pathBytes(entry.path)); rows && !rows->empty()) {
            rhelper->Rows = std::move(*rows);
        } else {
            // Told once, through the event queue: the box must not hold up the start below.
            tellScheduleOperator(this,
                                 Texts.Text(PlayerText::SchedulePlaylistUnread) + "\r\n" + entry.path.toStdString());
        }
        rhelper->syncView();
        insertScheduledRows(*LVMaster, at, rhelper->Rows);
    } else {
        insertScheduledRows(*LVMaster, at, {scheduledFileRow(entry.path)});
    }
    RenumberMainList(*this);
    if (!startNow)
        return;
    if (LVMaster->HLIndex < 0) {
        LVMaster->selectRows({0});
        aPlay();
    } else {
        aNextTrack();
    }
}

void TForm1::ScheduledRowStarted(int row)
{
    if (!markScheduledRowStarted(*LVMaster, row, InScheduledBlock))
        return;
    LVMaster->viewport()->update();
    SettleScheduledItems();
}

void TForm1::SettleScheduledItems()
{
    if (!settleScheduledRows(*LVMaster, InScheduledBlock))
        return;
    RenumberMainList(*this);
}

void TForm1::Button1Click()
{
    auto* dialog = new Ttimeform(*this);
    TranslateForm(dialog, "Schedule.Captions");
    TranslateColumns(LanguageFileName(), "ScheduleListColumns", dialog->rasplist, 3);
    dialog->takeSchedule(TimeSchedule.entries(), ScheduleRest);
    dialog->rightnow->setChecked(StartImmediately);
    connect(dialog, &QDialog::finished, this, [this] { RefreshScheduleList(); });
    dialog->show();
}

void TForm1::LoadSchedule(const std::string& path)
{
    ScheduleFile file = readScheduleFile(path);
    TimeSchedule.setEntries(std::move(file.entries), UseDate, ScheduleClock());
    ScheduleRest = std::move(file.rest);
    RefreshScheduleList();
    tellScheduleOperator(this, unreadScheduleEntriesText(path, ScheduleRest));
}

void TForm1::SaveSchedule(const std::string& path)
{
    std::string error;
    if (!writeScheduleFile(path, TimeSchedule.entries(), ScheduleRest, &error))
        ReportAudioError(-1, path,
                         "SaveSchedule (" + (error.empty() ? Texts.Text(PlayerText::WriteFailed) : error) + ")");
}

void TForm1::LoadScheduleProfile(const platform::IniFile& ini, const ProfileLoad& how)
{
    {
        const QSignalBlocker quiet(cbSchedule);
        cbSchedule->setChecked(ini.readBool("TimeTable", "ScheduleState", false));
    }
    cbScheduleClick();
    StartImmediately = ini.readBool("TimeTable", "StartImmediately", false);
    UseDate = ini.readBool("TimeTable", "UseDate", false);
    LoadSchedule(profileScheduleFile(platform::programFolder(), how.path));
}

void TForm1::SaveScheduleProfile(platform::IniFile& ini)
{
    ini.writeBool("TimeTable", "ScheduleState", cbSchedule->isChecked());
    ini.writeBool("TimeTable", "StartImmediately", StartImmediately);
    ini.writeBool("TimeTable", "UseDate", UseDate);
    SaveSchedule(profileScheduleFile(platform::programFolder(), CurrentProfile));
}

}  // namespace player
