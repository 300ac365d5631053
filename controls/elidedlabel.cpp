// The one-line label that elides its text.
#include "controls/elidedlabel.h"

#include <QPainter>

#include <algorithm>

namespace controls {

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent) {}

QSize TElidedLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + m.left() + m.right() + 2 * margin(),
            QLabel::minimumSizeHint().height()};
}

void TElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, room.width()));
    painter.drawText(room, static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

}  // namespace controls
