// Undo levels kept as the reverse of each edit, or as a copy of the rows.
#include "controls/rowundo.h"

#include <algorithm>
#include <utility>

namespace controls {

void applyUndoStep(std::vector<TVirtualItem>& rows, int& hlIndex, int& nextIndex, UndoStep&& step,
                   std::vector<RowChange>* changes)
{
    const int n = static_cast<int>(rows.size());
    auto valid = [n](int mark) { return mark >= 0 && mark < n ? mark : -1; };
    int hl = valid(hlIndex);
    int next = valid(nextIndex);
    RowChange change;
    switch (step.kind) {
    case UndoStep::TakeOut:
        eraseAt(rows, step.at);
        hl = indexAfterErase(hl, step.at);
        next = indexAfterErase(next, step.at);
        change.kind = RowChange::Removed;
        change.at = std::move(step.at);
        break;
    case UndoStep::PutBack:
        insertAt(rows, step.at, std::move(step.rows));
        hl = indexAfterInsert(hl, step.at);
        next = indexAfterInsert(next, step.at);
        change.kind = RowChange::Inserted;
        change.at = std::move(step.at);
        break;
    case UndoStep::MoveBack:
        moveAt(rows, step.at, step.to);
        hl = indexAfterMove(hl, step.at, step.to);
        next = indexAfterMove(next, step.at, step.to);
        change.kind = RowChange::Moved;
        change.at = std::move(step.at);
        change.to = std::move(step.to);
        break;
    case UndoStep::Unorder: {
        // The row now at i came from order[i]: it goes back there.
        if (hl >= 0)
            hl = step.order[static_cast<std::size_t>(hl)];
        if (next >= 0)
            next = step.order[static_cast<std::size_t>(next)];
        change.kind = RowChange::Reordered;
        change.order = inverseOrder(step.order);
        applyOrder(rows, change.order);
        break;
    }
    case UndoStep::Rewrite:
        if (!step.at.empty() && step.at.front() >= 0 && step.at.front() < n && step.column >= 0 &&
            step.column < static_cast<int>(TVirtualItem{}.SubItems.size()))
            rows[static_cast<std::size_t>(step.at.front())].SubItems[static_cast<std::size_t>(step.column)] =
                std::move(step.text);
        change.kind = RowChange::Changed;
        change.at = std::move(step.at);
        break;
    case UndoStep::Restore:
        rows = std::move(step.rows);
        hl = -1;  // the rows that held the marks are gone
        next = -1;
        change.kind = RowChange::Replaced;
        break;
    }
    hlIndex = hl;
    nextIndex = next;
    if (changes != nullptr)
        changes->push_back(std::move(change));
}

UndoLevel& RowUndo::push(int hlIndex, int nextIndex)
{
    if (static_cast<int>(m_levels.size()) >= kLevels)
        m_levels.pop_front();
    UndoLevel& level = m_levels.emplace_back();
    level.hlIndex = hlIndex;
    level.nextIndex = nextIndex;
    return level;
}

void RowUndo::saveCopy(const std::vector<TVirtualItem>& rows, int hlIndex, int nextIndex)
{
    UndoLevel& level = push(hlIndex, nextIndex);
    level.copy = true;
    level.rows = rows;
}

void RowUndo::saveEdits(std::size_t rowCount, int hlIndex, int nextIndex)
{
    push(hlIndex, nextIndex).savedRows = rowCount;
}

void RowUndo::record(UndoStep&& step, const std::vector<TVirtualItem>& rows)
{
    if (!recording())
        return;
    UndoLevel& level = m_levels.back();
    level.stepBytes += step.bytes();
    level.steps.push_back(std::move(step));
    constexpr std::size_t kMinCopyRows = 4096;
    const std::size_t copyRows = std::max({rows.size(), level.savedRows, kMinCopyRows});
    if (level.stepBytes <= 2 * copyRows * sizeof(TVirtualItem))
        return;
    std::vector<TVirtualItem> copy = rows;
    int hl = -1;
    int next = -1;
    for (auto it = level.steps.rbegin(); it != level.steps.rend(); ++it)
        applyUndoStep(copy, hl, next, std::move(*it), nullptr);
    level.steps.clear();
    level.stepBytes = 0;
    level.rows = std::move(copy);
    level.copy = true;
}

UndoLevel RowUndo::takeNewest()
{
    UndoLevel level = std::move(m_levels.back());
    m_levels.pop_back();
    return level;
}

}  // namespace controls
