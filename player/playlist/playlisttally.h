// What RenumberList keeps of one playlist between edits: where the numbers must be written again,
// each row's duration in seconds and whether its notes mark was looked up, following the rows
// through the list's changes. An edit then costs the rows it moved or brought, not the whole
// list: numbers are written from the first row that moved or came on, the total is changed by
// the seconds of the rows that went or came, and a track's notes are looked up for the rows
// that came. Every row is looked at again only when the notes folder changed.
#pragma once

#include "controls/vqrowlist.h"
#include "player/playlist/notesmarks.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace player {

class PlaylistTally {
public:
    // Writes the numbers (1-based) of the rows that moved or came since they were last written.
    void renumber(controls::VqRowList& list);
    // The total of every row's duration.
    std::int64_t totalSeconds(controls::VqRowList& list);
    // The notes marks (see NotesMarks) of the rows that came or changed since they were last
    // marked; of every row when the notes folder changed. True when an image changed.
    bool mark(controls::VqRowList& list, NotesMarks& marks, const std::string& notesFolder);
    // The rows [first, end) were given their marks by marker (on another thread, say): where its
    // answers hold for marks, mark() does not look them up again.
    void markedBy(controls::VqRowList& list, int first, int end, NotesMarks& marks, const std::string& notesFolder,
                  const NotesMarks& marker);

private:
    struct Row {
        std::int64_t seconds = 0;
        bool counted = false;          // seconds are in m_total
        std::uint64_t generation = 0;  // the notes memory's generation its mark was looked up under
    };
    // Brings the rows kept here up to the list's rows.
    void follow(controls::VqRowList& list);
    void insert(const controls::RowIndices& at);
    void erase(const controls::RowIndices& at);
    void truncate(int size);
    // Every row from first on may need looking at; of them, rows up to end (INT_MAX: the last)
    // may have moved.
    void touched(int first, int end = INT_MAX);

    std::vector<Row> m_rows;
    std::int64_t m_total = 0;
    int m_renumberFrom = 0;  // the rows [from, end) may have moved since they were numbered
    int m_renumberEnd = INT_MAX;
    int m_countFrom = 0;
    int m_markFrom = 0;
    std::uint64_t m_generation = 0;
};

}  // namespace player
