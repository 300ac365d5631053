// The notes marks, looked up once per track path.
#include "player/playlist/notesmarks.h"

#include "platform/pathtext.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>

namespace player {

namespace {
constexpr std::size_t kKeptTracks = 65536;  // tracks remembered beyond twice the list's rows
// A folder changed less than this ago may change again without its time moving on.
constexpr std::int64_t kSettleNs = 2'000'000'000;
}  // namespace

NotesMarks::FolderStamp NotesMarks::stampOf(const std::string& folder, bool& recent)
{
    FolderStamp stamp;
    struct stat st {};
    recent = false;
    if (::stat(folder.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    recent = nowNs - stamp.modifiedNs < kSettleNs;
    return stamp;
}

const std::unordered_set<std::string>& NotesMarks::names()
{
    if (m_namesRead)
        return m_names;
    m_names.clear();
    m_namesRead = true;
    DIR* dir = ::opendir(m_folder.c_str());
    if (dir == nullptr)
        return m_names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        // A notes file counts when it can be opened: a link counts only when it leads somewhere.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::stat((m_folder + name).c_str(), &st) != 0)
                continue;
        }
        m_names.insert(name);
    }
    ::closedir(dir);
    return m_names;
}

std::uint64_t NotesMarks::refresh(const std::string& notesFolder, bool recheck)
{
    bool recent = false;
    const FolderStamp stamp = stampOf(notesFolder, recent);
    m_stampRecent = recent;
    if (notesFolder != m_folder || stamp != m_stamp || recent) {
        m_known.clear();
        m_folder = notesFolder;
        m_stamp = stamp;
        m_namesRead = false;
        ++m_generation;
    }
    if (recheck)
        m_namesRead = false;
    m_recheck = recheck;
    m_resolve = TrackPathResolver();
    return m_generation;
}

bool NotesMarks::hasNotes(const QString& trackPath)
{
    auto known = m_known.find(trackPath);
    if (known == m_known.end() || m_recheck) {
        // Notes kept under the name of before count as well.
        const std::string canonical = m_resolve(platform::pathBytes(trackPath));
        const std::unordered_set<std::string>& inFolder = names();
        const bool has =
            inFolder.count(NotesFileNameOfCanonical(m_folder, canonical).substr(m_folder.size())) != 0 ||
            inFolder.count(OldNotesFileNameOfCanonical(m_folder, canonical).substr(m_folder.size())) != 0;
        known = m_known.insert(trackPath, has);
    }
    return known.value();
}

int NotesMarks::imageOf(const controls::TVirtualItem& row)
{
    if (row.ImageIndex == kImageScheduledWaiting || row.ImageIndex == kImageScheduledPlaying)
        return row.ImageIndex;
    return hasNotes(row.SubItems[kColPath]) ? kImageHasNotes : kImageOrdinary;
}

bool NotesMarks::answersAsOf(const NotesMarks& other) const
{
    return m_folder == other.m_folder && m_stamp == other.m_stamp && m_stamp.exists && !m_stampRecent &&
           !other.m_stampRecent && !m_recheck && !other.m_recheck;
}

void NotesMarks::forgetTracksNotIn(const std::vector<controls::TVirtualItem>& rows)
{
    const std::size_t bound = std::max<std::size_t>(2 * rows.size(), kKeptTracks);
    if (static_cast<std::size_t>(m_known.size()) <= bound)
        return;
    QHash<QString, bool> kept;
    kept.reserve(static_cast<qsizetype>(rows.size()));
    for (const controls::TVirtualItem& row : rows) {
        const auto it = m_known.constFind(row.SubItems[kColPath]);
        if (it != m_known.constEnd())
            kept.insert(it.key(), it.value());
    }
    m_known = std::move(kept);
}

bool NotesMarks::mark(std::vector<controls::TVirtualItem>& rows, int first, int last, const std::string& notesFolder,
                      bool recheck)
{
    refresh(notesFolder, recheck);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(rows.size()) - 1);
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        controls::TVirtualItem& row = rows[static_cast<std::size_t>(i)];
        const int image = imageOf(row);
        changed = changed || row.ImageIndex != image;
        row.ImageIndex = image;
    }
    if (first == 0 && last == static_cast<int>(rows.size()) - 1)
        forgetTracksNotIn(rows);
    return changed;
}

}  // namespace player
