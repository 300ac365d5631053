// Turns a left click on a widget that has no click of its own (a label, a paint box) into a call.
#pragma once

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

#include <functional>

namespace player {

class ClickFilter final : public QObject {
public:
    // Watches target (and is owned by it); onClick runs after a left button is released over it.
    ClickFilter(QWidget* target, std::function<void()> onClick) : QObject(target), m_onClick(std::move(onClick))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()) && m_onClick)
                m_onClick();
        }
        return false;
    }

private:
    std::function<void()> m_onClick;
};

}  // namespace player
