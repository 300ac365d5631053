// Wrapping a main window's tool bars onto lines.
#include "controls/toolbarrows.h"

#include <QEvent>
#include <QMainWindow>
#include <QScopedValueRollback>
#include <QToolBar>

namespace controls {

std::vector<bool> toolBarLineBreaks(const std::vector<int>& widths, int available)
{
    std::vector<bool> breaks(widths.size(), false);
    int used = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i > 0 && used + widths[i] > available) {
            breaks[i] = true;
            used = 0;
        }
        used += widths[i];
    }
    return breaks;
}

ToolBarRows::ToolBarRows(QMainWindow& window, std::vector<QToolBar*> bars)
    : QObject(&window), m_window(window), m_bars(std::move(bars))
{
    m_window.installEventFilter(this);
    for (QToolBar* bar : m_bars) {
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->installEventFilter(this);
    }
}

void ToolBarRows::wrap()
{
    if (m_wrapping)
        return;
    const QScopedValueRollback guard(m_wrapping, true);
    std::vector<QToolBar*> shown;
    std::vector<int> widths;
    for (QToolBar* bar : m_bars) {
        if (bar->isHidden() || m_window.toolBarArea(bar) != Qt::TopToolBarArea)
            continue;
        shown.push_back(bar);
        widths.push_back(bar->sizeHint().width());
    }
    const std::vector<bool> breaks = toolBarLineBreaks(widths, m_window.width());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (m_window.toolBarBreak(shown[i]) == breaks[i])
            continue;
        if (breaks[i])
            m_window.insertToolBarBreak(shown[i]);
        else
            m_window.removeToolBarBreak(shown[i]);
    }
}

bool ToolBarRows::eventFilter(QObject* watched, QEvent* event)
{
    const bool window = watched == &m_window && (event->type() == QEvent::Resize || event->type() == QEvent::Show);
    if (window || event->type() == QEvent::LayoutRequest)
        wrap();
    return QObject::eventFilter(watched, event);
}

}  // namespace controls
