// The captions of a window that a reader of its language would find in the other one: every text
// a control of the window shows (labels, buttons, group boxes, tab pages, menus and their items,
// list headers, the choices of a drop-down list, the hint of an empty field, the window's title,
// and tool tips where the window's language reaches them). For a Russian reader, texts with a
// Latin word or a Latin unit after a number, also among Russian words (names and units that stay
// as they are in every language, the texts the system keeps as they stand, and a gloss or pattern
// list in parentheses beside Russian words not counted); for an English reader, texts with a
// Cyrillic letter, the items of tree lists too. Also the names of the file dialogs' filters.
#pragma once

#include "platform/recordedusermessages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace testcaptions {

// Words that stay as they are in Russian: file formats and tag names, audio abbreviations, the
// program's name, key names, the name of an untitled playlist, the deck field the diagnostics
// window names and the font sample of the colour panels. Words of one letter (keys, deck letters)
// never count, unless they follow a number as its unit.
inline const std::set<QString>& namesAndUnits()
{
    static const std::set<QString> words = {
        "MP3", "mp3", "WMA", "OGG", "Ogg", "Vorbis", "WAV", "PCM", "M3U", "ID3v1", "id3v1", "BPM", "EQ", "dB", "Hz",
        "Quorvalen", "Sorbelt", "README", "ESC", "Esc", "Enter", "Alt", "F5", "noname", "FileName", "AaBbCcdefghijklmn",
    };
    return words;
}

// Texts the system keeps as they are in every language: the trim of the tag page, the volume
// and monitor type of the status bar, the build time, the decks' states line.
inline bool keptAsTheyAre(const QString& text)
{
    static const QRegularExpression kept(
        QStringLiteral("^(start: .*end: .*|Volume: \\d+|LR Split|Build time: .*|Volumes\\. A: .*, State: A: .*)$"));
    return kept.match(text).hasMatch();
}

inline bool readsAsRussian(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    return text.contains(cyrillic);
}

inline bool readsAsEnglish(const QString& original)
{
    static const QRegularExpression latinWord(QStringLiteral("[A-Za-z][A-Za-z0-9]*"));
    static const QRegularExpression unitAfterNumber(QStringLiteral("(?<![\\w.])\\d+(?:[.,]\\d+)? [A-Za-z]\\b"));
    static const QRegularExpression parenthesised(QStringLiteral("\\([^()]*\\)"));
    if (keptAsTheyAre(original))
        return false;
    // Beside Russian words, what stands in parentheses is a gloss or a list of patterns.
    QString text = original;
    if (readsAsRussian(text))
        text.remove(parenthesised);
    for (auto it = latinWord.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        if (word.size() > 1 && !namesAndUnits().count(word))
            return true;
    }
    return text.contains(unitAfterNumber);
}

// Calls note(object, text) for each text of window and of what it holds that a reader meets
// (windows inside it included: a dialog's drop-down lists and tool windows are read in its
// language too); with withItems, the items of its tree lists as well.
inline void ForEachShownText(QWidget* window, bool withToolTips, bool withItems,
                             const std::function<void(const QObject*, const QString&)>& note)
{
    auto headers = [&](const QAbstractItemView* view, const QHeaderView* header) {
        if (view->model() == nullptr || header == nullptr || header->isHidden())
            return;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            if (!header->isSectionHidden(c))
                note(view, view->model()->headerData(c, Qt::Horizontal).toString());
    };
    std::function<void(const QObject*, const QTreeWidgetItem*)> items = [&](const QObject* tree,
                                                                             const QTreeWidgetItem* item) {
        for (int c = 0; c < item->columnCount(); ++c)
            note(tree, item->text(c));
        for (int i = 0; i < item->childCount(); ++i)
            items(tree, item->child(i));
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
        } else if (auto* e = qobject_cast<QLineEdit*>(o))
            note(o, e->placeholderText());
        // The choices of a list the user picks from; what an editable box holds is the user's own.
        else if (auto* c = qobject_cast<QComboBox*>(o); c != nullptr && !c->isEditable())
            for (int i = 0; i < c->count(); ++i)
                note(o, c->itemText(i));
        if (auto* tree = qobject_cast<QTreeView*>(o)) {
            headers(tree, tree->header());
            if (auto* treeWidget = qobject_cast<QTreeWidget*>(o); treeWidget != nullptr && withItems)
                items(o, treeWidget->invisibleRootItem());
        } else if (auto* table = qobject_cast<QTableView*>(o))
            headers(table, table->horizontalHeader());
        if (widget != nullptr && widget != window && widget->isWindow() && qobject_cast<QMenu*>(widget) == nullptr)
            note(o, widget->windowTitle());
    }
}

// "Class:name: text" for each text of window that reads as other.
inline std::set<std::string> CaptionsThat(QWidget* window, bool withToolTips, bool withItems,
                                          bool (*other)(const QString&))
{
    std::set<std::string> found;
    ForEachShownText(window, withToolTips, withItems, [&](const QObject* o, const QString& text) {
        QString plain = text;
        plain.remove(QLatin1Char('&'));
        if (other(plain))
            found.insert(std::string(o->metaObject()->className()) + ":" + o->objectName().toStdString() + ": " +
                         plain.toStdString());
    });
    return found;
}

// "filter: name" for each name of a file dialog's filters that reads as other.
inline std::set<std::string> FilterNamesThat(const std::vector<platform::RecordedUserMessages::Shown>& shown,
                                             bool (*other)(const QString&))
{
    std::set<std::string> found;
    for (const auto& s : shown) {
        if (s.kind.find("FileName") == std::string::npos)
            continue;
        const QStringList parts = QString::fromStdString(s.text).split(QLatin1Char('|'));
        for (qsizetype i = 0; i < parts.size(); i += 2)
            if (other(parts[i]))
                found.insert("filter: " + parts[i].toStdString());
    }
    return found;
}

// What a Russian reader finds in English. Tree items are left out: they are the names of folders
// and files, which the test's own folders give in Latin letters.
inline std::set<std::string> EnglishCaptions(QWidget* window, bool withToolTips)
{
    return CaptionsThat(window, withToolTips, false, readsAsEnglish);
}

// What an English reader finds in Russian.
inline std::set<std::string> RussianCaptions(QWidget* window, bool withToolTips)
{
    return CaptionsThat(window, withToolTips, true, readsAsRussian);
}

}  // namespace testcaptions
