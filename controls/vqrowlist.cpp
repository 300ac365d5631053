// Row operations of the playlist view. The playing and play-next marks are carried by index
// arithmetic, so they stay right even when both mark the same row or a caption starts with a
// character that could be mistaken for a marker.
#include "controls/vqrowlist.h"

#include <QLocale>

#include <algorithm>
#include <cstdint>

#include <sys/mman.h>

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
    capacity = std::max(capacity, 2 * rows.size());
    std::vector<TVirtualItem> room;
    room.reserve(capacity);
    // Untouched as yet: large pages, where the system gives them on request, make the many
    // megabytes of a long list a few page faults rather than thousands.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(room.data());
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + capacity * sizeof(TVirtualItem)) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    room.insert(room.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    rows.swap(room);
}

void ApplyRowOrder(std::vector<TVirtualItem>& rows, const std::vector<int>& order)
{
    // Each cycle of the permutation is followed once: its first row is held aside while the
    // others move up into the places they are called to.
    std::vector<bool> placed(order.size(), false);
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (placed[start])
            continue;
        placed[start] = true;
        if (static_cast<std::size_t>(order[start]) == start)
            continue;
        TVirtualItem held = std::move(rows[start]);
        std::size_t pos = start;
        for (;;) {
            const auto from = static_cast<std::size_t>(order[pos]);
            if (from == start) {
                rows[pos] = std::move(held);
                break;
            }
            rows[pos] = std::move(rows[from]);
            placed[from] = true;
            pos = from;
        }
    }
}

namespace {

void sortUnique(std::vector<int>& v, int count)
{
    std::erase_if(v, [count](int i) { return i < 0 || i >= count; });
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

int VqRowList::addRow(const QString& caption)
{
    TVirtualItem item;
    item.Caption = caption;
    Rows.push_back(std::move(item));
    return rowCount() - 1;
}

void VqRowList::setCell(const QString& text, int row, int col)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= static_cast<int>(TVirtualItem{}.SubItems.size()))
        return;
    Rows[static_cast<size_t>(row)].SubItems[static_cast<size_t>(col)] = text;
}

void VqRowList::insertRow(int index, const TVirtualItem& item)
{
    insertRows(index, {item});
}

void VqRowList::insertRows(int index, std::vector<TVirtualItem> items)
{
    insertRange(index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
}

template <typename Iterator>
void VqRowList::insertRange(int index, Iterator first, Iterator last)
{
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
}

void VqRowList::deleteRow(int index)
{
    deleteRows({index});
}

void VqRowList::deleteRows(std::vector<int> indices)
{
    sortUnique(indices, rowCount());
    auto shifted = [&indices](int mark) {
        if (mark < 0)
            return -1;
        const auto it = std::lower_bound(indices.begin(), indices.end(), mark);
        if (it != indices.end() && *it == mark)
            return -1;
        return mark - static_cast<int>(it - indices.begin());
    };
    const int hl = shifted(validMark(HLIndex));
    const int next = shifted(validMark(NextIndex));
    // The rows that stay move up over the gaps, each once.
    auto out = Rows.begin() + (indices.empty() ? rowCount() : indices.front());
    std::size_t gone = 0;
    for (auto in = out; in != Rows.end(); ++in) {
        const int i = static_cast<int>(in - Rows.begin());
        if (gone < indices.size() && indices[gone] == i) {
            ++gone;
            continue;
        }
        *out++ = std::move(*in);
    }
    Rows.erase(out, Rows.end());
    HLIndex = hl;
    NextIndex = next;
}

void VqRowList::clearRows()
{
    Rows.clear();
    HLIndex = -1;
    NextIndex = -1;
}

std::optional<TVirtualItem> VqRowList::hlItem() const
{
    if (validMark(HLIndex) < 0)
        return std::nullopt;
    return Rows[static_cast<size_t>(HLIndex)];
}

void VqRowList::saveUndo()
{
    UndoLevel level;
    if (static_cast<int>(m_undo.size()) >= kUndoLevels) {
        // The oldest level's storage holds the new one when it is about the size needed: a long
        // list then costs no fresh memory per edit, and one that has shrunk keeps no old bulk.
        if (m_undo.front().rows.capacity() <= 2 * Rows.size())
            level = std::move(m_undo.front());
        m_undo.pop_front();
    }
    level.rows.clear();
    ReserveRows(level.rows, Rows.size());
    level.rows = Rows;
    level.hlIndex = validMark(HLIndex);
    level.nextIndex = validMark(NextIndex);
    m_undo.push_back(std::move(level));
}

std::vector<TVirtualItem> VqRowList::undo()
{
    if (m_undo.empty())
        return {};
    std::vector<TVirtualItem> replaced = std::move(Rows);
    Rows = std::move(m_undo.back().rows);
    m_undo.pop_back();
    return replaced;
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
    saveUndo();
    const int p = firstSelected >= 0 && firstSelected < rowCount() ? firstSelected : rowCount() - 1;
    // Straight from the clipboard, which holds copies of its own: pasting a list's rows into
    // itself reads none of the rows being moved.
    const std::vector<TVirtualItem>& clip = ClipboardRows();
    insertRange(p + 1, clip.begin(), clip.end());
}

DragStepResult VqRowList::dragStep(std::vector<int> selected, int anchor, int target)
{
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

    std::vector<int> rest;
    rest.reserve(Rows.size());
    for (int i = 0, s = 0; i < rowCount(); ++i) {
        if (s < static_cast<int>(selected.size()) && selected[static_cast<size_t>(s)] == i)
            ++s;
        else
            rest.push_back(i);
    }
    std::vector<int> order = rest;
    for (int oldIndex : selected) {
        const int pos = target + (oldIndex - first);
        order.insert(order.begin() + pos, oldIndex);
        result.selection.push_back(pos);
    }
    reorder(order);
    result.counted = true;
    result.changed = true;
    return result;
}

void VqRowList::reorder(const std::vector<int>& order)
{
    const int hl = validMark(HLIndex);
    const int next = validMark(NextIndex);
    HLIndex = -1;
    NextIndex = -1;
    for (size_t pos = 0; pos < order.size(); ++pos) {
        const int old = order[pos];
        if (old == hl)
            HLIndex = static_cast<int>(pos);
        if (old == next)
            NextIndex = static_cast<int>(pos);
    }
    ApplyRowOrder(Rows, order);
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
