// Row texts and colours of the base's list.
#include "database/tracklistmodel.h"

#include "database/recordtext.h"

namespace database {

TrackListModel::TrackListModel(TrackBase& base, QObject* parent)
    : QAbstractTableModel(parent), m_base(base),
      m_captions{QString::fromUtf8("Исполнитель"), QString::fromUtf8("Название"), QString::fromUtf8("Альбом"),
                 QString::fromUtf8("Год"), QString::fromUtf8("Жанр"), QString::fromUtf8("Комментарий"),
                 QString::fromUtf8("Время"), QString::fromUtf8("Имя файла на диске"), "Size"},
      m_colors{QColor(0, 0, 0), QColor(0x80, 0, 0), QColor(0, 0, 0x80), QColor(0, 0x80, 0)}
{
}

int TrackListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_base.List.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant TrackListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= m_base.List.size())
        return {};
    const TTrackRecord& r = *m_base.List[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return columnText(r, index.column());
    if (role == Qt::ForegroundRole)
        return m_colors[static_cast<std::size_t>(colorSlot(r))];
    return {};
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return m_captions[static_cast<std::size_t>(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TrackListModel::refresh()
{
    beginResetModel();
    endResetModel();
}

void TrackListModel::setColumnCaption(int column, const QString& caption)
{
    if (column < 0 || column >= kColumnCount)
        return;
    m_captions[static_cast<std::size_t>(column)] = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString TrackListModel::columnCaption(int column) const
{
    return column >= 0 && column < kColumnCount ? m_captions[static_cast<std::size_t>(column)] : QString();
}

void TrackListModel::setColors(const std::array<QColor, 4>& colors)
{
    m_colors = colors;
    if (!m_base.List.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1), {Qt::ForegroundRole});
}

}  // namespace database
