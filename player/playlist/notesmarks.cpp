// The notes marks, looked up once per track path.
#include "player/playlist/notesmarks.h"

#include "player/playlist/playlistrows.h"

#include <sys/stat.h>

#include <algorithm>

namespace player {

namespace {
constexpr std::size_t kKeptTracks = 65536;  // tracks remembered beyond twice the list's rows
}

bool NotesMarks::mark(std::vector<controls::TVirtualItem>& rows, int first, int last, const std::string& notesFolder,
                      bool recheck)
{
    if (notesFolder != m_folder) {
        m_known.clear();
        m_folder = notesFolder;
    }
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(rows.size()) - 1);
    NotesFileNamer notesFile(notesFolder);
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        controls::TVirtualItem& row = rows[static_cast<std::size_t>(i)];
        if (row.ImageIndex == kImageScheduledWaiting || row.ImageIndex == kImageScheduledPlaying)
            continue;
        const QString& path = row.SubItems[kColPath];
        auto known = m_known.find(path);
        if (known == m_known.end() || recheck) {
            struct stat st {};
            const bool has = ::stat(notesFile(path.toStdString()).c_str(), &st) == 0;
            known = m_known.insert(path, has);
        }
        const int image = known.value() ? kImageHasNotes : kImageOrdinary;
        changed = changed || row.ImageIndex != image;
        row.ImageIndex = image;
    }
    // Tracks that left the list are forgotten once they far outnumber the ones in it; a list
    // emptied for a moment (delete all, then undo) keeps its memory.
    const std::size_t bound = std::max<std::size_t>(2 * rows.size(), kKeptTracks);
    if (first == 0 && last == static_cast<int>(rows.size()) - 1 && static_cast<std::size_t>(m_known.size()) > bound) {
        QHash<QString, bool> kept;
        kept.reserve(static_cast<qsizetype>(rows.size()));
        for (const controls::TVirtualItem& row : rows) {
            const auto it = m_known.constFind(row.SubItems[kColPath]);
            if (it != m_known.constEnd())
                kept.insert(it.key(), it.value());
        }
        m_known = std::move(kept);
    }
    return changed;
}

}  // namespace player
