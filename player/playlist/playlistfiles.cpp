// TForm1's whole-playlist commands: new, open, save, save as, append, insert a playlist row, the
// recent playlists and their ".hst" file, the window caption and status panels 3 to 5.
#include "player/form1.h"

#include "controls/vtqstatusbar.h"
#include "engine/enginesettings.h"
#include "media/tag.h"
#include "platform/pathtext.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"
#include "player/reporterror.h"

#include <QFileInfo>

namespace player {

namespace {

std::string playlistFilter(const PlayerTexts& texts)
{
    return texts.Filter(PlayerText::M3uPlaylist, "*.m3u");
}

// "n. path"; an "&" in the path is shown as it is, not taken as the item's accelerator.
QString recentCaption(std::size_t k, QString path)
{
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("%1. %2").arg(k + 1).arg(path);
}

}  // namespace

QString& TForm1::CurrentListName()
{
    return ListNames[CurrentList == LVSlave ? 1 : 0];
}

bool TForm1::LoadPlaylist(const QString& path, std::string* error)
{
    Reads->finish();
    PlaylistRead read = ReadPlaylistRows(platform::pathBytes(path));
    return PutPlaylist(*CurrentList, path, read, error);
}

bool TForm1::PutPlaylist(controls::TVqListView& list, const QString& path, PlaylistRead& read, std::string* error)
{
    ReportLongLinesLeftOut(platform::pathBytes(path), read.longLinesLeftOut);
    if (!read.rows) {
        if (error)
            *error = read.error;
        // The list stays as it was. Left empty by this failure, it must never be saved over the
        // file, which may well hold entries that could not be read just now.
        const QFileInfo file(path);
        if (list.Rows.empty() && file.exists() && file.size() > 0)
            UnreadPlaylists[&list] = path;
        return false;
    }
    UnreadPlaylists.erase(&list);
    // Replacing the rows drops the marks, as clearing does. The rows are let go of elsewhere.
    Reads->dispose(list.takeRows());
    list.syncView();
    list.Rows.swap(*read.rows);
    Reads->dispose(std::move(*read.rows));
    list.syncView();
    TakeReadMarks(list, read, 0, list.rowCount());
    RenumberListOf(list);
    return true;
}

std::string TForm1::NotesFolderFor(const controls::TVqListView& list) const
{
    return Comment && &list == LVMaster ? platform::programPath("Txt") + "/" : std::string();
}

void TForm1::TakeReadMarks(controls::TVqListView& list, const PlaylistRead& read, int first, int end)
{
    if (read.marker && &list == LVMaster)
        MainTally.markedBy(list, first, end, NotesMarksOfMain, NotesFolderFor(list), *read.marker);
}

void TForm1::RenumberListOf(controls::TVqListView& list)
{
    controls::TVqListView* const current = std::exchange(CurrentList, &list);
    RenumberList();
    CurrentList = current;
}

bool TForm1::SavePlaylist(const QString& path)
{
    const auto unread = UnreadPlaylists.find(CurrentList);
    if (unread != UnreadPlaylists.end() && unread->second == path) {
        if (CurrentList->Rows.empty()) {
            ReportAudioError(-1, path.toStdString(),
                             "Playlist.SaveToFile (" + Texts.Text(PlayerText::ListKeptUnread) + ")");
            return false;
        }
        UnreadPlaylists.erase(unread);
    }
    std::string error;
    if (WritePlaylistFile(platform::pathBytes(path), CurrentList->Rows, error))
        return true;
    ReportAudioError(-1, path.toStdString(), "Playlist.SaveToFile (" + error + ")");
    return false;
}

void TForm1::LoadHistory(const QString& path)
{
    std::string why;
    const std::optional<std::vector<std::string>> lines = ReadHistoryFile(path.toStdString(), &why);
    if (!lines) {
        if (QFileInfo::exists(path))
            ReportUnreadFile(PlayerText::FileUnread, path, why);
        return;
    }
    for (QAction* item : h)
        item->setVisible(false);
    for (std::size_t k = 0; k < lines->size() && k < h.size(); ++k) {
        RecentPlaylists[k] = QString::fromStdString((*lines)[k]);
        h[k]->setText(recentCaption(k, RecentPlaylists[k]));
        h[k]->setVisible(true);
    }
}

void TForm1::SaveHistory(const QString& path)
{
    std::vector<std::string> paths;
    for (std::size_t n = 0; n < h.size() && h[n]->isVisible(); ++n)
        paths.push_back(RecentPlaylists[n].toStdString());
    // The recent list only grows from what a history file gave it. Empty over a file that holds
    // something, it was never filled from that file (it could not be read, or the profile was
    // missing and another name's history was read): that file is kept as it is.
    const QFileInfo file(path);
    if (paths.empty() && file.exists() && !(file.isFile() && file.size() == 0))
        return;
    std::string error;
    if (!WriteHistoryFile(path.toStdString(), paths, error))
        ReportAudioError(-1, path.toStdString(), "History.SaveToFile (" + error + ")");
}

void TForm1::RememberRecent(const QString& path)
{
    std::vector<QString> items{path};
    for (std::size_t n = 0; n < h.size() && h[n]->isVisible(); ++n)
        if (RecentPlaylists[n] != path)
            items.push_back(RecentPlaylists[n]);
    if (items.size() > h.size())
        items.resize(h.size());
    for (std::size_t k = 0; k < h.size(); ++k) {
        const bool shown = k < items.size();
        RecentPlaylists[k] = shown ? items[k] : QString();
        h[k]->setText(shown ? recentCaption(k, items[k]) : QString());
        h[k]->setVisible(shown);
    }
}

void TForm1::UpdateCaption()
{
    const QString name = ListNames[CurrentList == LVMaster ? 0 : 1];
    setWindowTitle(WindowTitle + QStringLiteral(" - ") + QFileInfo(name).fileName());
    setCaption(windowTitle().toStdString());

    static const char* const kMonitorTypes[] = {"LR Split", "F/R Split", "2nd device"};
    const int priority = engine::engineSettings().Priority;
    // Values outside the tables name nothing: the panel then shows the number itself.
    const QString monitor = MonType >= 0 && MonType <= 2 ? QString::fromLatin1(kMonitorTypes[MonType]) : QString::number(MonType);
    const QString prio = Texts.PriorityNames().value(priority, QString::number(priority));
    if (auto* p = StatusBar1->Panels().Items(3))
        p->setText(monitor);
    if (auto* p = StatusBar1->Panels().Items(4))
        p->setText(QStringLiteral("%1: %2").arg(Messages[6], prio));
    if (auto* p = StatusBar1->Panels().Items(5))
        p->setText(QStringLiteral("%1: %2").arg(Messages[5], SilenceDetectorOn ? Messages[7] : Messages[8]));
}

void TForm1::aNewExecute()
{
    const int answer = platform::messageBox(Messages[1].toStdString(), "Caldrivane",
                                            platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (answer != platform::IDYES && answer != platform::IDNO)
        return;
    // The list is emptied only when the save it asked for has succeeded.
    if (answer == platform::IDYES && !aSaveExecute())
        return;
    CurrentListName() = QStringLiteral("noname");
    CurrentList->ClearRows();
    RenumberList();
    UpdateCaption();
}

// Into the list the command was given for, whichever is shown when the read lands; edits made to
// it meanwhile go with the rows it replaces. A list that was not replaced keeps its name: a save
// must not write its rows over that file.
void TForm1::OpenPlaylistInto(controls::TVqListView* list, const QString& path, bool remember)
{
    const std::string notes = NotesFolderFor(*list);
    const auto landed = [this, list, path, remember](PlaylistRead& read) {
        if (!PutPlaylist(*list, path, read)) {
            ReportAudioError(-1, path.toStdString(), "LoadPlaylist");
            return;
        }
        ListNames[list == LVSlave ? 1 : 0] = path;
        if (remember)
            RememberRecent(path);
        UpdateCaption();
    };
    Reads->read(platform::pathBytes(path), PlaylistEntries::All, 0, notes, landed);
}

void TForm1::aOpenExecute()
{
    const std::optional<std::string> path = platform::userMessages().openFileName("", playlistFilter(Texts), "");
    if (!path)
        return;
    OpenPlaylistInto(CurrentList, QString::fromStdString(*path), true);
}

bool TForm1::aSaveExecute()
{
    const QString name = CurrentListName();
    if (name == QStringLiteral("noname") || name.isEmpty())
        return aSaveAsExecute();
    return SavePlaylist(name);
}

bool TForm1::aSaveAsExecute()
{
    const std::optional<std::string> path = platform::userMessages().saveFileName("", playlistFilter(Texts), "", "m3u");
    if (!path)
        return false;
    QString p = QString::fromStdString(*path);
    if (QFileInfo(p).suffix().isEmpty())
        p += QStringLiteral(".m3u");
    if (!SavePlaylist(p))
        return false;
    CurrentListName() = p;
    RememberRecent(p);
    UpdateCaption();
    return true;
}

void TForm1::N58Click()
{
    const std::optional<std::string> path = platform::userMessages().openFileName("", playlistFilter(Texts), "");
    if (!path)
        return;
    // After the rows the list has when the read lands, edits made meanwhile included.
    controls::TVqListView* const list = CurrentList;
    Reads->read(*path, PlaylistEntries::All, list->Rows.size(), NotesFolderFor(*list),
                [this, list, file = *path](PlaylistRead& read) {
        ReportLongLinesLeftOut(file, read.longLinesLeftOut);
        if (!read.rows) {
            ReportAudioError(-1, file, "AppendPlaylist");
            return;
        }
        std::vector<TVirtualItem>& rows = list->Rows;
        std::vector<TVirtualItem>& room = *read.rows;
        const int count = static_cast<int>(room.size() - read.lead);
        if (rows.size() == read.lead) {
            // The list's rows into the room read for them, before the rows read.
            std::move(rows.begin(), rows.end(), room.begin());
            rows.swap(room);
        } else {
            // Rows were added or taken out meanwhile: the rows read go after those there now.
            controls::ReserveRows(rows, rows.size() + room.size() - read.lead);
            rows.insert(rows.end(), std::make_move_iterator(room.begin() + static_cast<std::ptrdiff_t>(read.lead)),
                        std::make_move_iterator(room.end()));
        }
        Reads->dispose(std::move(room));
        list->syncView();
        TakeReadMarks(*list, read, list->rowCount() - count, list->rowCount());
        RenumberListOf(*list);
    });
}

void TForm1::N47Click()
{
    const std::optional<std::string> path = platform::userMessages().openFileName("", playlistFilter(Texts), "");
    if (path) {
        const QString p = QString::fromStdString(*path);
        const std::int64_t total = media::GetM3UTotalSeconds(*path);
        const int selected = CurrentList->firstSelectedRow();
        if (selected >= 0) {
            CurrentList->InsertRow(selected, PlaylistRowInserted(p, total));
        } else {
            CurrentList->Rows.push_back(PlaylistRowAppended(p, total));
            CurrentList->syncView();
        }
    }
    RenumberList();
}

void TForm1::RecentClick(int n)
{
    if (n < 1 || n > 9)
        return;
    OpenPlaylistInto(CurrentList, RecentPlaylists[static_cast<std::size_t>(n - 1)], false);
}

}  // namespace player
