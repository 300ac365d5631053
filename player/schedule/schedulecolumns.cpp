// Laying out the schedule lists' columns.
#include "player/schedule/schedulecolumns.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace player {

namespace {

constexpr int kDateColumn = 0;
constexpr int kTimeColumn = 1;
constexpr int kFileColumn = 2;

int neededWidth(const QTreeWidget& list, int column, int designed)
{
    const auto& view = static_cast<const QAbstractItemView&>(list);
    return std::max({designed, view.sizeHintForColumn(column), list.header()->sectionSizeHint(column)});
}

}  // namespace

void prepareScheduleColumns(QTreeWidget& list)
{
    QHeaderView* header = list.header();
    header->setMinimumSectionSize(0);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kFileColumn, QHeaderView::Stretch);
    list.setTextElideMode(Qt::ElideMiddle);
}

void fitScheduleColumns(QTreeWidget& list, int dateWidth, int timeWidth)
{
    QHeaderView* header = list.header();
    header->resizeSection(kDateColumn, dateWidth == 0 ? 0 : neededWidth(list, kDateColumn, dateWidth));
    header->resizeSection(kTimeColumn, neededWidth(list, kTimeColumn, timeWidth));
}

}  // namespace player
