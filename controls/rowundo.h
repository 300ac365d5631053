// The undo levels of a row list. A level either holds a copy of the rows (what a caller saves
// before it changes the rows itself) or keeps, edit by edit, what the list's own operations
// changed since it was saved: the rows an edit took out, where rows came in or went, the order
// before a reorder. Undoing such a level takes the edits back, newest first, so an edit of one
// row costs one row of undo, not a copy of the list.
#pragma once

#include "controls/rowchanges.h"
#include "controls/rowedits.h"
#include "controls/vqrowitem.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace controls {

// The reverse of one edit of the rows.
struct UndoStep {
    enum Kind {
        TakeOut,  // rows were put in at `at`: take them out again
        PutBack,  // `rows` were taken out of `at`: put them back there
        MoveBack, // the rows at `at` came from `to`
        Unorder,  // the rows were put in `order`: put them back
        Rewrite,  // SubItems[column] of the row at at[0] held `text`
        Restore,  // the rows were replaced: `rows` are the ones before
    };
    Kind kind = Restore;
    RowIndices at;
    RowIndices to;
    std::vector<int> order;
    std::vector<TVirtualItem> rows;
    int column = 0;
    QString text;

    std::size_t bytes() const
    {
        return (at.size() + to.size() + order.size()) * sizeof(int) + rows.size() * sizeof(TVirtualItem) +
               sizeof(QString) + static_cast<std::size_t>(text.size()) * sizeof(QChar);
    }
};

// Takes one edit back on rows and the two marks they carry (which follow their rows; a mark on a
// row the step takes away becomes -1). The change is noted in *changes when given.
void applyUndoStep(std::vector<TVirtualItem>& rows, int& hlIndex, int& nextIndex, UndoStep&& step,
                   std::vector<RowChange>* changes);

struct UndoLevel {
    bool copy = false;                // rows holds a copy of the list
    std::vector<TVirtualItem> rows;   // copy levels
    std::vector<UndoStep> steps;      // the other levels, oldest first
    std::size_t stepBytes = 0;
    std::size_t savedRows = 0;        // the rows when the level was saved
    int hlIndex = -1;                 // the marks when the level was saved
    int nextIndex = -1;
};

class RowUndo {
public:
    static constexpr int kLevels = 10;

    int depth() const { return static_cast<int>(m_levels.size()); }
    bool empty() const { return m_levels.empty(); }
    const UndoLevel* newest() const { return m_levels.empty() ? nullptr : &m_levels.back(); }
    // The newest level keeps edits: the list must record each edit it makes.
    bool recording() const { return !m_levels.empty() && !m_levels.back().copy; }

    // A level with a copy of rows.
    void saveCopy(const std::vector<TVirtualItem>& rows, int hlIndex, int nextIndex);
    // A level that keeps the edits recorded from now on, saved over rowCount rows.
    void saveEdits(std::size_t rowCount, int hlIndex, int nextIndex);
    // The reverse of an edit, into the newest level (only while recording()). A level whose
    // steps come to hold twice what a copy of the list would is turned into a copy (made from
    // rows, the list after the edit, by taking the steps back on it), so that a long run of
    // edits keeps no more than a copy would.
    void record(UndoStep&& step, const std::vector<TVirtualItem>& rows);
    UndoLevel takeNewest();
    void clear() { m_levels.clear(); }

private:
    UndoLevel& push(int hlIndex, int nextIndex);
    std::deque<UndoLevel> m_levels;  // back is the newest
};

}  // namespace controls
