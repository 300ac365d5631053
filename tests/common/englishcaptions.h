// The captions of a window that a Russian reader would find in English: every text a control of
// the window shows (labels, buttons, group boxes, tab pages, menus and their items, list headers,
// the window's title, and tool tips where the window's language reaches them) that has Latin
// words and no Cyrillic letter. Names and units that stay as they are in every language are
// not counted.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>

#include <set>
#include <string>

namespace testcaptions {

// Words that stay as they are in Russian: file formats and tag names, audio units and
// abbreviations, the program's name, key names, the name of an untitled playlist, the deck field
// the diagnostics window names and the font sample of the colour panels. Words of one letter
// (keys, deck letters, units) never count.
inline const std::set<QString>& namesAndUnits()
{
    static const std::set<QString> words = {
        "MP3", "WMA", "OGG", "Ogg", "WAV", "M3U", "ID3v1", "BPM", "EQ", "dB", "Hz", "ms", "sec",
        "Quorvalen", "README", "ESC", "Esc", "Enter", "Alt", "F5", "noname", "FileName", "AaBbCcdefghijklmn",
    };
    return words;
}

inline bool readsAsEnglish(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    static const QRegularExpression latinWord(QStringLiteral("[A-Za-z][A-Za-z0-9]*"));
    if (text.contains(cyrillic))
        return false;
    for (auto it = latinWord.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        if (word.size() > 1 && !namesAndUnits().count(word))
            return true;
    }
    return false;
}

// "Class:name: text" for each English caption of window and of what it holds (windows inside it
// included: a dialog's drop-down lists and tool windows are read in its language too).
inline std::set<std::string> EnglishCaptions(QWidget* window, bool withToolTips)
{
    std::set<std::string> found;
    auto note = [&](const QObject* o, const QString& text) {
        QString plain = text;
        plain.remove(QLatin1Char('&'));
        if (readsAsEnglish(plain))
            found.insert(std::string(o->metaObject()->className()) + ":" + o->objectName().toStdString() + ": " +
                         plain.toStdString());
    };
    auto headers = [&](const QAbstractItemView* view, const QHeaderView* header) {
        if (view->model() == nullptr || header == nullptr || header->isHidden())
            return;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            if (!header->isSectionHidden(c))
                note(view, view->model()->headerData(c, Qt::Horizontal).toString());
    };
    note(window, window->windowTitle());
    QList<QObject*> all = window->findChildren<QObject*>();
    all.prepend(window);
    for (QObject* o : all) {
        // A control hidden on purpose (a placeholder, a helper list) is not read; a window is, and
        // so is a tool bar's button that the bar hides until it fits.
        auto* widget = qobject_cast<QWidget*>(o);
        if (widget != nullptr && widget->isHidden() && !widget->isWindow() &&
            qobject_cast<QToolBar*>(widget->parentWidget()) == nullptr)
            continue;
        if (widget != nullptr && withToolTips)
            note(o, widget->toolTip());
        if (auto* l = qobject_cast<QLabel*>(o))
            note(o, l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(o))
            note(o, b->text());
        else if (auto* g = qobject_cast<QGroupBox*>(o))
            note(o, g->title());
        else if (auto* m = qobject_cast<QMenu*>(o))
            note(o, m->title());
        else if (auto* t = qobject_cast<QTabWidget*>(o))
            for (int i = 0; i < t->count(); ++i)
                note(o, t->tabText(i));
        else if (auto* a = qobject_cast<QAction*>(o)) {
            note(o, a->text());
            if (withToolTips)
                note(o, a->statusTip());
        } else if (auto* tree = qobject_cast<QTreeView*>(o))
            headers(tree, tree->header());
        else if (auto* table = qobject_cast<QTableView*>(o))
            headers(table, table->horizontalHeader());
        if (widget != nullptr && widget != window && widget->isWindow() && qobject_cast<QMenu*>(widget) == nullptr)
            note(o, widget->windowTitle());
    }
    return found;
}

}  // namespace testcaptions
