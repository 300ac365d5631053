// TForm1's playlist editing: adding files and folders, drops, cut/copy/paste/undo/delete, find,
// sort, shuffle, rename, the play-next mark, renumbering and the notes marks.
#include "player/form1.h"

#include "controls/zrfoldertreeview.h"
#include "engine/audioengine.h"
#include "media/tag.h"
#include "platform/copyfile.h"
#include "platform/cp1251.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"
#include "platform/pathtext.h"
#include "player/playlist/finddialog.h"
#include "player/playlist/folderscan.h"
#include "player/playlist/playlistrows.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabWidget>

#include <charconv>
#include <chrono>
#include <cstdio>

namespace player {

namespace {

QString fromTag(const char* field, std::size_t size)
{
    return QString::fromStdString(platform::cp1251ToUtf8(TrimTagField(std::string_view(field, size))));
}

bool isSupportedFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.fileName() == QStringLiteral("line.in"))
        return true;
    const QString suffix = info.suffix();
    return !suffix.isEmpty() && media::IsSupportedMediaFile(("." + suffix).toStdString());
}

bool isFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

}  // namespace

QString TForm1::DisplayNameOf(const QString& path)
{
    media::TTagRecord tag{};
    std::string info;
    if (!Readers)
        Readers = std::make_unique<TagReaders>();
    const std::string p = platform::pathBytes(path);
    if (ReadFileInfo(*Readers, p, tag, info)) {
        const QString name = JoinArtistTitle(fromTag(tag.Artist, sizeof tag.Artist), fromTag(tag.Title, sizeof tag.Title));
        if (!name.isEmpty())
            return name;
    }
    return platform::pathForDisplay(platform::pathToQString(media::ExtractFileBaseName(p)));
}

void TForm1::AddFile(const QString& path)
{
    TVirtualItem row;
    row.SubItems[kColName] = DisplayNameOf(path);
    row.SubItems[kColDuration] = QString::fromStdString(media::FormatTimeShort(media::GetFileDurationMs(platform::pathBytes(path))));
    row.SubItems[kColPath] = path;
    if (PendingInsertIndex < 0) {
        const int r = CurrentList->AddRow(QString());
        CurrentList->Rows[static_cast<std::size_t>(r)] = row;
        CurrentList->syncView();
    } else {
        CurrentList->InsertRow(std::min(PendingInsertIndex, CurrentList->rowCount()), row);
        ++PendingInsertIndex;
    }
}

void TForm1::AddDir(const QString& folder)
{
    if (m_inScan)
        return;  // a second folder add from a drop during the first one's message pumping
    m_inScan = true;
    ScanAbort = false;
    Label28->show();
    Label11->show();
    QString base = folder;
    while (base.size() > 1 && (base.endsWith('/') || base.endsWith('\\')))
        base.chop(1);
    std::vector<std::string> files;
    FolderScanHooks hooks;
    hooks.aborted = [this] { return ScanAbort; };
    hooks.enterFolder = [this](const std::string& f) {
        const QString text = platform::pathForDisplay(platform::pathToQString(f));
        Label11->setText(Label11->fontMetrics().elidedText(text, Qt::ElideMiddle, std::max(Label11->width(), 50)));
        QApplication::processEvents();
    };
    ScanFolder(platform::pathBytes(base), files, hooks);
    Label11->hide();
    Gauge1->setValue(0);
    Gauge1->show();
    ScanAbort = false;
    const std::size_t n = files.size();
    const std::int64_t d = n > 1 ? static_cast<std::int64_t>(n) - 1 : 1;
    for (std::size_t i = 0; i < n && !ScanAbort; ++i) {
        AddFile(platform::pathToQString(files[i]));
        Gauge1->setValue(static_cast<int>(static_cast<std::int64_t>(i) * 100 / d));
        QApplication::processEvents();
    }
    Gauge1->hide();
    Label28->hide();
    m_inScan = false;
}

