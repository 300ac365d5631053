// Playlist export of the database window: Save playlist and the hand-over to the player.
#include "database/basemainwindow.h"

#include "media/m3uexport.h"
#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"

#include <QItemSelectionModel>
#include <QSaveFile>
#include <QTableView>

#include <algorithm>
#include <filesystem>

namespace database {

namespace {
constexpr const char* kPlaylistFilter = "M3U Playlist|*.m3u";
constexpr std::string_view kDBTempFile = media::kDatabaseListFile;
}  // namespace

std::string TBase_main_window::DBTempPath() const { return platform::programPath(kDBTempFile); }

std::vector<const TTrackRecord*> TBase_main_window::exportRows() const
{
    std::vector<int> selected;
    if (QItemSelectionModel* sel = ListView1->selectionModel()) {
        for (const QModelIndex& index : sel->selectedRows())
            selected.push_back(index.row());
    }
    std::sort(selected.begin(), selected.end());
    std::vector<const TTrackRecord*> rows;
    for (int row : selected) {
        if (row >= 0 && static_cast<std::size_t>(row) < Base.List.size())
            rows.push_back(Base.List[static_cast<std::size_t>(row)]);
    }
    if (rows.empty())
        rows.assign(Base.List.begin(), Base.List.end());
    return rows;
}

bool TBase_main_window::ExportPlaylist(const std::string& path)
{
    media::M3uText text;
    for (const TTrackRecord* row : exportRows())
        text.add(*row);
    const std::string& bytes = text.text();
    // Written beside the target and renamed into place: a reader never sees half a playlist.
    QSaveFile file(QString::fromStdString(path));
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    if (ok)
        ok = file.commit();
    if (!ok) {
        // Taken before the cancel, which would replace the cause with its own text.
        const std::string error = file.errorString().toStdString();
        file.cancelWriting();
        platform::messageBox("Cannot write " + path + ": " + error, kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
    }
    return ok;
}

void TBase_main_window::Button11Click()
{
    if (busy())
        return;
    const auto chosen = platform::userMessages().saveFileName("", kPlaylistFilter, "", "m3u");
    if (chosen && !chosen->empty())
        ExportPlaylist(*chosen);
}

void TBase_main_window::Button12Click()
{
    if (busy())
        return;
    const std::string path = DBTempPath();
    // The exchange folder is the program's own; a fresh program folder may not have it yet.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!ExportPlaylist(path))
        return;
    if (PlayerWindow != 0)
        platform::sendMessage(PlayerWindow, platform::UM_LOAD_TEMP_LIST, media::kTempListDatabase, 0);
}

}  // namespace database
