// The playlist view widget: forwards every row operation to VqRowList and keeps the model's row
// count and the selection in step with it.
#include "controls/vqlistview.h"

#include "controls/selectionrows.h"
#include "platform/usermessages.h"
#include "platform/pathtext.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QThread>

#include <algorithm>

namespace controls {

namespace {
constexpr int kMaxColumns = 11;
}

VqListModel::VqListModel(VqRowList& rows, QObject* parent) : QAbstractTableModel(parent), m_rows(rows) {}

int VqListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int VqListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(m_columns.size()));
}

QVariant VqListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    const int col = index.column();
    // The owner may have changed Rows without telling the view yet: never read past them.
    if (!index.isValid() || row >= m_rows.rowCount() || col >= kMaxColumns)
        return {};
    const TVirtualItem& item = m_rows.Rows[static_cast<size_t>(row)];
    switch (role) {
    case Qt::DisplayRole:
        // A path that is not UTF-8 is kept as its bytes in the row; the screen shows it decoded.
        return platform::pathForDisplay(col == 0 ? item.Caption : item.SubItems[static_cast<size_t>(col - 1)]);
    case Qt::DecorationRole:
        if (col == 0 && item.ImageIndex >= 0 && item.ImageIndex < m_images.size())
            return m_images[item.ImageIndex];
        return {};
    case Qt::FontRole: {
        const RowStyle style = m_rows.rowStyle(row);
        if (!style.bold && !style.underline && !style.strikeOut)
            return {};
        QFont font = baseFont;
        font.setBold(style.bold);
        font.setUnderline(style.underline);
        font.setStrikeOut(style.strikeOut);
        return font;
    }
    case Qt::ForegroundRole: {
        const RowStyle style = m_rows.rowStyle(row);
        return style.color ? QVariant(*style.color) : QVariant();
    }
    default:
        return {};
    }
}

QVariant VqListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section];
    return {};
}

bool VqListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= m_columns.size())
        return false;
    m_columns[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void VqListModel::setColumns(const QStringList& captions)
{
    beginResetModel();
    m_columns = captions.mid(0, kMaxColumns);
    endResetModel();
}

void VqListModel::setCount(int count)
{
    count = std::max(0, count);
    if (count > m_count) {
        beginInsertRows({}, m_count, count - 1);
        m_count = count;
        endInsertRows();
    } else if (count < m_count) {
        beginRemoveRows({}, count, m_count - 1);
        m_count = count;
        endRemoveRows();
    }
}

TVqListView::TVqListView(QWidget* parent) : QTableView(parent), m_model(new VqListModel(*this, this))
{
    setModel(m_model);
    m_model->baseFont = font();
    // Columns are exactly as wide as set (0 hides one), as the profiles store them: no minimum
    // taken from the font and no last column stretched over the rest. Captions sit on the left
    // and stay plain whatever is selected; columns can be dragged to another place.
    QHeaderView* columns = horizontalHeader();
    columns->setMinimumSectionSize(0);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setSectionsMovable(true);
    // A list, not a grid: no row headers, no lines, one line of text per row, and Tab leaves it.
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    updateRowHeight();
    // Pressing a selected row keeps a multiple selection, so that it can be dragged; Qt's own
    // drag is never started (the moves below handle the press).
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVqListView::setColumns(const QStringList& captions)
{
    m_model->setColumns(captions);
    m_model->setCount(rowCount());
}

void TVqListView::setSmallImages(QList<QPixmap> images)
{
    m_model->setImages(std::move(images));
    updateRowHeight();
    viewport()->update();
}

int TVqListView::AddRow(const QString& caption)
{
    const int index = addRow(caption);
    syncView();
    return index;
}

void TVqListView::SetCell(const QString& text, int row, int col)
{
    setCell(text, row, col);
}

void TVqListView::InsertRow(int index, const TVirtualItem& item)
{
    insertRow(index, item);
    syncView();
}

void TVqListView::InsertRows(int index, std::vector<TVirtualItem> items)
{
    insertRows(index, std::move(items));
    syncView();
}

void TVqListView::DeleteRow(int index)
{
    deleteRow(index);
    syncView();
}

void TVqListView::ClearRows()
{
    clearRows();
    syncView();
}

bool TVqListView::GetHLItem(TVirtualItem& item)
{
    const auto row = hlItem();
    if (!row) {
        platform::messageBox("Range check error. Func: GetHLItem", "Error", platform::MB_ICONERROR);
        return false;
    }
    item = *row;
    return true;
}

std::optional<std::vector<TVirtualItem>> TVqListView::Undo()
{
    std::optional<std::vector<TVirtualItem>> replaced = undo();
    syncView();
    return replaced;
}

void TVqListView::CopySelection()
{
    copyRows(selectedRows());
}

void TVqListView::CutSelection()
{
    CopySelection();
    DeleteSelection();
}

void TVqListView::DeleteSelection()
{
    startUndoLevel();
    DeleteSelectedRows();
    viewport()->update();
}

void TVqListView::PasteRows()
{
    pasteRows(firstSelectedRow());
    syncView();
}

void TVqListView::DeleteSelectedRows()
{
    const std::vector<int> selected = selectedRows();
    selectionModel()->clearSelection();
    deleteRows(selected);
    syncView();
}

void TVqListView::syncView()
{
    m_model->setCount(rowCount());
    if (rowCount() > 0)
        updateRowHeight();  // the first row may hold an image the list had not shown yet
    viewport()->update();
}

void TVqListView::Loaded()
{
    RowHeight = measureRowHeight();
}

std::vector<int> TVqListView::selectedRows() const
{
    return selectedRowsByRange(*selectionModel(), m_model->columnCount(), m_model->count());
}

int TVqListView::firstSelectedRow() const
{
    return firstSelectedRowByRange(*selectionModel(), m_model->columnCount(), m_model->count());
}

void TVqListView::selectRows(const std::vector<int>& rows)
{
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    for (int row : rows)
        if (row >= 0 && row < m_model->count())
            sorted.push_back(row);
    std::sort(sorted.begin(), sorted.end());
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] <= sorted[j] + 1)
            ++j;
        selection.append(QItemSelectionRange(m_model->index(sorted[i], 0), m_model->index(sorted[j], lastColumn)));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

int TVqListView::measureRowHeight()
{
    const bool temporary = m_model->count() == 0;
    if (temporary)
        m_model->setCount(1);
    int height = sizeHintForRow(0);
    if (temporary)
        m_model->setCount(0);
    return height > 0 ? height : fontMetrics().height();
}

void TVqListView::updateRowHeight()
{
    // Measured on the first row, as it is drawn; a header told its size again would visit every row.
    const int height = measureRowHeight();
    if (height != verticalHeader()->defaultSectionSize())
        verticalHeader()->setDefaultSectionSize(height);
}

QModelIndex TVqListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    switch (cursorAction) {
    case MoveHome:
        return m_model->count() > 0 ? m_model->index(0, column) : QModelIndex();
    case MoveEnd:
        return m_model->count() > 0 ? m_model->index(m_model->count() - 1, column) : QModelIndex();
    case MoveLeft:
    case MoveRight: {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + (cursorAction == MoveLeft ? -1 : 1) * bar->singleStep());
        return current;
    }
    default:
        return QTableView::moveCursor(cursorAction, modifiers);
    }
}

void TVqListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // A selection of many pieces (rows picked one by one, thousands of them) is repainted whole:
    // working out where each piece lies on the screen costs more than painting the view.
    constexpr qsizetype kPiecesToPlace = 64;
    if (selected.size() + deselected.size() > kPiecesToPlace) {
        viewport()->update();
        return;
    }
    QTableView::selectionChanged(selected, deselected);
}

int TVqListView::visibleRowCount() const
{
    const int height = std::max(1, RowHeight);
    return viewport()->height() / height;
}

void TVqListView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    // The marked rows are drawn in the list's font made bold or underlined: a new font is theirs
    // too, and the rows take its height.
    if (event->type() == QEvent::FontChange) {
        m_model->baseFont = font();
        updateRowHeight();
    }
}

void TVqListView::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    if (!DragInsideList || event->button() != Qt::LeftButton)
        return;
    m_moved = false;
    const std::vector<int> selected = selectedRows();
    if (selected.empty())
        return;
    m_dragging = true;
    m_anchor = selected.front();
    RowHeight = measureRowHeight();
    m_savedTop = verticalScrollBar()->value();
    m_savedBottom = m_savedTop + visibleRowCount();
}

void TVqListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click starts no drag.
    QTableView::mouseDoubleClickEvent(event);
}

void TVqListView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    dragMove(event->position().toPoint());
}

void TVqListView::dragMove(const QPoint& pos)
{
    const std::vector<int> selected = selectedRows();
    if (static_cast<int>(selected.size()) <= kMaxDragRows) {
        if (verticalScrollBar()->value() != m_savedTop)
            return;  // scrolled by other means since the last step
        const QModelIndex under = indexAt(pos);
        const int target = under.isValid() ? under.row() : -1;
        if (target < 0 || target == m_anchor)
            return;
        DragStepResult step;
        {
            // Listeners of the selection hear nothing of the rows while they move.
            const QSignalBlocker blocker(selectionModel());
            step = dragStep(selected, m_anchor, target);
            if (step.changed) {
                selectionModel()->clearSelection();
                m_model->setCount(rowCount());
                selectRows(step.selection);
            }
        }
        if (!step.counted)
            return;
        if (step.changed) {
            m_anchor = target;
            bool paced = false;
            if (target >= m_savedBottom - 1) {
                ++m_savedTop;
                ++m_savedBottom;
                paced = true;
            } else if (target <= m_savedTop) {
                --m_savedTop;
                --m_savedBottom;
                paced = true;
            }
            // Kept within the scroll range so that later moves of the press still count.
            const int top = std::clamp(m_savedTop, 0, verticalScrollBar()->maximum());
            m_savedBottom += top - m_savedTop;
            m_savedTop = top;
            if (paced && dragScrollPauseMs > 0)
                QThread::msleep(static_cast<unsigned long>(dragScrollPauseMs));
            verticalScrollBar()->setValue(m_savedTop);
        }
    }
    viewport()->repaint();
    m_moved = true;
}

void TVqListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QTableView::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    // The view ends its press as usual, but a release after moved rows must not select the one
    // row under the mouse in place of the moved block.
    const std::vector<int> moved = selectedRows();
    QTableView::mouseReleaseEvent(event);
    if (m_moved)
        selectRows(moved);
    if (m_moved && OnMyEndDrag)
        OnMyEndDrag(this);
}

}  // namespace controls
