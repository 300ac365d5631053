// TForm1's whole-playlist commands: new, open, save, save as, append, insert a playlist row, the
// recent playlists and their ".hst" file, the window caption and status panels 3 to 5.
#include "player/form1.h"

#include "controls/vtqstatusbar.h"
#include "engine/enginesettings.h"
#include "media/tag.h"
#include "platform/pathtext.h"
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
    std::optional<std::vector<TVirtualItem>> rows =
        ReadPlaylistFile(platform::pathBytes(path), PlaylistEntries::All, error);
    if (!rows) {
        // The list stays as it was. Left empty by this failure, it must never be saved over the
        // file, which may well hold entries that could not be read just now.
        const QFileInfo file(path);
        if (CurrentList->Rows.empty() && file.exists() && file.size() > 0)
            UnreadPlaylists[CurrentList] = path;
        return false;
    }
    UnreadPlaylists.erase(CurrentList);
    // Replacing the rows drops the marks, as clearing does.
    CurrentList->ClearRows();
    CurrentList->Rows = std::move(*rows);
    CurrentList->syncView();
    RenumberList();
    return true;
}

bool TForm1::SavePlaylist(const QString& path)
{
    const auto unread = UnreadPlaylists.find(CurrentList);
    if (unread != UnreadPlaylists.end() && unread->second == path) {
        if (CurrentList->Rows.empty()) {
            ReportAudioError(-1, path.toStdString(), "Playlist.SaveToFile (the file could not be read; it is kept as it was)");
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
            ReportUnreadFile(QStringLiteral("Файл не читается: "), path, why);
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

void TForm1::aOpenExecute()
{
    const std::optional<std::string> path = platform::userMessages().openFileName("", playlistFilter(Texts), "");
    if (!path)
        return;
    const QString p = QString::fromStdString(*path);
    if (!LoadPlaylist(p)) {
        ReportAudioError(-1, p.toStdString(), "LoadPlaylist");
        return;
    }
    CurrentListName() = p;
    RememberRecent(p);
    UpdateCaption();
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
    std::optional<std::vector<TVirtualItem>> rows = ReadPlaylistFile(*path);
    if (!rows) {
        ReportAudioError(-1, *path, "AppendPlaylist");
        return;
    }
    std::vector<TVirtualItem>& list = CurrentList->Rows;
    controls::ReserveRows(list, list.size() + rows->size());
    list.insert(list.end(), std::make_move_iterator(rows->begin()), std::make_move_iterator(rows->end()));
    CurrentList->syncView();
    RenumberList();
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
    const QString path = RecentPlaylists[static_cast<std::size_t>(n - 1)];
    // A list that was not replaced keeps its name: a save must not write its rows over that file.
    if (!LoadPlaylist(path)) {
        ReportAudioError(-1, path.toStdString(), "LoadPlaylist");
        return;
    }
    CurrentListName() = path;
    UpdateCaption();
}

}  // namespace player
