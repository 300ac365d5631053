// The drawing surface.
#include "database/dialogs/paintbox.h"

#include <QPainter>

namespace database {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {}

void TPaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (OnPaint)
        OnPaint(painter);
}

}  // namespace database
