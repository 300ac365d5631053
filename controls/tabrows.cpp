// Laying out, drawing and hitting the tabs of a page control on several rows.
#include "controls/tabrows.h"

#include "controls/toolbarrows.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace controls {

TabRowsBar::TabRowsBar(QWidget* parent) : QTabBar(parent)
{
    // Every tab whole: the rows take what one line cannot hold.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setExpanding(false);
    setAttribute(Qt::WA_Hover, true);
}

int TabRowsBar::rowHeight() const
{
    int height = 0;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            height = std::max(height, tabSizeHint(i).height());
    return height;
}

int TabRowsBar::widthToFill() const
{
    int oneRow = 0;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            oneRow += tabSizeHint(i).width();
    // The page control gives its tab bar at most its own width.
    if (const auto* tabs = qobject_cast<const QTabWidget*>(parentWidget()); tabs != nullptr && tabs->width() > 0)
        return std::min(oneRow, tabs->width());
    return oneRow;
}

std::vector<std::vector<TabRowsBar::Placed>> TabRowsBar::placeTabs(int width) const
{
    std::vector<int> indexes;
    std::vector<int> widths;
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        indexes.push_back(i);
        widths.push_back(tabSizeHint(i).width());
    }
    const std::vector<bool> breaks = toolBarLineBreaks(widths, width);
    std::vector<std::vector<Placed>> rows;
    std::vector<int> rowWidths;
    for (std::size_t k = 0; k < indexes.size(); ++k) {
        if (rows.empty() || breaks[k]) {
            rows.emplace_back();
            rowWidths.push_back(0);
        }
        rows.back().push_back({indexes[k], QRect(rowWidths.back(), 0, widths[k], 0)});
        rowWidths.back() += widths[k];
    }
    // Several rows fill the width, each tab taking its share of what is left over.
    if (rows.size() > 1) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int spare = std::max(0, width - rowWidths[r]);
            const int n = static_cast<int>(rows[r].size());
            int x = 0;
            for (int k = 0; k < n; ++k) {
                QRect& rect = rows[r][static_cast<std::size_t>(k)].rect;
                const int share = spare * (k + 1) / n - spare * k / n;
                rect.moveLeft(x);
                rect.setWidth(rect.width() + share);
                x += rect.width();
            }
        }
    }
    const auto current = std::find_if(rows.begin(), rows.end(), [this](const std::vector<Placed>& row) {
        return std::any_of(row.begin(), row.end(), [this](const Placed& p) { return p.index == currentIndex(); });
    });
    if (current != rows.end())
        std::rotate(current, current + 1, rows.end());
    const int height = rowHeight();
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (Placed& p : rows[r]) {
            p.rect.moveTop(static_cast<int>(r) * height);
            p.rect.setHeight(height);
        }
    return rows;
}

QRect TabRowsBar::tabRowRect(int index) const
{
    for (const auto& row : placeTabs(width()))
        for (const Placed& p : row)
            if (p.index == index)
                return p.rect;
    return {};
}

int TabRowsBar::tabRowAt(const QPoint& pos) const
{
    for (const auto& row : placeTabs(width()))
        for (const Placed& p : row)
            if (p.rect.contains(pos))
                return p.index;
    return -1;
}

QSize TabRowsBar::sizeHint() const
{
    const int width = widthToFill();
    return {width, static_cast<int>(placeTabs(width).size()) * rowHeight()};
}

QSize TabRowsBar::minimumSizeHint() const
{
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            widest = std::max(widest, tabSizeHint(i).width());
    return {widest, sizeHint().height()};
}

void TabRowsBar::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    const auto rows = placeTabs(width());
    QStyleOptionTab current;
    bool hasCurrent = false;
    for (const auto& row : rows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            QStyleOptionTab tab;
            initStyleOption(&tab, row[k].index);
            tab.rect = row[k].rect;
            const bool first = k == 0;
            const bool last = k + 1 == row.size();
            if (first && last)
                tab.position = QStyleOptionTab::OnlyOneTab;
            else
                tab.position = first ? QStyleOptionTab::Beginning : last ? QStyleOptionTab::End : QStyleOptionTab::Middle;
            tab.selectedPosition = QStyleOptionTab::NotAdjacent;
            if (!first && row[k - 1].index == currentIndex())
                tab.selectedPosition = QStyleOptionTab::PreviousIsSelected;
            else if (!last && row[k + 1].index == currentIndex())
                tab.selectedPosition = QStyleOptionTab::NextIsSelected;
            tab.state.setFlag(QStyle::State_MouseOver, row[k].index == m_hover);
            // The current tab goes last: it overlaps its neighbours.
            if (row[k].index == currentIndex()) {
                current = tab;
                hasCurrent = true;
            } else {
                painter.drawControl(QStyle::CE_TabBarTab, tab);
            }
        }
    }
    if (hasCurrent)
        painter.drawControl(QStyle::CE_TabBarTab, current);
}

void TabRowsBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabRowAt(event->position().toPoint());
    if (index >= 0) {
        emit tabBarClicked(index);
        if (isTabEnabled(index))
            setCurrentIndex(index);
    }
    event->accept();
}

void TabRowsBar::mouseMoveEvent(QMouseEvent* event)
{
    // The tabs are not dragged; the base class would find them by its own single row.
    event->accept();
}

void TabRowsBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void TabRowsBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit tabBarDoubleClicked(tabRowAt(event->position().toPoint()));
    event->accept();
}

bool TabRowsBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverMove:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave: {
        const int hover = event->type() == QEvent::HoverLeave
                              ? -1
                              : tabRowAt(static_cast<QHoverEvent*>(event)->position().toPoint());
        if (hover != m_hover) {
            m_hover = hover;
            update();
        }
        return true;
    }
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = tabRowAt(help->pos());
        if (index >= 0 && !tabToolTip(index).isEmpty())
            QToolTip::showText(help->globalPos(), tabToolTip(index), this, tabRowRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    default:
        return QTabBar::event(event);
    }
}

void TabRowsBar::tabLayoutChange()
{
    // A caption, a tab or the current tab changed: the rows may have too.
    QTabBar::tabLayoutChange();
    updateGeometry();
    update();
}

TabRowsWidget::TabRowsWidget(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new TabRowsBar(this));
}

}  // namespace controls
