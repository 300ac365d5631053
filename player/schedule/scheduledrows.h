// The Main list's scheduled rows, without a window: where a due entry's rows go, marking a started
// one, and taking a finished block out once the programme has moved past it.
#pragma once

#include "controls/vqrowlist.h"

#include <QString>

#include <vector>

namespace player {

// Right after the playing row, or at the top when none plays.
int scheduleInsertionPoint(const controls::VqRowList& list);

// Inserts copies of rows at `at` (clamped to the list), each marked scheduled and waiting; the
// playing and play-next marks stay on their rows. Returns how many were inserted.
int insertScheduledRows(controls::VqRowList& list, int at, const std::vector<controls::TVirtualItem>& rows);
// The row of a scheduled single file: its path alone (name and duration come when it starts).
controls::TVirtualItem scheduledFileRow(const QString& path);

// After row has started: a waiting scheduled row becomes started. True when the started block must
// then be settled (the row was scheduled, or a scheduled block was playing until now).
bool markScheduledRowStarted(controls::VqRowList& list, int row, bool inBlock);

// Takes the started scheduled rows out once the programme has moved past them: nothing while a
// waiting scheduled row still lies ahead of the playing row (one the programme skipped does not
// count); while a started one plays, inBlock is set; otherwise every started row is removed, the
// playing row keeps its mark wherever the block lay, and inBlock is cleared. True when rows were
// removed.
bool settleScheduledRows(controls::VqRowList& list, bool& inBlock);

}  // namespace player
