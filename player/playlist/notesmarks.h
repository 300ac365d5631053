// The notes marks of a playlist: whether each track has a notes file, remembered per track path,
// so that an edit looks on disk only for the tracks it brought into the list.
#pragma once

#include "controls/vqrowlist.h"

#include <QHash>
#include <QString>

#include <string>
#include <vector>

namespace player {

class NotesMarks {
public:
    // Sets the image of rows first..last to "has notes" or "ordinary", leaving scheduled rows as
    // they are. A track seen before is answered from memory unless recheck is set (its notes may
    // have just been saved or removed). notesFolder ends in "/"; another folder than the last
    // one forgets everything. True when an image changed.
    bool mark(std::vector<controls::TVirtualItem>& rows, int first, int last, const std::string& notesFolder,
              bool recheck);

private:
    std::string m_folder;
    QHash<QString, bool> m_known;  // track path -> has a notes file
};

}  // namespace player
