// Sharing a splitter's change of width between its two panes.
#include "controls/splittergrowth.h"

#include <QResizeEvent>
#include <QSplitter>

#include <algorithm>

namespace controls {

SplitterGrowth::SplitterGrowth(QSplitter* splitter, int firstShareDivisor)
    : QObject(splitter), m_splitter(splitter), m_divisor(std::max(1, firstShareDivisor))
{
    splitter->installEventFilter(this);
}

bool SplitterGrowth::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_splitter || event->type() != QEvent::Resize || m_splitter->count() != 2)
        return QObject::eventFilter(watched, event);
    const auto* resize = static_cast<QResizeEvent*>(event);
    const QList<int> sizes = m_splitter->sizes();  // still the panes' sizes before the change
    const bool horizontal = m_splitter->orientation() == Qt::Horizontal;
    const int before = horizontal ? resize->oldSize().width() : resize->oldSize().height();
    const int after = horizontal ? resize->size().width() : resize->size().height();
    if (before <= 0 || sizes.size() != 2)
        return QObject::eventFilter(watched, event);
    const auto least = [horizontal](const QWidget* pane) {
        const QSize min = pane->minimumSizeHint().expandedTo(pane->minimumSize());
        return horizontal ? min.width() : min.height();
    };
    const int total = sizes[0] + sizes[1] + after - before;
    const int firstLeast = least(m_splitter->widget(0));
    const int first = std::clamp(sizes[0] + (after - before) / m_divisor, firstLeast,
                                 std::max(firstLeast, total - least(m_splitter->widget(1))));
    m_splitter->setSizes({first, total - first});
    return QObject::eventFilter(watched, event);
}

}  // namespace controls
