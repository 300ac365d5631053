// Adding tracks: Add folder, Add files, durations and the total times.
#include "database/basemainwindow.h"

#include "controls/lang.h"
#include "controls/selectionrows.h"
#include "database/abortflag.h"
#include "database/folderscan.h"
#include "database/passscope.h"
#include "database/progresswindow.h"
#include "database/recordtext.h"
#include "database/strconst.h"
#include "database/tracklistmodel.h"
#include "database/vqstatusbar.h"
#include "engine/audioengine.h"
#include "media/tag.h"
#include "platform/messageids.h"
#include "platform/usermessages.h"

#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace database {

namespace {

// The files of one add that did not become records, and why.
struct LeftOut {
    std::size_t tried = 0;
    std::size_t noTag = 0;  // left out by the option "no files with empty tags"
    std::vector<std::string> tooLong;

    void count(AddOutcome outcome, const std::string& path)
    {
        ++tried;
        if (outcome == AddOutcome::NoTag)
            ++noTag;
        else if (outcome == AddOutcome::TooLong)
            tooLong.push_back(path);
    }
};

// Said once, at the end of the add.
void reportLeftOut(const LeftOut& left)
{
    std::string text;
    if (left.noTag > 0)
        text = QString::fromStdString(_str_notag)
                   .arg(QString::number(left.noTag), QString::number(left.tried))
                   .toStdString();
    if (!left.tooLong.empty()) {
        if (!text.empty())
            text += "\r\n\r\n";
        text += "Путь длиннее 255 байт, файлы не добавлены:";
        for (const std::string& p : left.tooLong)
            text += "\r\n" + p;
    }
    if (!text.empty())
        platform::messageBox(text, kAppTitle, platform::MB_OK | platform::MB_ICONWARNING);
}

}  // namespace

TProgress_window* TBase_main_window::openProgress(const std::string& operation)
{
    closeProgress();
    auto* pw = new TProgress_window(this, m_host);
    ApplyCaptions(pw, "Progress.Captions");
    pw->setWindowTitle(QString::fromStdString(_p_addtracks));
    pw->lbCurOp->setText(QString::fromStdString(operation));
    m_progress = pw;
    pw->show();
    return pw;
}

void TBase_main_window::closeProgress()
{
    if (m_progress) {
        TProgress_window* pw = m_progress;
        m_progress = nullptr;
        pw->close();
        // A closing window counts as Cancel; the caller's own close is not a cancel.
        AbortFlag = false;
    }
}