void TForm1::RenumberList()
{
    // Every editing command ends here: the clipboard, undo and row count may have changed.
    UpdateActions();
    if (!ListsReady)
        return;
    controls::TVqListView* list = CurrentList;
    // A caption that already holds its number is left alone: most edits move few rows.
    for (int i = 0; i < list->rowCount(); ++i) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, i + 1).ptr;
        QString& caption = list->Rows[static_cast<std::size_t>(i)].Caption;
        const QLatin1String number(digits, end);
        if (caption != number)
            caption = number;
    }
    list->syncView();
    Panel2->setText(SummaryLine(Messages[3], list->rowCount(), TotalSeconds(list->Rows)));
    ShowComments(true);
}

void TForm1::ShowComments(bool all)
{
    if (!Comment)
        return;
    const int n = LVMaster->rowCount();
    int first = 0;
    int last = n - 1;
    if (!all) {
        const QModelIndex top = LVMaster->indexAt(QPoint(1, 1));
        first = top.isValid() ? top.row() : 0;
        last = std::min(first + 50, n - 1);
    }
    // After an edit only tracks new to the list are looked up; the visible rows are looked up
    // again when asked for them alone (their notes have just been saved or removed).
    if (NotesMarksOfMain.mark(LVMaster->Rows, first, last, platform::programPath("Txt") + "/", !all))
        LVMaster->viewport()->update();
}

void TForm1::N25Click()
{
    PendingInsertIndex = -1;
    std::string filter = Texts.Filter(PlayerText::AudioFiles, "*.wav;*.mp3;*.ogg;*.wma;*.cda|");
    if (DeckA)
        filter = Texts.DeckFilter(DeckA->GetFileFilter());
    filter += Texts.Filter(PlayerText::LineIn, "line.in");
    if (auto files = platform::userMessages().openFileNames("", filter, "")) {
        for (const std::string& f : *files)
            AddFile(platform::pathToQString(f));
    }
    RenumberList();
}

void TForm1::aEditCutExecute()
{
    CurrentList->CutSelection();
    RenumberList();
    RefreshTagPage();
    if (LVMaster->HLIndex == -1)
        aStop();
}

void TForm1::aEditCopyExecute()
{
    CurrentList->CopySelection();
    RenumberList();
}

void TForm1::aEditPasteExecute()
{
    CurrentList->PasteRows();
    RenumberList();
}

void TForm1::aEditUndoExecute()
{
    controls::TVqListView* list = CurrentList;
    if (list->CanUndo()) {
        // Undo leaves the marks to its caller: they go back onto the rows that hold them.
        const int playing = list->HLIndex;
        const int next = list->NextIndex;
        const int savedPlaying = list->undoHLIndex();
        const int savedNext = list->undoNextIndex();
        const std::vector<TVirtualItem> before = list->Undo();
        list->HLIndex = MarkAfterUndo(before, list->Rows, playing, savedPlaying);
        list->NextIndex = MarkAfterUndo(before, list->Rows, next, savedNext);
    }
    RenumberList();
}

void TForm1::aEditDelExecute()
{
    const int first = CurrentList->firstSelectedRow();
    if (first < 0)
        return;
    CurrentList->DeleteSelection();
    RenumberList();
    if (first < CurrentList->rowCount())
        CurrentList->selectRows({first});
    RefreshTagPage();
    if (LVMaster->HLIndex == -1)
        aStop();
}

void TForm1::aEditDelAllExecute()
{
    CurrentList->SaveUndo();
    CurrentList->ClearRows();
    RenumberList();
    RefreshTagPage();
    if (LVMaster->HLIndex == -1)
        aStop();
}

void TForm1::N37Click()
{
    std::vector<int> all(static_cast<std::size_t>(CurrentList->rowCount()));
    for (int i = 0; i < CurrentList->rowCount(); ++i)
        all[static_cast<std::size_t>(i)] = i;
    CurrentList->selectRows(all);
}

void TForm1::N27Click()
{
    FindDialog1->show();
    FindDialog1->raise();
}

void TForm1::FindNext()
{
    CurrentList->selectRows({});
    const int hit = FindRow(CurrentList->Rows, FindDialog1->Tag, FindDialog1->FindText());
    if (hit < 0) {
        platform::messageBox(Messages[4].toStdString(), "Caldrivane", platform::MB_OK | platform::MB_ICONINFORMATION);
        FindDialog1->Tag = -1;
        return;
    }
    FindDialog1->Tag = hit;
    CurrentList->selectRows({hit});
    CurrentList->setCurrentIndex(CurrentList->model()->index(hit, 0));
    CurrentList->scrollTo(CurrentList->model()->index(hit, 0), QAbstractItemView::PositionAtCenter);
    RefreshTagPage();
}

