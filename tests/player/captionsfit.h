// What of a shown window a reader would find cut: a caption narrower than its text, a control
// pushed out sideways past the edge of what holds it, a tab hidden or elided, a title the frame
// must shorten, or a window that does not fit its screen. Lists, whose columns scroll by design,
// and labels that elide on purpose are not looked into.
#pragma once

#include "controls/elidedlabel.h"
#include "controls/screenfit.h"
#include "controls/tabrows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

#include <string>
#include <vector>

namespace playertest {

inline std::string describe(const QWidget* w, const QString& text)
{
    return w->metaObject()->className() + std::string(":") + w->objectName().toStdString() + " \"" +
           text.toStdString() + "\"";
}

// The tab's place on its bar, whichever kind of bar draws it.
inline QRect shownTabRect(const QTabBar* bar, int index)
{
    if (const auto* rows = qobject_cast<const controls::TabRowsBar*>(bar))
        return rows->tabRowRect(index);
    return bar->tabRect(index);
}

inline std::vector<std::string> cutCaptions(QWidget* window)
{
    std::vector<std::string> cut;
    const QRect screen = controls::availableScreenArea(window);
    if (!screen.contains(window->frameGeometry()))
        cut.push_back(describe(window, window->windowTitle()) + " is larger than the screen or off it: " +
                      std::to_string(window->frameGeometry().x()) + "," + std::to_string(window->frameGeometry().y()) + " " +
                      std::to_string(window->frameGeometry().width()) + "x" + std::to_string(window->frameGeometry().height()));
    if (window->width() < controls::titleBarWidth(*window))
        cut.push_back(describe(window, window->windowTitle()) + ": the title is elided");
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != window)
            continue;
        bool inList = false;
        for (QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
            inList = inList || qobject_cast<QAbstractItemView*>(p) != nullptr;
        if (inList || qobject_cast<QAbstractItemView*>(w) != nullptr)
            continue;

        QString text;
        int need = 0;
        if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && qobject_cast<controls::TElidedLabel*>(w) == nullptr &&
                                                    !label->wordWrap() && !label->text().isEmpty()) {
            text = label->text();
            need = label->minimumSizeHint().width();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w); button != nullptr && !button->text().isEmpty()) {
            text = button->text();
            need = std::max(button->minimumSizeHint().width(), button->sizeHint().width());
        } else if (auto* box = qobject_cast<QComboBox*>(w)) {
            text = box->currentText();
            need = box->minimumSizeHint().width();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w); edit != nullptr && edit->inherits("controls::TSpinFloatEdit")) {
            text = edit->text();
            need = edit->minimumSizeHint().width();
        }
        if (w->width() < need)
            cut.push_back(describe(w, text) + ": " + std::to_string(w->width()) + " px of " + std::to_string(need));

        if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->isTabVisible(i))
                    continue;
                const QRect tab = shownTabRect(bar, i);
                QString caption = bar->tabText(i);
                caption.remove(QLatin1Char('&'));
                if (!bar->rect().contains(tab) || tab.width() <= bar->fontMetrics().horizontalAdvance(caption))
                    cut.push_back(describe(bar, bar->tabText(i)) + ": the tab is hidden or cut");
            }
        }

        // Sideways, nothing may stand out of what holds it; up and down, a scrolling page may.
        QRect rect = w->rect();
        for (QWidget* p = w; p != window && p->parentWidget() != nullptr; p = p->parentWidget()) {
            rect.translate(p->pos());
            const QWidget* holder = p->parentWidget();
            const bool scrolls = holder->parentWidget() != nullptr &&
                                 qobject_cast<QAbstractScrollArea*>(holder->parentWidget()) != nullptr;
            const bool sideways = rect.left() < 0 || rect.right() > holder->width() - 1;
            const bool upDown = rect.top() < 0 || rect.bottom() > holder->height() - 1;
            if (sideways || (upDown && !scrolls)) {
                cut.push_back(describe(w, text) + " stands out of " + holder->objectName().toStdString());
                break;
            }
        }
    }
    return cut;
}

}  // namespace playertest
