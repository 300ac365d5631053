// The owner-data list of the main window as a Qt model: it holds no rows of its own and asks the
// track base for the texts and colours of the rows a view shows.
#pragma once

#include "database/trackbase.h"

#include <QAbstractTableModel>
#include <QColor>

#include <array>

namespace database {

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TrackListModel(TrackBase& base, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The view's count follows List after any change of the lists (a batch update's end).
    void refresh();
    void setColumnCaption(int column, const QString& caption);
    QString columnCaption(int column) const;
    // Text colours by file type: [0] MP3 and others, [1] WMA, [2] OGG, [3] WAV.
    void setColors(const std::array<QColor, 4>& colors);

private:
    TrackBase& m_base;
    std::array<QString, 9> m_captions;
    std::array<QColor, 4> m_colors;
};

}  // namespace database
