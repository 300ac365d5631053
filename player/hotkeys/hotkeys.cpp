// TForm1's keyboard: the key filter that lets the main window see its keys before its controls
// (and the jingle windows' typed characters), FormKeyDown and FormKeyPress running the rules of
// keydispatch.h, the hot keys dialog and the hot keys' share of a profile.
#include "player/form1.h"

#include "controls/spinfloatedit.h"
#include "controls/tbar.h"
#include "controls/zrfoldertreeview.h"
#include "platform/inifile.h"
#include "platform/keys.h"
#include "player/hotkeys/hotkeyform.h"
#include "player/jingles/jinplayform.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

namespace player {

namespace {

// Sees every key press of the application first. Those aimed at the main window go through
// FormKeyDown and FormKeyPress, those aimed at a jingle window through FormKeyPress; every other
// window (dialogs, the effects, notes, jingle list, hot keys and diagnostics windows) keeps its
// keys to itself. A shortcut of a menu or an action never gets here: Qt gives it the key before
// the key press is sent.
class KeyFilter final : public QObject {
public:
    explicit KeyFilter(TForm1& form) : QObject(&form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* target = static_cast<QWidget*>(watched);
        // A key the focused control did not take travels up to its parents: it has been judged.
        const QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus != target && target->isAncestorOf(focus))
            return false;
        QWidget* window = target->window();
        auto* key = static_cast<QKeyEvent*>(event);
        if (window == &m_form) {
            int code = platform::virtualKey(*key);
            m_form.FormKeyDown(code, key->modifiers(), target);
            if (code == 0)
                return true;
        } else if (qobject_cast<TfrmJinPlay*>(window) == nullptr) {
            return false;
        }
        const QString text = key->text();
        if (text.size() != 1)
            return false;
        QChar c = text.front();
        m_form.FormKeyPress(c, target);
        return c.isNull();
    }

private:
    TForm1& m_form;
};

// Tells whether the operator put the focus into the folder tree (a click, Tab, a shortcut) or the
// tree took it by itself (it focuses itself whenever it moves to a folder).
class TreeFocusWatch final : public QObject {
public:
    explicit TreeFocusWatch(TForm1& form) : QObject(&form), m_form(form) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            m_form.TreeFocusedByOperator = true;  // also a click into the tree that has the focus
        } else if (event->type() == QEvent::FocusIn) {
            switch (static_cast<QFocusEvent*>(event)->reason()) {
            case Qt::MouseFocusReason:
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::ShortcutFocusReason:
                m_form.TreeFocusedByOperator = true;
                break;
            case Qt::OtherFocusReason:
                m_form.TreeFocusedByOperator = false;
                break;
            default:  // back from another window, a menu or a popup: as it was
                break;
            }
        }
        return false;
    }

private:
    TForm1& m_form;
};

}  // namespace

void TForm1::buildHotKeys()
{
    N48 = new QAction(QStringLiteral("Горячие клавиши..."), this);
    N48->setObjectName(QStringLiteral("N48"));
    mSettings->addAction(N48);
    connect(N48, &QAction::triggered, this, [this] { N48Click(); });
    aBlockPlayAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_B));
    aBlockPlayAction->setShortcutContext(Qt::WindowShortcut);
    qApp->installEventFilter(new KeyFilter(*this));
    auto* treeWatch = new TreeFocusWatch(*this);
    SHView->installEventFilter(treeWatch);
    SHView->viewport()->installEventFilter(treeWatch);
}

