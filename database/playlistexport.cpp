// Playlist export of the database window: Save playlist and the hand-over to the player.
#include "database/basemainwindow.h"

#include "controls/lang.h"
#include "media/m3uexport.h"
#include "platform/cp1251.h"
#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/savefile.h"
#include "platform/usermessages.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <filesystem>

namespace database {

namespace {
constexpr std::string_view kDBTempFile = media::kDatabaseListFile;
constexpr std::size_t kNamedSkippedRows = 10;

struct ExportOutcome {
    bool written = false;     // the file holds every row that could be written
    std::size_t skipped = 0;  // rows whose file name a playlist cannot hold
};

// A row as the operator knows it: "artist - title (path)", decoded for the screen only.
std::string rowName(const TTrackRecord& row)
{
    std::string path = platform::decodeText(media::m3uFieldText(row.FileName.str()));
    std::replace_if(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, ' ');
    return platform::cp1251ToUtf8(media::m3uFieldText(row.Artist.str())) + " - " +
           platform::cp1251ToUtf8(media::m3uFieldText(row.Title.str())) + " (" + path + ")";
}

// Writes the rows that a playlist can hold and names the others in one box; a file that cannot
// be written is reported in its own box.
ExportOutcome exportAndReport(const std::string& path, const std::vector<const TTrackRecord*>& rows)
{
    media::M3uText text;
    std::vector<const TTrackRecord*> skipped;
    for (const TTrackRecord* row : rows) {
        if (!text.add(*row))
            skipped.push_back(row);
    }
    ExportOutcome outcome;
    outcome.skipped = skipped.size();
    std::string error;
    // Written beside the target and renamed into place: a reader never sees half a playlist, and
    // a save that does not fit the disk leaves the old one.
    outcome.written = platform::saveFile(path, text.text(), &error);
    if (!outcome.written) {
        platform::messageBox("Cannot write " + path + ": " + error, kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
        return outcome;
    }
    if (!skipped.empty()) {
        std::string names;
        for (std::size_t i = 0; i < skipped.size() && i < kNamedSkippedRows; ++i)
            names += "\r\n" + rowName(*skipped[i]);
        if (skipped.size() > kNamedSkippedRows)
            names += "\r\n... (" + std::to_string(skipped.size() - kNamedSkippedRows) + " more)";
        platform::messageBox("Not written to " + path + ": " + std::to_string(skipped.size()) +
                                 " row(s) whose file name a playlist cannot hold (not UTF-8 or with a line break):" + names,
                             kAppTitle, platform::MB_OK | platform::MB_ICONWARNING);
    }
    return outcome;
}

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
    const ExportOutcome outcome = exportAndReport(path, exportRows());
    return outcome.written && outcome.skipped == 0;
}

void TBase_main_window::Button11Click()
{
    if (busy())
        return;
    const auto chosen =
        platform::userMessages().saveFileName("", controls::NamedFilter(Texts.M3uPlaylist, "*.m3u"), "", "m3u");
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
    // Rows left out are named in the box; the player still gets every row that could be written.
    if (!exportAndReport(path, exportRows()).written)
        return;
    if (PlayerWindow != 0)
        platform::sendMessage(PlayerWindow, platform::UM_LOAD_TEMP_LIST, media::kTempListDatabase, 0);
}

}  // namespace database