void TBase_main_window::finishPass()
{
    if (m_closeAfterPass && !m_passRunning && !m_searching) {
        m_closeAfterPass = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
    scheduleDeferred();
}

void TBase_main_window::Button1Click()
{
    if (m_passRunning || m_searching)
        return;
    platform::postMessage(handle(), platform::UM_CENTER_DIALOG, 0, 0);
    const auto folder = platform::userMessages().selectFolder("", m_lastFolder);
    if (!folder || folder->empty())
        return;
    addFolder(*folder);
}

void TBase_main_window::addFolder(const std::string& folder)
{
    if (m_passRunning || m_searching)
        return;
    LeftOut left;
    {
        PassScope pass(m_passRunning, passCommands());
        QElapsedTimer started;
        started.start();
        m_lastFolder = folder;
        openProgress(_p_scanfolders);
        if (m_progress) {
            m_progress->Button9->show();
            m_progress->Label19->show();
            m_progress->Label18->show();
        }
        AbortFlag = false;
        Modified = true;

        FolderScanner scanner;
        scanner.abort = &AbortFlag;
        scanner.onFolder = [this](const std::string& dir, std::size_t found) {
            if (m_progress)
                m_progress->setFolder(QString::fromStdString(dir));
            Label3->setText(QString::number(found));
            pumpMessages();
        };
        std::vector<ScanEntry> entries;
        scanner.CollectFiles(folder, entries);
        for (const std::string& path : scanner.tooLong)
            left.count(AddOutcome::TooLong, path);

        if (m_progress) {
            m_progress->Button9->hide();
            m_progress->Label19->hide();
            m_progress->Label18->hide();
            m_progress->lbCurOp->setText(QString::fromStdString(_p_readtags));
            m_progress->ProgressBar1->show();
            m_progress->Button9->show();
            m_progress->ProgressBar1->setValue(0);
        }
        // Cancel during the scan ends only the scan: what was found is still read. A progress
        // window closed by the user leaves no way to stop the reading, so nothing is read then.
        const bool windowGone = !m_progress;
        AbortFlag = false;
        const std::size_t count = windowGone ? 0 : entries.size();
        for (std::size_t i = 0; i < count; ++i) {
            left.count(AddFile(entries[i].path, entries[i].size), entries[i].path);
            if (passItemDone(i, count))
                break;
        }
        m_model->refresh();
        Label3->setText(QString::number(Base.size()));
        Label5->setText("---");
        closeProgress();
        reportLeftOut(left);
        if (Options.CountTime)
            CountAllTime();
        CalcTotalTime(0);
        Timer3->start();
        VqStatusBar1->setPanelText(1, QString::fromStdString("Build time: " + formatTotalTime(started.elapsed())));
    }
    finishPass();
}

AddOutcome TBase_main_window::AddFile(const std::string& path, std::int64_t size)
{
    try {
        media::TTrackRecord record;
        bool readFailed = false;
        const AddOutcome outcome = makeTrackRecord({size, path}, Options.NoEmpty, record, &readFailed);
        if (readFailed && !Options.NoError)
            platform::messageBox("Error! File: " + path, kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
        if (outcome == AddOutcome::Added)
            Base.append(std::make_unique<media::TTrackRecord>(record));
        return outcome;
    } catch (const std::exception& e) {
        reportError("AddFile", e.what());
        return AddOutcome::Failed;
    }
}

void TBase_main_window::Button10Click()
{
    if (m_passRunning || m_searching)
        return;
    const std::string filter = m_previewDeck ? controls::RenamedFilter(m_previewDeck->GetFileFilter(), Texts.AudioFiles)
                                             : "mp3, wav|*.mp3;*.wav";
    const auto files = platform::userMessages().openFileNames("", filter, "");
    addFiles(files ? *files : std::vector<std::string>());
}

void TBase_main_window::addFiles(const std::vector<std::string>& files)
{
    if (m_passRunning || m_searching)
        return;
    LeftOut left;
    for (const std::string& f : files)
        left.count(AddFile(f, 0), f);
    if (!files.empty())
        Modified = true;
    m_model->refresh();
    Label3->setText(QString::number(Base.size()));
    reportLeftOut(left);
    // Only the records without a duration are measured, whatever the option says.
    const bool keep = Options.CheckTimeOnce;
    Options.CheckTimeOnce = true;
    CountAllTime();
    Options.CheckTimeOnce = keep;
}

void TBase_main_window::CountAllTime()
{
    if (Base.List.empty() || m_searching)
        return;
    {
        PassScope pass(m_passRunning, passCommands());
        openProgress(_p_counttime);
        AbortFlag = false;
        if (m_progress) {
            m_progress->ProgressBar1->show();
            m_progress->Button9->show();
            m_progress->ProgressBar1->setValue(0);
        }
        try {
            const std::size_t count = Base.List.size();
            for (std::size_t i = 0; i < count && i < Base.List.size(); ++i) {
                media::TTrackRecord* r = Base.List[i];
                if (Options.CheckTimeOnce && r->Duration != 0)
                    continue;
                const std::int32_t ms = media::GetFileDurationMs(std::string(storedBytes(*r, Field::FileName)));
                Base.setDuration(r, ms < 0 ? 0 : ms);
                if (passItemDone(i, count))
                    break;
            }
        } catch (const std::exception& e) {
            reportError("CountAllTime (for i:=0 to C-1 do)", e.what());
        }
        CalcTotalTime(0);
        closeProgress();
        AbortFlag = false;
        ListView1->viewport()->update();
    }
    finishPass();
}

bool TBase_main_window::passItemDone(std::size_t i, std::size_t count)
{
    if (m_progress)
        m_progress->ProgressBar1->setValue(static_cast<int>(i * 100 / count));
    if (onPassItem)
        onPassItem(i + 1);
    pumpMessages();
    return AbortFlag;
}

void TBase_main_window::CalcTotalTime(int flag)
{
    auto text = [](std::int64_t ms, bool unknown) {
        return QString::fromStdString(formatTotalTime(ms) + (unknown ? "+" : ""));
    };
    // The base keeps its total as durations change; only the selection is summed here.
    if (flag == 0)
        Label17->setText(text(Base.totalMs(), Base.unmeasuredCount() > 0));
    std::int64_t selected = 0;
    bool unknown = false;
    if (QItemSelectionModel* sel = ListView1->selectionModel()) {
        const int rowCount = static_cast<int>(Base.List.size());
        for (const int row : controls::selectedRowsByRange(*sel, kColumnCount, rowCount)) {
            const media::TTrackRecord* r = Base.List[static_cast<std::size_t>(row)];
            if (r->Duration == 0)
                unknown = true;
            selected += std::max<std::int32_t>(r->Duration, 0);
        }
    }
    Label20->setText(text(selected, unknown));
}

}  // namespace database

namespace database {
TProgress_window* TBase_main_window::progressWindow() const { return m_progress; }
}  // namespace database
