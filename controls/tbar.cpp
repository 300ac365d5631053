// The track bar's mouse events, fired after the slider has handled the button.
#include "controls/tbar.h"

#include <QMouseEvent>

namespace controls {

TTBar::TTBar(QWidget* parent) : TTBar(Qt::Horizontal, parent) {}

TTBar::TTBar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
    setOrientation(orientation);
}

void TTBar::setOrientation(Qt::Orientation orientation)
{
    QSlider::setOrientation(orientation);
    const bool vertical = orientation == Qt::Vertical;
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
}

void TTBar::mousePressEvent(QMouseEvent* event)
{
    QSlider::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && OnMouseDown)
        OnMouseDown(this, Qt::LeftButton, Qt::NoModifier, pos.x(), pos.y());
    else if (event->button() == Qt::RightButton && OnMouseRight)
        OnMouseRight(this);
}

void TTBar::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && OnMouseUp)
        OnMouseUp(this, Qt::LeftButton, Qt::NoModifier, pos.x(), pos.y());
}

}  // namespace controls