FocusKind TForm1::FocusKindOf(const QWidget* control) const
{
    if (control == nullptr)
        return FocusKind::Other;
    if (qobject_cast<const controls::TSpinFloatEdit*>(control) != nullptr ||
        qobject_cast<const QComboBox*>(control) != nullptr || qobject_cast<const QAbstractSpinBox*>(control) != nullptr)
        return FocusKind::TextField;
    // A read-only field does not type, so the keys stay the window's.
    if (const auto* line = qobject_cast<const QLineEdit*>(control))
        return line->isReadOnly() ? FocusKind::Other : FocusKind::TextField;
    if (const auto* text = qobject_cast<const QTextEdit*>(control))
        return text->isReadOnly() ? FocusKind::Other : FocusKind::TextField;
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return plain->isReadOnly() ? FocusKind::Other : FocusKind::TextField;
    // The editor of an editable combo box or spin box is a line edit inside it.
    if (const QWidget* parent = control->parentWidget()) {
        if (qobject_cast<const QComboBox*>(parent) != nullptr || qobject_cast<const QAbstractSpinBox*>(parent) != nullptr)
            return FocusKind::TextField;
    }
    // A focus the tree took itself, on moving to a profile's folder, was not the operator's
    // choice: the hot keys must still answer.
    if (control == SHView || SHView->isAncestorOf(control))
        return TreeFocusedByOperator ? FocusKind::FolderTree : FocusKind::Other;
    return FocusKind::Other;
}

void TForm1::FormKeyDown(int& Key, Qt::KeyboardModifiers Shift, const QWidget* focused)
{
    const KeyModifiers mods{Shift.testFlag(Qt::ShiftModifier), Shift.testFlag(Qt::ControlModifier),
                            Shift.testFlag(Qt::AltModifier)};
    const KeyDispatch d = dispatchKeyDown(Key, mods, FocusKindOf(focused), PlayLocked, HotKeys);
    for (KeyCommand c : d.commands)
        RunKeyCommand(c);
    if (d.consumed)
        Key = 0;
}

void TForm1::FormKeyPress(QChar& Key, const QWidget* focused)
{
    const CharDispatch d = dispatchKeyPress(Key.unicode(), FocusKindOf(focused));
    if (d.scanAbort)
        ScanAbort = true;
    if (d.jingle != 0)
        PlayJingl(d.jingle);
    if (d.consumed)
        Key = QChar();
}

void TForm1::RunKeyCommand(KeyCommand c)
{
    switch (c) {
    case KeyCommand::ToggleDiagnostics:
        ToggleDbgFrm();  // and the main window comes to the front again
        break;
    case KeyCommand::Refresh: Refresh1->trigger(); break;
    case KeyCommand::Pause: aPause(); break;
    case KeyCommand::VolumeDown:
        if (tbVolume->value() > 0)
            tbVolume->setValue(tbVolume->value() - 1);
        break;
    case KeyCommand::VolumeUp:
        if (tbVolume->value() < 100)
            tbVolume->setValue(tbVolume->value() + 1);
        break;
    case KeyCommand::Play: aPlay(); break;
    case KeyCommand::Stop: aStop(); break;
    case KeyCommand::Next: aNextTrackAction->trigger(); break;
    case KeyCommand::ToggleBreak: btBreak->click(); break;
    case KeyCommand::ToggleRepeat: btRepeat->click(); break;
    case KeyCommand::ToggleNotes: N49Click(); break;
    case KeyCommand::ToggleMute:
        if (SpeedButton11 != nullptr)
            SpeedButton11->click();  // checkable: the click alone toggles it
        break;
    case KeyCommand::SeekBack: SpeedButton7->trigger(); break;
    case KeyCommand::SeekForward: SpeedButton8->trigger(); break;
    }
}

void TForm1::N48Click()
{
    auto* dialog = new TfrmHK(*this);
    TranslateForm(dialog, "Hotkey.Captions");
    dialog->show();
}

void TForm1::LoadHotKeysProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    for (std::size_t n = 0; n < HotKeys.size(); ++n)
        HotKeys[n] = ini.readInteger("HotKeys", "hk" + std::to_string(n + 1), kDefaultHotKeys[n]) & 0xFFFF;
}

void TForm1::SaveHotKeysProfile(platform::IniFile& ini)
{
    for (std::size_t n = 0; n < HotKeys.size(); ++n)
        ini.writeInteger("HotKeys", "hk" + std::to_string(n + 1), HotKeys[n]);
}

}  // namespace player
