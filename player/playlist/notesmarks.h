// The notes marks of a playlist: whether each track has a notes file, remembered per track path,
// so that an edit looks on disk only for the tracks it brought into the list. The memory lasts
// only while the notes folder stays as it was: a file made, removed or renamed there (by the
// notes window or by hand) changes the folder, and every track is looked up again once.
#pragma once

#include "controls/vqrowlist.h"
#include "player/playlist/playlistrows.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace player {

class NotesMarks {
public:
    // Sets the image of rows first..last to "has notes" or "ordinary", leaving scheduled rows as
    // they are. A track seen before is answered from memory unless recheck is set (its notes may
    // have just been saved or removed) or the notes folder changed since. notesFolder ends in
    // "/"; another folder than the last one forgets everything. True when an image changed.
    bool mark(std::vector<controls::TVirtualItem>& rows, int first, int last, const std::string& notesFolder,
              bool recheck);

    // The same in pieces, for a caller that knows which rows are new to it. refresh() brings the
    // memory up to the notes folder as it is now (recheck: every track is looked up again) and
    // returns its generation, which moves on whenever answers given before no longer count.
    std::uint64_t refresh(const std::string& notesFolder, bool recheck);
    // Whether a track has a notes file, from memory where it can.
    bool hasNotes(const QString& trackPath);
    // The image a row should have: "has notes" or "ordinary"; scheduled rows keep theirs.
    int imageOf(const controls::TVirtualItem& row);
    // Tracks that left the list are forgotten once they far outnumber the ones in it; a list
    // emptied for a moment (delete all, then undo) keeps its memory.
    void forgetTracksNotIn(const std::vector<controls::TVirtualItem>& rows);
    // Whether the answers of other, as of its last refresh(), hold for this memory as of its own:
    // the same notes folder, as it was then, and settled (a change could not have hidden since).
    bool answersAsOf(const NotesMarks& other) const;

private:
    // What tells that the folder's entries changed: its identity and modification time.
    struct FolderStamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const FolderStamp&) const = default;
    };
    // The stamp now, and whether it is too recent to vouch for what was seen under it (a change
    // within the same clock tick leaves the time as it was).
    static FolderStamp stampOf(const std::string& folder, bool& recent);

    // The names in the notes folder, read once for as long as the folder stays as it was, so
    // that a track costs no look at the disk for its notes.
    const std::unordered_set<std::string>& names();

    std::string m_folder;
    FolderStamp m_stamp;
    bool m_stampRecent = true;
    QHash<QString, bool> m_known;  // track path -> has a notes file
    std::unordered_set<std::string> m_names;
    bool m_namesRead = false;
    bool m_recheck = false;
    std::uint64_t m_generation = 0;
    TrackPathResolver m_resolve;  // for the tracks looked up since the last refresh
};

}  // namespace player
