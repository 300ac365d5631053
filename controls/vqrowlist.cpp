// Row operations of the playlist view. The playing and play-next marks are carried by index
// arithmetic, so they stay right even when both mark the same row or a caption starts with a
// character that could be mistaken for a marker.
#include "controls/vqrowlist.h"

#include <QLocale>

#include <algorithm>
#include <climits>
#include <utility>


namespace controls {

std::vector<TVirtualItem>& ClipboardRows()
{
    static std::vector<TVirtualItem> rows;
    return rows;
}

void ReserveRows(std::vector<TVirtualItem>& rows, std::size_t capacity)
{
    if (rows.capacity() >= capacity)
        return;
    // Room beyond what is asked costs nothing until it is used (its pages are not touched), and
    // spares the rows added next, one by one after a playlist was read, a move of the whole list.
    capacity = std::max(capacity + capacity / 4, 2 * rows.size());
    std::vector<TVirtualItem> room;
    room.reserve(capacity);
    // No large pages asked for: where the system compacts memory to give them, the first touch
    // of a long list's new room stalls the thread for a hundred milliseconds and more, while the
    // small pages it is written into cost about two microseconds each.
    room.insert(room.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    rows.swap(room);
}

namespace {

void sortUnique(std::vector<int>& v, int count)
{
    std::erase_if(v, [count](int i) { return i < 0 || i >= count; });
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

void VqRowList::note(RowChange&& change)
{
    if (!m_tracking)
        return;
    m_changesSize += change.at.size() + change.to.size() + change.order.size() + 1;
    m_changes.push_back(std::move(change));
    // Notes nobody takes must not pile up: past a few times the rows, they say no more than
    // "everything from the first change on".
    if (m_changesSize > 4 * Rows.size() + 65536) {
        RowChange all;
        all.kind = RowChange::Replaced;
        all.from = INT_MAX;
        for (const RowChange& c : m_changes)
            all.from = std::min(all.from, c.firstChanged());
        m_changes.clear();
        m_changes.push_back(std::move(all));
        m_changesSize = 1;
    }
}

void VqRowList::edited(RowChange&& change, UndoStep&& reverse)
{
    note(std::move(change));
    m_undo.record(std::move(reverse), Rows);
    m_knownCount = rowCount();
}

void VqRowList::absorbDirectChanges()
{
    const int n = rowCount();
    if (n == m_knownCount)
        return;
    if (n > m_knownCount) {
        RowChange change;
        change.kind = RowChange::Inserted;
        change.at = indexRange(m_knownCount, n - m_knownCount);
        UndoStep reverse;
        reverse.kind = UndoStep::TakeOut;
        reverse.at = change.at;
        edited(std::move(change), std::move(reverse));
        return;
    }
    RowChange change;
    change.kind = RowChange::Replaced;
    note(std::move(change));
    // Rows gone without a word cannot be put back: a level of edits would take its edits back
    // on rows it does not know.
    if (m_undo.recording())
        m_undo.clear();
    m_knownCount = n;
}

int VqRowList::addRow(const QString& caption)
{
    absorbDirectChanges();
    TVirtualItem item;
    item.Caption = caption;
    insertRange(rowCount(), std::make_move_iterator(&item), std::make_move_iterator(&item + 1));
    return rowCount() - 1;
}

void VqRowList::setCell(const QString& text, int row, int col)
{
    absorbDirectChanges();
    if (row < 0 || row >= rowCount() || col < 0 || col >= static_cast<int>(TVirtualItem{}.SubItems.size()))
        return;
    QString& cell = Rows[static_cast<size_t>(row)].SubItems[static_cast<size_t>(col)];
    UndoStep reverse;
    reverse.kind = UndoStep::Rewrite;
    if (m_undo.recording()) {
        reverse.at = {row};
        reverse.column = col;
        reverse.text = cell;
    }
    cell = text;
    RowChange change;
    change.kind = RowChange::Changed;
    change.at = {row};
    edited(std::move(change), std::move(reverse));
}

void VqRowList::rowChanged(int row)
{
    absorbDirectChanges();
    if (row < 0 || row >= rowCount())
        return;
    RowChange change;
    change.kind = RowChange::Changed;
    change.at = {row};
    note(std::move(change));
}

void VqRowList::insertRow(int index, const TVirtualItem& item)
{
    TVirtualItem copy = item;  // item may be one of the rows, which the insertion moves
    insertRange(index, std::make_move_iterator(&copy), std::make_move_iterator(&copy + 1));
}

void VqRowList::insertRows(int index, std::vector<TVirtualItem> items)
{
    insertRange(index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
}

template <typename Iterator>
void VqRowList::insertRange(int index, Iterator first, Iterator last)
{
    absorbDirectChanges();
    if (first == last)
        return;
    index = std::clamp(index, 0, rowCount());
    const int count = static_cast<int>(std::distance(first, last));
    ReserveRows(Rows, Rows.size() + static_cast<std::size_t>(count));
    Rows.insert(Rows.begin() + index, first, last);
    if (HLIndex >= index)
        HLIndex += count;
    if (NextIndex >= index)
        NextIndex += count;
    RowChange change;
    change.kind = RowChange::Inserted;
    UndoStep reverse;
    reverse.kind = UndoStep::TakeOut;
    if (m_undo.recording())
        reverse.at = indexRange(index, count);
    if (m_tracking)
        change.at = m_undo.recording() ? reverse.at : indexRange(index, count);
    edited(std::move(change), std::move(reverse));
}

void VqRowList::deleteRow(int index)
{
    deleteRows({index});
}

void VqRowList::deleteRows(std::vector<int> indices)
{
    absorbDirectChanges();
    sortUnique(indices, rowCount());
    if (indices.empty())
        return;
    const int hl = indexAfterErase(validMark(HLIndex), indices);
    const int next = indexAfterErase(validMark(NextIndex), indices);
    // The rows that stay move up over the gaps, each once; the rows that go are kept for undo.
    UndoStep reverse;
    reverse.kind = UndoStep::PutBack;
    eraseAt(Rows, indices, m_undo.recording() ? &reverse.rows : nullptr);
    HLIndex = hl;
    NextIndex = next;
    RowChange change;
    change.kind = RowChange::Removed;
    if (m_undo.recording())
        reverse.at = indices;
    change.at = std::move(indices);
    edited(std::move(change), std::move(reverse));
}

void VqRowList::clearRows()
{
    takeRows();
}

std::vector<TVirtualItem> VqRowList::takeRows()
{
    absorbDirectChanges();
    UndoStep reverse;
    reverse.kind = UndoStep::Restore;
    std::vector<TVirtualItem> taken;
    if (m_undo.recording())
        reverse.rows = std::move(Rows);  // the whole list is the undo: nothing is copied
    else
        taken.swap(Rows);
    Rows.clear();
    HLIndex = -1;
    NextIndex = -1;
    edited(RowChange{}, std::move(reverse));
    return taken;
}

void VqRowList::reorderRows(const std::vector<int>& order)
{
    absorbDirectChanges();
    if (order.size() != Rows.size())
        return;
    std::vector<bool> seen(order.size(), false);
    for (int from : order) {
        if (from < 0 || from >= rowCount() || seen[static_cast<std::size_t>(from)])
            return;
        seen[static_cast<std::size_t>(from)] = true;
    }
    if (firstReordered(order) == rowCount())
        return;
    const std::vector<int> inverse = inverseOrder(order);
    const int hl = validMark(HLIndex);
    const int next = validMark(NextIndex);
    HLIndex = hl < 0 ? -1 : inverse[static_cast<std::size_t>(hl)];
    NextIndex = next < 0 ? -1 : inverse[static_cast<std::size_t>(next)];
    applyOrder(Rows, order);
    RowChange change;
    change.kind = RowChange::Reordered;
    if (m_tracking)
        change.order = order;
    UndoStep reverse;
    reverse.kind = UndoStep::Unorder;
    if (m_undo.recording())
        reverse.order = order;
    edited(std::move(change), std::move(reverse));
}

std::optional<TVirtualItem> VqRowList::hlItem() const
{
    if (validMark(HLIndex) < 0)
        return std::nullopt;
    return Rows[static_cast<size_t>(HLIndex)];
}

void VqRowList::saveUndo()
{
    absorbDirectChanges();
    m_undo.saveCopy(Rows, validMark(HLIndex), validMark(NextIndex));
}

void VqRowList::startUndoLevel()
{
    absorbDirectChanges();
    m_undo.saveEdits(Rows.size(), validMark(HLIndex), validMark(NextIndex));
}

std::optional<std::vector<TVirtualItem>> VqRowList::undo()
{
    absorbDirectChanges();
    if (m_undo.empty())
        return std::nullopt;
    UndoLevel level = m_undo.takeNewest();
    if (level.copy) {
        std::vector<TVirtualItem> replaced = std::move(Rows);
        Rows = std::move(level.rows);
        note(RowChange{});
        m_knownCount = rowCount();
        return replaced;
    }
    std::vector<RowChange> changes;
    for (auto it = level.steps.rbegin(); it != level.steps.rend(); ++it)
        applyUndoStep(Rows, HLIndex, NextIndex, std::move(*it), m_tracking ? &changes : nullptr);
    for (RowChange& change : changes)
        note(std::move(change));
    m_knownCount = rowCount();
    return std::nullopt;
}

void VqRowList::copyRows(std::vector<int> indices) const
{
    sortUnique(indices, rowCount());
    auto& clip = ClipboardRows();
    clip.clear();
    ReserveRows(clip, indices.size());
    for (int i : indices)
        clip.push_back(Rows[static_cast<size_t>(i)]);
}

void VqRowList::pasteRows(int firstSelected)
{
    startUndoLevel();
    const int p = firstSelected >= 0 && firstSelected < rowCount() ? firstSelected : rowCount() - 1;
    // Straight from the clipboard, which holds copies of its own: pasting a list's rows into
    // itself reads none of the rows being moved.
    const std::vector<TVirtualItem>& clip = ClipboardRows();
    insertRange(p + 1, clip.begin(), clip.end());
}

DragStepResult VqRowList::dragStep(std::vector<int> selected, int anchor, int target)
{
    absorbDirectChanges();
    DragStepResult result;
    sortUnique(selected, rowCount());
    if (static_cast<int>(selected.size()) > kMaxDragRows) {
        result.counted = true;  // too many rows to move, yet the press still counts as a drag
        return result;
    }
    if (selected.empty() || target < 0 || target >= rowCount() || target == anchor)
        return result;
    // The block keeps its inner gaps; it must fit between target and the end of the list.
    const int first = selected.front();
    const int span = selected.back() - first + 1;
    if (rowCount() < target + span)
        return result;

    for (int oldIndex : selected)
        result.selection.push_back(target + (oldIndex - first));
    HLIndex = indexAfterMove(validMark(HLIndex), selected, result.selection);
    NextIndex = indexAfterMove(validMark(NextIndex), selected, result.selection);
    moveAt(Rows, selected, result.selection);
    RowChange change;
    change.kind = RowChange::Moved;
    change.at = selected;
    change.to = result.selection;
    UndoStep reverse;
    reverse.kind = UndoStep::MoveBack;
    if (m_undo.recording()) {
        reverse.at = result.selection;
        reverse.to = std::move(selected);
    }
    edited(std::move(change), std::move(reverse));
    result.counted = true;
    result.changed = true;
    return result;
}

std::vector<RowChange> VqRowList::takeChanges()
{
    absorbDirectChanges();
    m_changesSize = 0;
    return std::exchange(m_changes, {});
}

RowStyle VqRowList::rowStyle(int index) const
{
    RowStyle style;
    if (index < 0 || index >= rowCount())
        return style;
    if (index == HLIndex) {
        style.bold = true;
        style.color = HighlightColor;
    }
    if (index == NextIndex) {
        style.underline = true;
        style.color = HighlightColor;
    }
    const QString name = QLocale().toLower(Rows[static_cast<size_t>(index)].SubItems[1]);
    if (!AdvertKeyword.isEmpty() && name.contains(AdvertKeyword))
        style.color = AdvertColor;
    if (!JingleKeyword.isEmpty() && name.contains(JingleKeyword))
        style.color = JingleColor;
    if (!StruckMarker.isEmpty() && Rows[static_cast<size_t>(index)].SubItems[0] == StruckMarker) {
        style.strikeOut = true;
        style.color = StruckColor;
    }
    return style;
}

}  // namespace controls
