// The one-line label that elides its text.
#include "controls/elidedlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace controls {

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent) {}

QSize TElidedLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + m.left() + m.right() + 2 * margin(),
            QLabel::minimumSizeHint().height()};
}

void TElidedLabel::setElideMode(Qt::TextElideMode mode)
{
    m_elideMode = mode;
    update();
}

QRect TElidedLabel::textRoom() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

bool TElidedLabel::event(QEvent* event)
{
    // A tool tip of its own wins; otherwise a cut text is shown whole.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (fontMetrics().horizontalAdvance(text()) > textRoom().width())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void TElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = textRoom();
    const QString shown = fontMetrics().elidedText(text(), m_elideMode, std::max(0, room.width()));
    painter.drawText(room, static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

}  // namespace controls