void TForm1::LVMasterColumnClick(int header)
{
    if (!AllowSort)
        return;
    controls::TVqListView* list = LVMaster;
    const int hl = list->HLIndex >= 0 && list->HLIndex < list->rowCount() ? list->HLIndex : -1;
    const int newHl = SortRows(list->Rows, header, PlaylistSortDirection, hl);
    if (hl >= 0)
        list->HLIndex = newHl;
    RenumberList();
    list->syncView();
    PlaylistSortDirection = -PlaylistSortDirection;
}

void TForm1::Randomize1Click()
{
    Random.seed(static_cast<std::mt19937::result_type>(std::chrono::steady_clock::now().time_since_epoch().count()));
    controls::TVqListView* list = CurrentList;
    const int hl = list->HLIndex >= 0 && list->HLIndex < list->rowCount() ? list->HLIndex : -1;
    const int newHl = ShuffleRows(list->Rows, Random, hl);
    if (hl >= 0)
        list->HLIndex = newHl;
    RenumberList();
    list->syncView();
}

void TForm1::N55Click()
{
    const int selected = LVMaster->firstSelectedRow();
    if (selected >= 0)
        LVMaster->NextIndex = selected;
    LVMaster->viewport()->update();
}

void TForm1::N53Click()
{
    const int selected = CurrentList->firstSelectedRow();
    if (selected < 0)
        return;
    controls::TVqListView* list = CurrentList;
    const QString oldName = list->Rows[static_cast<std::size_t>(selected)].SubItems[kColPath];
    const std::string oldPath = platform::pathBytes(oldName);
    std::string value = oldPath;
    if (platform::userMessages().inputQuery("Rename File", "Filename:", value) && !value.empty() && value != oldPath) {
        // Never over an existing file; to another volume the file is copied and the old one removed.
        std::string error;
        if (platform::moveFile(oldPath, value, &error)) {
            // The box let the message loop run, so rows may have come or gone: the rows are found
            // by the file's old name, which none of them can play any more.
            for (TVirtualItem& r : list->Rows)
                if (r.SubItems[kColPath] == oldName)
                    r.SubItems[kColPath] = platform::pathToQString(value);
            list->viewport()->update();
        } else {
            platform::messageBox("Не удалось переименовать файл\r\n" + platform::decodeText(oldPath) + "\r\n" +
                                     platform::decodeText(error),
                                 "Rename File", platform::MB_OK | platform::MB_ICONERROR);
        }
    }
    ShowTagInfo();
}

void TForm1::mSlave2MasterClick()
{
    controls::ReserveRows(LVMaster->Rows, LVMaster->Rows.size() + LVSlave->Rows.size());
    for (const TVirtualItem& row : LVSlave->Rows) {
        TVirtualItem copy = row;
        copy.ImageIndex = kImageOrdinary;
        LVMaster->Rows.push_back(std::move(copy));
    }
    LVMaster->syncView();
}

void TForm1::N21Click()
{
    const QFont current = CurrentList->font();
    const std::optional<platform::FontSpec> chosen =
        platform::userMessages().chooseFont(platform::qtmessages::fromQFont(current));
    if (!chosen)
        return;
    QFont font = platform::qtmessages::toQFont(*chosen);
    if (chosen->pointSize <= 0)
        font.setPointSize(current.pointSize());
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->scrollToTop();
        list->horizontalScrollBar()->setValue(0);
        list->setFont(font);
    }
}

void TForm1::Refresh1Click()
{
    const std::string dir = SHView->Directory();
    SHView->collapseAll();
    SHView->SetDirectory(dir);
    if (QTreeWidgetItem* item = SHView->currentItem())
        item->setExpanded(true);
}

void TForm1::pcPlaylistChange()
{
    const bool main = pcPlaylist->currentWidget() == _master;
    CurrentList = main ? LVMaster : LVSlave;
    RefreshTagPage();
    UpdateCaption();
    RenumberList();
    mSlave2Master->setVisible(!main);
    N55->setVisible(main);
    UpdateActions();
}

