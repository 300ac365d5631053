// Acting on a dialog the code under test shows modally: the action runs inside the dialog's own
// modal loop, once a visible window of the kind is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace playertest {

// Runs act on the next visible top-level window of type Dialog (once), from the event loop.
template <class Dialog>
void whenShown(std::function<void(Dialog&)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(2);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(w);
            if (dialog != nullptr && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(*dialog);
                return;
            }
        }
    });
    timer->start();
}

}  // namespace playertest
