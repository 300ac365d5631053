// The playlist rows behind TVqListView: the row records, the playing and play-next marks, ten
// undo levels, the process-wide row clipboard and the drag reordering, all without a screen.
#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <deque>
#include <optional>
#include <vector>

namespace controls {

struct TVirtualItem {
    QString Caption;
    std::array<QString, 11> SubItems;  // SubItems[c] is the text of column c + 1
    int ImageIndex = 0;

    friend bool operator==(const TVirtualItem&, const TVirtualItem&) = default;
};

// One list of row copies for the whole process: cut or copied rows, pasted into any list.
// User-interface thread only.
std::vector<TVirtualItem>& ClipboardRows();

// Makes room for at least capacity rows, the rows kept as they are. A list that must grow grows
// to at least twice its rows, so that repeated additions stay linear.
void ReserveRows(std::vector<TVirtualItem>& rows, std::size_t capacity);

// Puts rows into the order given: row i afterwards is the one that was at order[i] (order holds
// every index once). The rows move in place, each once, without a second list.
void ApplyRowOrder(std::vector<TVirtualItem>& rows, const std::vector<int>& order);

// How one row is drawn: the marks give bold and underline, keywords the colour.
struct RowStyle {
    bool bold = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<QColor> color;  // none: the list's own text colour
};

// Result of one drag step.
struct DragStepResult {
    bool counted = false;        // the step counts as a move for the end-of-drag event
    bool changed = false;        // rows moved
    std::vector<int> selection;  // the moved rows' new indices (when changed)
};

class VqRowList {
public:
    static constexpr int kUndoLevels = 10;
    static constexpr int kMaxDragRows = 100;

    // Public fields: the player reads and writes rows and marks directly.
    std::vector<TVirtualItem> Rows;
    int HLIndex = -1;    // the playing row, -1 none
    int NextIndex = -1;  // the row chosen to play next, -1 none

    QColor HighlightColor = QColor(Qt::black);
    QString AdvertKeyword;  // lower case
    QColor AdvertColor = QColor(Qt::red);
    QString JingleKeyword;  // lower case
    QColor JingleColor = QColor(Qt::blue);
    // A row whose SubItems[0] (the hidden column) equals StruckMarker is drawn struck out in
    // StruckColor, over the other colours; an empty marker marks nothing.
    QString StruckMarker;
    QColor StruckColor = QColor(Qt::gray);

    int rowCount() const { return static_cast<int>(Rows.size()); }

    int addRow(const QString& caption);
    // Out-of-range rows or columns are ignored.
    void setCell(const QString& text, int row, int col);
    // index from 0 to rowCount(); marks at or after it move down with their rows.
    void insertRow(int index, const TVirtualItem& item);
    // The same for a block of rows, kept in their order, in one pass over the list.
    void insertRows(int index, std::vector<TVirtualItem> items);
    // Marks stay on their rows; a deleted marked row leaves its mark at -1. One pass over the
    // list, however many rows go.
    void deleteRow(int index);
    void deleteRows(std::vector<int> indices);
    void clearRows();
    std::optional<TVirtualItem> hlItem() const;

    void saveUndo();
    int undoDepth() const { return static_cast<int>(m_undo.size()); }
    bool canUndo() const { return !m_undo.empty(); }
    // Restores the newest level and returns the rows it replaced; the marks are left to the caller.
    std::vector<TVirtualItem> undo();
    // The playing and play-next marks as they were when the newest level was saved (-1 when
    // there was none, or no level): what a caller re-establishing the marks after undo() can go
    // by when several rows hold the same track.
    int undoHLIndex() const { return m_undo.empty() ? -1 : m_undo.back().hlIndex; }
    int undoNextIndex() const { return m_undo.empty() ? -1 : m_undo.back().nextIndex; }

    // Replaces the clipboard with copies of the given rows, in index order.
    void copyRows(std::vector<int> indices) const;
    // Saves an undo level, then inserts the clipboard rows after firstSelected (-1: at the end).
    void pasteRows(int firstSelected);

    // One step of dragging the selected rows so that the first lands on target. anchor is the
    // index of the first row of the moving block, target the row under the mouse (-1 none).
    DragStepResult dragStep(std::vector<int> selected, int anchor, int target);

    RowStyle rowStyle(int index) const;

private:
    int validMark(int mark) const { return mark >= 0 && mark < rowCount() ? mark : -1; }
    // Rows put into the order given by their old indices; marks follow their rows.
    void reorder(const std::vector<int>& order);
    // Inserts [first, last) at index (clamped); marks at or after it move down with their rows.
    template <typename Iterator>
    void insertRange(int index, Iterator first, Iterator last);

    struct UndoLevel {
        std::vector<TVirtualItem> rows;
        int hlIndex = -1;
        int nextIndex = -1;
    };
    std::deque<UndoLevel> m_undo;  // back is the newest level
};

}  // namespace controls