bool TForm1::CurrentListActive() const
{
    const QWidget* control = focusWidget();
    return CurrentList != nullptr && control != nullptr &&
           (control == CurrentList || CurrentList->isAncestorOf(control));
}

void TForm1::UpdateActions()
{
    if (CurrentList == nullptr)
        return;
    // The edit keys are the list's only while it has the focus: from the folder tree, a text
    // field or a slider they must not empty or fill the playlist under the item on air.
    const bool active = CurrentListActive();
    const bool selected = CurrentList->hasSelectedRows();
    aEditCut->setEnabled(active && selected);
    aEditCopy->setEnabled(active && selected);
    aEditDel->setEnabled(active && selected);
    aEditUndo->setEnabled(CurrentList->CanUndo());
    aEditPaste->setEnabled(active && !controls::ClipboardRows().empty());
    aEditDelAll->setEnabled(active && CurrentList->rowCount() > 0);
    // The list's popup offers nothing that has no row to act on.
    N55->setEnabled(selected);
    N53->setEnabled(selected);
    N52->setEnabled(selected);
    N51->setEnabled(selected && RearPlay.isNull());  // one pre-listen window at a time
    mSlave2Master->setEnabled(LVSlave->rowCount() > 0);
}

void TForm1::LVMasterDragDrop(QObject* source, int row)
{
    controls::TVqListView* list = CurrentList;
    if (row >= 0 && row < list->rowCount()) {
        list->setCurrentIndex(list->model()->index(row, 0));
        PendingInsertIndex = row;
    } else {
        PendingInsertIndex = list->rowCount();
    }
    if (source == SHView) {
        const QString path = QString::fromStdString(SHView->Directory());
        const QFileInfo info(path);
        if (info.isDir()) {
            pcPlaylist->setEnabled(false);
            AddDir(path + "/");
            pcPlaylist->setEnabled(true);
        } else if (isSupportedFile(path)) {
            pcPlaylist->setEnabled(false);
            AddFile(path);
            pcPlaylist->setEnabled(true);
        } else if (info.suffix().toUpper() == QStringLiteral("M3U")) {
            list->InsertRow(PendingInsertIndex,
                            PlaylistRowInserted(path, media::GetM3UTotalSeconds(path.toStdString())));
        } else {
            return;
        }
    } else if (source == LVFindResult) {
        // The whole selection goes in as one block, so the list moves its rows once.
        std::vector<TVirtualItem> items;
        for (int r : LVFindResult->selectedRows()) {
            const TVirtualItem& found = LVFindResult->Rows[static_cast<std::size_t>(r)];
            TVirtualItem item;
            item.SubItems[kColName] = JoinArtistTitle(found.Caption, found.SubItems[0]);
            item.SubItems[kColDuration] = found.SubItems[1];
            item.SubItems[kColPath] = found.SubItems[2];
            items.push_back(std::move(item));
        }
        const int count = static_cast<int>(items.size());
        list->InsertRows(PendingInsertIndex, std::move(items));
        PendingInsertIndex += count;
    } else {
        return;
    }
    RenumberList();
}

void TForm1::WMDropFiles(const QStringList& paths)
{
    for (const QString& name : paths) {
        PendingInsertIndex = CurrentList->rowCount();
        if (isFolder(name))
            AddDir(name + "/");
        else if (isSupportedFile(name))
            AddFile(name);
    }
    RenumberList();
}

void TForm1::SHView1DblClick()
{
    PendingInsertIndex = -1;
    pcPlaylist->setEnabled(false);
    const QString path = QString::fromStdString(SHView->Directory());
    if (path.size() > 3 && !isFolder(path)) {
        if (QFileInfo(path).suffix().toLower() == QStringLiteral("m3u")) {
            const TVirtualItem row = PlaylistRowAppended(path, media::GetM3UTotalSeconds(path.toStdString()));
            CurrentList->Rows.push_back(row);
            CurrentList->syncView();
        } else if (QFileInfo::exists(path)) {
            AddFile(path);
        }
    }
    RenumberList();
    pcPlaylist->setEnabled(true);
}

}  // namespace player
