// Applying a language file to a window: the five kinds of keys (control texts, hints, menu hints,
// actions, menu items), each looked up by name among the window's own components only, so that a
// name another window inside it reuses never reaches that window.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QAbstractItemView;
class QObject;
class QWidget;

namespace player {

enum class LangKind {
    Caption,   // the text of a label, button, check box, group box, tab page or edit box; the window's title
    Hint,      // a control's hint (tool tip and status tip)
    MenuHint,  // a menu item's hint (status tip, and the tool tip of the buttons bound to it)
    Command,   // an action's caption, and with it that of every menu item and button bound to it
    MenuItem,  // a menu item's caption (or a drop-down menu's title)
    Unit,      // the unit a labelled bar writes after its value
};

// The component of window named name (case ignored, as the language file's keys are), looked up
// among the window's own widgets, menus and actions; windows inside it (dialogs, tool windows)
// and what they hold are not searched. The window itself answers to its own name.
QObject* FindOwnComponent(QWidget* window, const QString& name);

// Sets the property kind names on component; false when the component is not of a kind that
// has it (the key is then skipped).
bool ApplyLangValue(QObject* component, QWidget* window, LangKind kind, const QString& value);

// Every key of the section through ApplyLangValue on window's own components. Values that could
// not be read ("~no~val~") are skipped, as are keys naming nothing of the right kind; those keys
// are returned, as "section/key".
std::vector<std::string> ApplyLangSection(const std::string& file, const std::string& section, QWidget* window,
                                          LangKind kind);

// A control's hint is both its tool tip and the status tip the status bar shows while the mouse is
// over it: every own widget of window with a tool tip and no status tip gets the tool tip as one.
void ShareHintsWithStatusTips(QWidget* window);

// Values of the keys prefix + first .. prefix + (first + current.size() - 1) of a section, in that
// order; a missing key (or file) keeps the text of current at its place.
QStringList ReadLangValues(const std::string& file, const std::string& section, const std::string& prefix,
                           int first, const QStringList& current);

// The first count column captions of a list from the section's "c0", "c1", ... keys; a missing
// key keeps its column's caption.
void TranslateColumns(const std::string& file, const std::string& section, QAbstractItemView* view, int count);

}  // namespace player
