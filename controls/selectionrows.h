// Reading whole selected rows from a selection model by its ranges: a range that spans every
// column gives its rows at once, so the cost is the rows selected rather than rows x ranges (the
// model's own selectedRows asks every range for every row).
#pragma once

#include <vector>

class QItemSelectionModel;

namespace controls {

// The rows (of the root) whose every column is selected, ascending.
std::vector<int> selectedRowsByRange(const QItemSelectionModel& selection, int columnCount, int rowCount);
// The first of them, -1 when none: the cost is the number of ranges.
int firstSelectedRowByRange(const QItemSelectionModel& selection, int columnCount, int rowCount);

}  // namespace controls
