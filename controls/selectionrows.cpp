// Selected rows from the selection's ranges.
#include "controls/selectionrows.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace controls {

namespace {

// A range that spans every column selects whole rows; the others (a selection made cell by cell)
// are asked row by row.
bool spansAllColumns(const QItemSelectionRange& range, int columns)
{
    return range.left() <= 0 && range.right() >= columns - 1;
}

}  // namespace

std::vector<int> selectedRowsByRange(const QItemSelectionModel& selection, int columnCount, int rowCount)
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection.selection()) {
        const int top = std::max(range.top(), 0);
        const int bottom = std::min(range.bottom(), rowCount - 1);
        const bool whole = spansAllColumns(range, columnCount);
        for (int row = top; row <= bottom; ++row)
            if (whole || selection.isRowSelected(row, {}))
                rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int firstSelectedRowByRange(const QItemSelectionModel& selection, int columnCount, int rowCount)
{
    int first = rowCount;
    const QItemSelection ranges = selection.selection();
    for (const QItemSelectionRange& range : ranges)
        if (spansAllColumns(range, columnCount))
            first = std::min(first, std::max(range.top(), 0));
    for (const QItemSelectionRange& range : ranges) {
        if (spansAllColumns(range, columnCount))
            continue;
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < first; ++row)
            if (selection.isRowSelected(row, {})) {
                first = row;
                break;
            }
    }
    return first < rowCount ? first : -1;
}

}  // namespace controls
