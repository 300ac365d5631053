// Reading a handed-over playlist into playlist rows.
#include "player/link/handoverlist.h"

#include "platform/usermessages.h"
#include "player/playlist/playlistfile.h"

#include <algorithm>
#include <filesystem>

namespace player {

std::optional<std::vector<controls::TVirtualItem>> ReadHandOverRows(const std::string& path, int maxEntries)
{
    // The profile's own reader: each line is UTF-8 or else code page 1251 on its own, so one
    // entry in the old encoding does not garble the others.
    std::optional<std::vector<controls::TVirtualItem>> rows = ReadPlaylistFile(path, PlaylistEntries::ExtendedOnly);
    if (!rows) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            platform::messageBox("Плейлист \"" + path + "\" не найден!", "Error", platform::MB_OK | platform::MB_ICONERROR);
        return std::nullopt;
    }
    if (rows->size() > static_cast<std::size_t>(std::max(maxEntries, 0)))
        rows->resize(static_cast<std::size_t>(std::max(maxEntries, 0)));
    for (std::size_t k = 0; k < rows->size(); ++k)
        (*rows)[k].Caption = QString::number(k);
    return rows;
}

}  // namespace player
