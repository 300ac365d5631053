// Row operations of the playlist view. The playing and play-next marks are carried by index
// arithmetic, so they stay right even when both mark the same row or a caption starts with a
// character that could be mistaken for a marker.
#include "controls/vqrowlist.h"

#include <QLocale>

#include <algorithm>

namespace controls {

std::vector<TVirtualItem>& ClipboardRows()
{
    static std::vector<TVirtualItem> rows;
    return rows;
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
    if (items.empty())
        return;
    index = std::clamp(index, 0, rowCount());
    const int count = static_cast<int>(items.size());
    Rows.insert(Rows.begin() + index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
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
    if (static_cast<int>(m_undo.size()) >= kUndoLevels)
        m_undo.pop_front();
    m_undo.push_back(Rows);
}

void VqRowList::undo()
{
    if (m_undo.empty())
        return;
    Rows = std::move(m_undo.back());
    m_undo.pop_back();
}

void VqRowList::copyRows(std::vector<int> indices) const
{
    sortUnique(indices, rowCount());
    auto& clip = ClipboardRows();
    clip.clear();
    for (int i : indices)
        clip.push_back(Rows[static_cast<size_t>(i)]);
}

void VqRowList::pasteRows(int firstSelected)
{
    saveUndo();
    const int p = firstSelected >= 0 && firstSelected < rowCount() ? firstSelected : rowCount() - 1;
    // A copy, so that pasting a list's rows into itself cannot read rows as it inserts them.
    insertRows(p + 1, ClipboardRows());
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
    std::vector<TVirtualItem> rows;
    rows.reserve(order.size());
    HLIndex = -1;
    NextIndex = -1;
    for (size_t pos = 0; pos < order.size(); ++pos) {
        const int old = order[pos];
        rows.push_back(std::move(Rows[static_cast<size_t>(old)]));
        if (old == hl)
            HLIndex = static_cast<int>(pos);
        if (old == next)
            NextIndex = static_cast<int>(pos);
    }
    Rows = std::move(rows);
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
    return style;
}

}  // namespace controls
