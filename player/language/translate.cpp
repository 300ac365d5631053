// The language callbacks and the lookup of a window's own components.
#include "player/language/translate.h"

#include "controls/lang.h"
#include "controls/lbar.h"
#include "platform/inifile.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include <functional>

namespace player {

namespace {

// A window inside the searched one: its components belong to it. Drop-down menus are windows to
// the toolkit but components of the window that owns them.
bool isOtherWindow(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && widget->isWindow() && qobject_cast<const QMenu*>(widget) == nullptr;
}

void collect(QObject* parent, QHash<QString, QObject*>& byName)
{
    for (QObject* child : parent->children()) {
        if (isOtherWindow(child))
            continue;
        const QString name = child->objectName().toCaseFolded();
        if (!name.isEmpty() && !byName.contains(name))
            byName.insert(name, child);
        collect(child, byName);
    }
}

// The tab widget whose page widget is, or nothing.
QTabWidget* tabOfPage(QWidget* widget)
{
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    return stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

bool setCaption(QObject* component, QWidget* window, const QString& value)
{
    if (component == window) {
        window->setWindowTitle(value);
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(component);
    if (widget == nullptr || qobject_cast<QMenu*>(widget) != nullptr)
        return false;
    if (QTabWidget* tabs = tabOfPage(widget)) {
        tabs->setTabText(tabs->indexOf(widget), value);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
        return true;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
        return true;
    }
    // A labelled bar's caption sits beside it; a tool bar's title names it in the window's menu
    // of bars.
    if (auto* bar = qobject_cast<controls::TLBar*>(widget)) {
        bar->setCaption(value);
        return true;
    }
    if (auto* toolBar = qobject_cast<QToolBar*>(widget)) {
        toolBar->setWindowTitle(value);
        return true;
    }
    return false;
}

}  // namespace

QObject* FindOwnComponent(QWidget* window, const QString& name)
{
    if (window == nullptr || name.isEmpty())
        return nullptr;
    if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return window;
    QHash<QString, QObject*> byName;
    collect(window, byName);
    return byName.value(name.toCaseFolded(), nullptr);
}

bool ApplyLangValue(QObject* component, QWidget* window, LangKind kind, const QString& value)
{
    if (component == nullptr)
        return false;
    switch (kind) {
    case LangKind::Caption:
        return setCaption(component, window, value);
    case LangKind::Hint: {
        auto* widget = qobject_cast<QWidget*>(component);
        if (widget == nullptr || widget == window || qobject_cast<QMenu*>(widget) != nullptr)
            return false;
        widget->setToolTip(value);
        widget->setStatusTip(value);
        return true;
    }
    case LangKind::MenuHint:
        if (auto* menu = qobject_cast<QMenu*>(component)) {
            menu->menuAction()->setStatusTip(value);
            return true;
        }
        if (auto* action = qobject_cast<QAction*>(component)) {
            // A tool bar's button shows the hint of its action as its tool tip.
            action->setToolTip(value);
            action->setStatusTip(value);
            return true;
        }
        return false;
    case LangKind::Command:
        if (auto* action = qobject_cast<QAction*>(component)) {
            action->setText(value);
            return true;
        }
        return false;
    case LangKind::MenuItem:
        if (auto* menu = qobject_cast<QMenu*>(component)) {
            menu->setTitle(value);
            return true;
        }
        if (auto* action = qobject_cast<QAction*>(component)) {
            action->setText(value);
            return true;
        }
        return false;
    case LangKind::Unit:
        if (auto* bar = qobject_cast<controls::TLBar*>(component)) {
            bar->setUnit(value);
            return true;
        }
        return false;
    }
    return false;
}

std::vector<std::string> ApplyLangSection(const std::string& file, const std::string& section, QWidget* window,
                                          LangKind kind)
{
    std::vector<std::string> skipped;
    if (window == nullptr)
        return skipped;
    // The window's components by name, gathered at the section's first key: most sections of a
    // file are missing or empty, and the walk over every component is the costly part.
    QHash<QString, QObject*> byName;
    controls::ReadLangSection(file, section, [&](const std::string& key, const std::string& value) {
        if (value == controls::kLangNoValue)
            return;
        if (byName.isEmpty()) {
            collect(window, byName);
            byName.insert(window->objectName().toCaseFolded(), window);
        }
        QObject* component = byName.value(QString::fromStdString(key).toCaseFolded(), nullptr);
        if (!ApplyLangValue(component, window, kind, QString::fromStdString(value)))
            skipped.push_back(section + "/" + key);
    });
    return skipped;
}

void ShareHintsWithStatusTips(QWidget* window)
{
    std::function<void(QObject*)> visit = [&](QObject* parent) {
        for (QObject* child : parent->children()) {
            if (isOtherWindow(child))
                continue;
            if (auto* w = qobject_cast<QWidget*>(child); w != nullptr && qobject_cast<QMenu*>(w) == nullptr &&
                                                          !w->toolTip().isEmpty() && w->statusTip().isEmpty())
                w->setStatusTip(w->toolTip());
            visit(child);
        }
    };
    visit(window);
}

QStringList ReadLangValues(const std::string& file, const std::string& section, const std::string& prefix,
                           int first, const QStringList& current)
{
    QStringList values = current;
    const platform::IniFile ini(file, platform::IniFile::Mode::Buffered);
    for (int i = 0; i < values.size(); ++i) {
        const std::string key = prefix + std::to_string(first + i);
        if (ini.valueExists(section, key))
            values[i] = QString::fromStdString(ini.readString(section, key, ""));
    }
    return values;
}

void TranslateColumns(const std::string& file, const std::string& section, QAbstractItemView* view, int count)
{
    if (view == nullptr || view->model() == nullptr)
        return;
    count = std::min(count, view->model()->columnCount());
    QStringList captions;
    for (int c = 0; c < count; ++c)
        captions << view->model()->headerData(c, Qt::Horizontal).toString();
    captions = ReadLangValues(file, section, "c", 0, captions);
    for (int c = 0; c < count; ++c)
        view->model()->setHeaderData(c, Qt::Horizontal, captions[c]);
}

}  // namespace player
