// The columns of the schedule lists (the schedule page's and the schedule dialog's): date, time
// and file, in the dialog with a fourth one that stays empty.
#pragma once

class QTreeWidget;

namespace player {

// Once, when the list is made: the file takes whatever width the list has left, its path
// shortened in the middle, so the list never scrolls sideways (a click on a path used to scroll
// the dates and times out of view); the other columns keep the widths they are given, 0 included.
void prepareScheduleColumns(QTreeWidget& list);

// After the rows changed: the date (0: dates are off, the column is gone) and the time at least
// these widths and as wide as their texts and captions.
void fitScheduleColumns(QTreeWidget& list, int dateWidth, int timeWidth);

}  // namespace player
