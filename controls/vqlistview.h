// TVqListView: the report-style playlist view. Rows live in the inherited VqRowList; the view only
// shows them (a model over the rows, like an owner-data list), and adds undo, the shared row
// clipboard, drag reordering inside the list and the marked and keyword rows' fonts. It is a
// table without grid or row headers, whose rows all have one height: it keeps nothing per row, so
// a row that comes or goes costs the view no new layout of every row.
#pragma once

#include "controls/vqrowlist.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTableView>

#include <functional>

namespace controls {

class VqListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    VqListModel(VqRowList& rows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A column's caption alone (the widths and the rows stay).
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;

    void setColumns(const QStringList& captions);
    void setImages(QList<QPixmap> images) { m_images = std::move(images); }
    QFont baseFont;
    // Sets the shown row count without touching the selection of the rows that stay. The texts
    // are read as rows are drawn, so the view repaints rather than hearing of every row.
    void setCount(int count);
    int count() const { return m_count; }

private:
    VqRowList& m_rows;
    QStringList m_columns;
    QList<QPixmap> m_images;
    int m_count = 0;
};

class TVqListView : public QTableView, public VqRowList {
    Q_OBJECT
public:
    explicit TVqListView(QWidget* parent = nullptr);

    // The column header.
    QHeaderView* header() const { return horizontalHeader(); }
    // Column captions; at most 11 (column c > 0 shows SubItems[c - 1]).
    void setColumns(const QStringList& captions);
    void setSmallImages(QList<QPixmap> images);

    int AddRow(const QString& caption);
    void SetCell(const QString& text, int row, int col);  // no redraw
    void InsertRow(int index, const TVirtualItem& item);
    // A block of rows at index, in their order, shown with one view update.
    void InsertRows(int index, std::vector<TVirtualItem> items);
    void DeleteRow(int index);
    void ClearRows();
    // False (after the error box) when there is no valid playing row; item is then unchanged.
    bool GetHLItem(TVirtualItem& item);
    void SaveUndo() { saveUndo(); }
    int UndoDepth() const { return undoDepth(); }
    bool CanUndo() const { return canUndo(); }
    bool CanRedo() const { return false; }
    // As undo(): the rows a copy level replaced, nothing for a level of the list's own edits.
    std::optional<std::vector<TVirtualItem>> Undo();
    void CopySelection();
    void CutSelection();
    void DeleteSelection();
    void PasteRows();
    void DeleteSelectedRows();
    // After the owner changed Rows directly: shows the new row count and redraws.
    void syncView();
    // Measures RowHeight; called once the window has set the view up.
    void Loaded();

    // The selected rows in ascending order, read from the selection's ranges, so the cost is
    // the number of rows selected, not rows x ranges.
    std::vector<int> selectedRows() const;
    // The first selected row, -1 when none: the cost is the number of ranges.
    int firstSelectedRow() const;
    bool hasSelectedRows() const { return firstSelectedRow() >= 0; }
    // Selects exactly the given rows (any order, duplicates ignored); neighbouring rows become
    // one range of the selection.
    void selectRows(const std::vector<int>& rows);

    int RowHeight = 16;
    bool DragInsideList = false;
    std::function<void(QObject* sender)> OnMyEndDrag;
    // The pause after each automatic scroll step of a drag.
    int dragScrollPauseMs = 100;

protected:
    void changeEvent(QEvent* event) override;
    // Up and down as in a list: Home and End go to the first and last row, left and right scroll.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void dragMove(const QPoint& pos);
    int visibleRowCount() const;
    int measureRowHeight();
    // Every row as high as the font and the images need.
    void updateRowHeight();

    VqListModel* m_model;
    bool m_dragging = false;
    bool m_moved = false;
    int m_anchor = -1;
    int m_savedTop = 0;
    int m_savedBottom = 0;
};

}  // namespace controls
