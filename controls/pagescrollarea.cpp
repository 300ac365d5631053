// The side page that scrolls only up and down.
#include "controls/pagescrollarea.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>

namespace controls {

PageScrollArea::PageScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PageScrollArea::setContent(QWidget* content)
{
    setWidget(content);
    content->installEventFilter(this);
}

QSize PageScrollArea::minimumSizeHint() const
{
    const QSize base = QScrollArea::minimumSizeHint();
    if (widget() == nullptr)
        return base;
    const int width = widget()->minimumSizeHint().width() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    return {std::max(base.width(), width), base.height()};
}

bool PageScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    // Longer captions (another language) widen the page, and so the panel.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace controls
