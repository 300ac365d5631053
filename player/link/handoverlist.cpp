// Reading a handed-over playlist into playlist rows.
#include "player/link/handoverlist.h"

#include "media/tag.h"
#include "platform/pathtext.h"
#include "platform/usermessages.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"

#include <algorithm>
#include <filesystem>

namespace player {

namespace {

// The database window and the playlist generator describe every entry as "<artist> - <title>",
// also when a part is empty; the reader trims that to "-", "- title" or "artist -". Such a row is
// named as a file added to a list is: by its artist and title, by its base name when both are empty.
QString handOverName(const QString& described, const QString& path)
{
    QString artist;
    QString title;
    if (described.startsWith(QStringLiteral("- ")))
        title = described.mid(2);
    else if (described.endsWith(QStringLiteral(" -")))
        artist = described.chopped(2);
    else if (described != QStringLiteral("-"))
        return described;
    const QString name = JoinArtistTitle(artist, title);
    if (!name.isEmpty())
        return name;
    return platform::pathForDisplay(platform::pathToQString(media::ExtractFileBaseName(platform::pathBytes(path))));
}

}  // namespace

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
    for (std::size_t k = 0; k < rows->size(); ++k) {
        controls::TVirtualItem& row = (*rows)[k];
        row.Caption = QString::number(k);
        row.SubItems[kColName] = handOverName(row.SubItems[kColName], row.SubItems[kColPath]);
    }
    return rows;
}

}  // namespace player
