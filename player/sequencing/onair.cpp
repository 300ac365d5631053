// What every start shows: the on-air label and tray tip, the playing row's name and duration,
// the list's position, and the daily play report with its list.
#include "player/form1.h"

#include "controls/vqlistview.h"
#include "engine/audioengine.h"
#include "media/tag.h"
#include "platform/cp1251.h"
#include "platform/programfolder.h"
#include "platform/pathtext.h"
#include "player/sequencing/formsequencer.h"
#include "player/sequencing/nextitem.h"
#include "player/playlist/playlistrows.h"
#include "player/reporterror.h"
#include "player/sequencing/sequencing.h"
#include "player/sequencing/sequencingoptions.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QToolButton>

namespace player {

namespace {

std::string tagField(const char* field, std::size_t size)
{
    return platform::cp1251ToUtf8(TrimTagField(std::string_view(field, size)));
}

}  // namespace

void TForm1::SetOnAirText(const QString& text)
{
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    lOnAir->setText(lines.join('\n'));
    // The label's hint reads "artist - title" on one line.
    lOnAir->setToolTip(lines.size() > 1 ? lines[0] + QStringLiteral(" - ") + lines[1] : text);
    if (TrayIcon)
        TrayIcon->setToolTip(text.isEmpty() ? QStringLiteral("Quorvalen")
                                            : QString::fromStdString(trayTip(text.toStdString())));
}

void TForm1::TrackStarted(int row)
{
    auto* deck = Sequencer ? dynamic_cast<EngineDeck*>(&Sequencer->deckA()) : nullptr;
    if (deck == nullptr)
        return;
    const engine::TrimResult& trim = deck->engine().Trim;
    Label10->setText(QString::asprintf("start: %.2f s,  end: %.2f s", static_cast<double>(trim.startSeconds),
                                       static_cast<double>(trim.tailSeconds)));
    if (row >= 0 && row < LVMaster->rowCount())
        LoadTrackNotes(LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[kColPath]);
}

void TForm1::UpdateNowPlaying(const QString& fileName, int row)
{
    const std::string path = platform::pathBytes(fileName);
    // Read with the file when it was opened ahead: a long file or a slow disk does not hold the
    // start.
    const std::optional<ItemInfo> prepared = NextItems ? NextItems->startedInfo(path) : std::nullopt;
    media::TTagRecord tag{};
    bool read = false;
    if (prepared) {
        tag = prepared->tag;
        read = prepared->tagRead;
    } else {
        if (!Readers)
            Readers = std::make_unique<TagReaders>();
        std::string info;
        read = ReadFileInfo(*Readers, path, tag, info);
    }
    const std::string artist = tagField(tag.Artist, sizeof tag.Artist);
    const std::string title = tagField(tag.Title, sizeof tag.Title);
    SetOnAirText(platform::pathForDisplay(platform::pathToQString(onAirText(read, artist, title, path))));
    if (AutoEq != nullptr && AutoEq->isChecked())
        AutoEqualizerPreset(QString::fromStdString(platform::cp1251ToUtf8(tag.Genre.str())));

    if (row < 0 || row >= LVMaster->rowCount())
        return;
    TVirtualItem& item = LVMaster->Rows[static_cast<std::size_t>(row)];
    item.SubItems[kColMarker].clear();
    QString name;
    if (read)
        name = JoinArtistTitle(QString::fromStdString(artist), QString::fromStdString(title));
    if (name.isEmpty())
        name = platform::pathForDisplay(platform::pathToQString(media::ExtractFileBaseName(path)));
    item.SubItems[kColName] = name;
    // A CD track is measured only once: reading its length spins the disc.
    const bool cdTrack = QFileInfo(fileName).suffix().compare(QStringLiteral("cda"), Qt::CaseInsensitive) == 0;
    if (!cdTrack || item.SubItems[kColDuration] == QStringLiteral("??:??")) {
        const std::int32_t ms = prepared && prepared->durationMs >= 0 ? prepared->durationMs : media::GetFileDurationMs(path);
        item.SubItems[kColDuration] = QString::fromStdString(media::FormatTimeShort(ms));
    }

    if (cbCenterList->isChecked())
        CenterPlayingRow();
    LVMaster->viewport()->update();
    if (ReportOn)
        WriteReportLine(item.SubItems[kColName]);
    LVMaster->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void TForm1::WriteReportLine(const QString& name)
{
    const std::string text = SeqHost ? SeqHost->report.write(name.toStdString())
                                     : PlayReport(platform::programFolder()).write(name.toStdString());
    ListBox2->addItem(QString::fromStdString(text));
    ListBox2->scrollToItem(ListBox2->item(ListBox2->count() - 1));
}

void TForm1::LoadReportList()
{
    const std::vector<std::string> lines =
        SeqHost ? SeqHost->report.todayLines() : PlayReport(platform::programFolder()).todayLines();
    ListBox2->clear();
    for (const std::string& l : lines)
        ListBox2->addItem(QString::fromStdString(platform::decodeText(l)));
    if (ListBox2->count() > 0)
        ListBox2->scrollToItem(ListBox2->item(ListBox2->count() - 1));
}

bool TForm1::EnsureReportFolder()
{
    const PlayReport fallback(platform::programFolder());
    const PlayReport& report = SeqHost ? SeqHost->report : fallback;
    if (report.ensureFolder())
        return true;
    ReportAudioError(-1, report.folder(), "CreateDir (Report)");
    return false;
}

void TForm1::edArtistClick()
{
    const int hl = LVMaster->HLIndex;
    const bool autoupdate = Sequencer ? Sequencer->modes().autoupdateTag : true;
    if (autoupdate && hl >= 0 && hl < LVMaster->rowCount())
        LVMaster->selectRows({hl});
    CenterPlayingRow();
}

void TForm1::CenterPlayingRow()
{
    LVMaster->scrollToTop();
    const int hl = LVMaster->HLIndex;
    if (hl < 0 || hl >= LVMaster->rowCount())
        return;
    const int rowHeight = LVMaster->visualRect(LVMaster->model()->index(0, 0)).height();
    const int top = centeredTopRow(hl, LVMaster->viewport()->height(), rowHeight);
    if (top >= 0 && top < LVMaster->rowCount())
        LVMaster->scrollTo(LVMaster->model()->index(top, 0), QAbstractItemView::PositionAtTop);
}

}  // namespace player
