// What happened to a list's rows, edit by edit, for an owner that keeps something beside each row
// (its number, its duration in seconds, its notes mark): it follows the rows with it rather than
// look at every row again.
#pragma once

#include "controls/rowedits.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace controls {

struct RowChange {
    enum Kind {
        Inserted,   // rows put in at `at` (indices after)
        Removed,    // the rows at `at` taken out
        Moved,      // the rows at `at` taken out and put back, in their order, at `to`
        Reordered,  // row i afterwards is the one that was at order[i]
        Changed,    // the texts of the rows at `at` were written over
        Replaced,   // every row from `from` on may be another
    };
    Kind kind = Replaced;
    RowIndices at;
    RowIndices to;
    std::vector<int> order;
    int from = 0;

    // The row after the last one whose place the edit may have changed (INT_MAX: to the end).
    int endMoved() const
    {
        if (kind == Moved && !at.empty())
            return std::max(at.back(), to.back()) + 1;
        return INT_MAX;
    }

    // The first row whose place or texts the edit may have changed.
    int firstChanged() const
    {
        switch (kind) {
        case Inserted:
        case Removed:
        case Changed:
            return at.empty() ? INT_MAX : at.front();
        case Moved:
            return at.empty() ? INT_MAX : std::min(at.front(), to.front());
        case Reordered:
            return firstReordered(order);
        case Replaced:
            break;
        }
        return from;
    }
};

}  // namespace controls
