// The playlist rows behind TVqListView: the row records, the playing and play-next marks, ten
// undo levels, the process-wide row clipboard and the drag reordering, all without a screen.
#pragma once

#include "controls/rowchanges.h"
#include "controls/rowundo.h"
#include "controls/vqrowitem.h"

#include <QColor>
#include <QString>

#include <optional>
#include <vector>

namespace controls {

// One list of row copies for the whole process: cut or copied rows, pasted into any list.
// User-interface thread only.
std::vector<TVirtualItem>& ClipboardRows();

// Makes room for at least capacity rows, the rows kept as they are. A list that must grow grows
// to at least twice its rows and a quarter beyond what is asked, so that repeated additions stay
// linear and the first ones after a list was filled move nothing.
void ReserveRows(std::vector<TVirtualItem>& rows, std::size_t capacity);

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
    // A caller that wrote a row's texts itself says so, for takeChanges().
    void rowChanged(int row);
    // index from 0 to rowCount(); marks at or after it move down with their rows.
    void insertRow(int index, const TVirtualItem& item);
    // The same for a block of rows, kept in their order, in one pass over the list.
    void insertRows(int index, std::vector<TVirtualItem> items);
    // Marks stay on their rows; a deleted marked row leaves its mark at -1. One pass over the
    // list, however many rows go.
    void deleteRow(int index);
    void deleteRows(std::vector<int> indices);
    void clearRows();
    // clearRows() that hands the rows over instead of destroying them (a long list's rows can
    // then be freed elsewhere); nothing when the undo level open keeps them.
    std::vector<TVirtualItem> takeRows();
    // Puts the rows in the order given (row i afterwards is the one that was at order[i]; order
    // holds every index once, else nothing happens); the marks follow their rows.
    void reorderRows(const std::vector<int>& order);
    std::optional<TVirtualItem> hlItem() const;

    // An undo level with a copy of every row: for a caller that then changes Rows itself.
    void saveUndo();
    // An undo level that keeps what the list's own operations change from now on (the rows they
    // take out, where rows come in, the order before a reorder), not a copy of the rows: undo
    // takes those changes back. Rows appended to Rows directly meanwhile count as appended; a
    // caller that changes Rows directly in any other way must save with saveUndo() instead.
    void startUndoLevel();
    int undoDepth() const { return m_undo.depth(); }
    bool canUndo() const { return !m_undo.empty(); }
    // Restores the newest level. A level of saveUndo() puts its copy back and returns the rows it
    // replaced, the marks left to the caller; a level of startUndoLevel() takes its changes back,
    // the marks following their rows (a mark on a row the undo takes away becomes -1), and
    // returns nothing. Nothing happens without a level.
    std::optional<std::vector<TVirtualItem>> undo();
    // The playing and play-next marks as they were when the newest level was saved (-1 when
    // there was none, or no level): what a caller re-establishing the marks after undo() can go
    // by when several rows hold the same track.
    int undoHLIndex() const { return m_undo.empty() ? -1 : m_undo.newest()->hlIndex; }
    int undoNextIndex() const { return m_undo.empty() ? -1 : m_undo.newest()->nextIndex; }

    // Replaces the clipboard with copies of the given rows, in index order.
    void copyRows(std::vector<int> indices) const;
    // Saves an undo level, then inserts the clipboard rows after firstSelected (-1: at the end).
    void pasteRows(int firstSelected);

    // One step of dragging the selected rows so that the first lands on target. anchor is the
    // index of the first row of the moving block, target the row under the mouse (-1 none).
    DragStepResult dragStep(std::vector<int> selected, int anchor, int target);

    // From now on the list notes what its operations do to the rows, for takeChanges().
    void trackChanges() { m_tracking = true; }
    // What happened to the rows since the last call, in order. Rows appended to Rows directly
    // come as inserted at the end; any other change made to Rows directly that alters their
    // number comes as every row replaced.
    std::vector<RowChange> takeChanges();

    RowStyle rowStyle(int index) const;

private:
    int validMark(int mark) const { return mark >= 0 && mark < rowCount() ? mark : -1; }
    // Inserts [first, last) at index (clamped); marks at or after it move down with their rows.
    template <typename Iterator>
    void insertRange(int index, Iterator first, Iterator last);
    // What Rows went through behind the list's back since its last operation, as far as their
    // number tells: appended rows are taken for appended; rows gone leave no edit to take back.
    void absorbDirectChanges();
    // After each operation: the change for takeChanges() and its reverse for the newest undo level.
    void edited(RowChange&& change, UndoStep&& reverse);
    void note(RowChange&& change);

    RowUndo m_undo;
    bool m_tracking = false;
    std::vector<RowChange> m_changes;
    std::size_t m_changesSize = 0;  // indices held by m_changes
    int m_knownCount = 0;           // the rows after the last operation
};

}  // namespace controls
