// The float edit widgets: the key filter of FloatEditLogic applied to typed characters, value
// checks on leaving, and the spin buttons.
#include "controls/spinfloatedit.h"

#include "controls/syscolors.h"
#include "platform/usermessages.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace controls {

TCustomFloatEdit::TCustomFloatEdit(QWidget* parent) : QLineEdit(parent)
{
    const QString separator = QLocale().decimalPoint();
    m_logic.DecimalChar = separator.isEmpty() ? QChar('.') : separator.front();
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(m_logic.format(m_logic.Min));
}

long double TCustomFloatEdit::Value() const
{
    return m_logic.valueFromText(text());
}

void TCustomFloatEdit::SetValue(long double value)
{
    if (std::isnan(value) || value > m_logic.Max) {
        ShowError();
        value = m_logic.Max;
    } else if (value < m_logic.Min) {
        ShowError();
        value = m_logic.Min;
    }
    setText(m_logic.format(value));
}

void TCustomFloatEdit::setMin(long double value)
{
    if (value == m_logic.Min)
        return;
    if (value > m_logic.Max)
        throw std::invalid_argument("Minimum value must not be greater than maximum value !");
    m_logic.Min = value;
    SetValue(Value());
    updateGeometry();
}

void TCustomFloatEdit::setMax(long double value)
{
    if (value == m_logic.Max)
        return;
    if (value < m_logic.Min)
        throw std::invalid_argument("Maximum value must not be less than minimum value !");
    m_logic.Max = value;
    SetValue(Value());
    updateGeometry();
}

void TCustomFloatEdit::setDigits(int digits)
{
    digits = std::clamp(digits, 0, FloatEditLogic::kMaxDigits);
    if (digits == m_logic.Digits)
        return;
    const long double v = Value();
    m_logic.Digits = digits;
    SetValue(v);
    updateGeometry();
}

void TCustomFloatEdit::ShowError()
{
    if (!ErrorMessage.isEmpty())
        platform::messageBox(ErrorMessage.toStdString(), QApplication::applicationName().toStdString());
}

void TCustomFloatEdit::DoEnter(bool byMouse)
{
    if (AutoSelect && !byMouse)
        selectAll();
    m_entryValue = Value();
    if (OnEnter)
        OnEnter(this);
}

bool TCustomFloatEdit::DoExit()
{
    const auto v = m_logic.exitValue(text());
    if (!v) {
        ShowError();
        SetValue(m_entryValue);
        selectAll();
        // Taken back once the focus change under way has finished.
        QTimer::singleShot(0, this, [this] {
            setFocus();
            selectAll();
        });
        return false;
    }
    setText(m_logic.format(*v));
    if (OnExit)
        OnExit(this);
    return true;
}

void TCustomFloatEdit::typeChar(QChar key)
{
    if (key == '\r' || key == '\n') {
        if (OnEnterPress)
            OnEnterPress(this, key);
        return;
    }
    if (key == QChar(27)) {
        SetValue(m_entryValue);
        selectAll();
        QChar none(0);
        if (OnKeyPress)
            OnKeyPress(this, none);
        return;
    }
    if (OnKeyPress)
        OnKeyPress(this, key);
    if (!key.isPrint() || isReadOnly() || !editorEnabled())
        return;
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const FloatKeyResult r = m_logic.filterKey(text(), start, length, key);
    if (r.action == FloatKeyResult::Accept) {
        insert(QString(key));
    } else if (r.action == FloatKeyResult::Replace) {
        setText(r.text);
        setSelection(r.selStart, r.selLength);
    }
}

void TCustomFloatEdit::keyPressEvent(QKeyEvent* event)
{
    const bool clipboardEdit = event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut);
    if (clipboardEdit && !takesTextFromOutside()) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0) {
        const QChar key = typed.front();
        // Printable characters go through the filter; Delete (127) and other control codes
        // keep their editing meaning.
        if (key.isPrint() || key == '\r' || key == '\n' || key == QChar(27)) {
            typeChar(key);
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        typeChar('\r');
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        typeChar(QChar(27));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomFloatEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    DoEnter(event->reason() == Qt::MouseFocusReason);
}

void TCustomFloatEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        DoExit();
}

void TCustomFloatEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    if (!takesTextFromOutside()) {
        for (QAction* action : menu->actions())
            if (action->objectName() == "edit-paste" || action->objectName() == "edit-cut")
                action->setEnabled(false);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TCustomFloatEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (!takesTextFromOutside()) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void TCustomFloatEdit::dropEvent(QDropEvent* event)
{
    if (!takesTextFromOutside()) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

QSize TCustomFloatEdit::minimumSizeHint() const
{
    // The base makes room for one character of the widest kind besides the margins and frame.
    const QSize base = QLineEdit::minimumSizeHint();
    const QFontMetrics metrics = fontMetrics();
    const int widest = std::max(metrics.horizontalAdvance(m_logic.format(m_logic.Min)),
                                metrics.horizontalAdvance(m_logic.format(m_logic.Max)));
    return {base.width() - metrics.maxWidth() + widest + 2, base.height()};  // and the cursor
}

TSpinFloatEdit::TSpinFloatEdit(QWidget* parent)
    : TCustomFloatEdit(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setCursor(Qt::ArrowCursor);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { UpClick(); });
    connect(m_down, &QToolButton::clicked, this, [this] { DownClick(); });
    setTextMargins(0, 0, kButtonWidth + 2, 0);
    setMinimumHeight(GetMinHeight());
    placeButtons();
}

int TSpinFloatEdit::GetMinHeight() const
{
    const int h = fontMetrics().height();
    const int s = QFontMetrics(QApplication::font()).height();
    return 4 * borderHeight() + h + std::min(h, s) / 4 + 2;
}

void TSpinFloatEdit::changeEvent(QEvent* event)
{
    TCustomFloatEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setMinimumHeight(GetMinHeight());
}

void TSpinFloatEdit::UpClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        DoIncrement(true);
}

void TSpinFloatEdit::DownClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        DoIncrement(false);
}

void TSpinFloatEdit::DoIncrement(bool up)
{
    if (OnComputedIncrement) {
        OnComputedIncrement(this, up);
        return;
    }
    SetValue(Value() + (up ? Increment : -Increment));
}

void TSpinFloatEdit::keyPressEvent(QKeyEvent* event)
{
    if (!m_editorEnabled) {
        event->accept();  // only the buttons change the value
        return;
    }
    if (event->key() == Qt::Key_Up) {
        UpClick();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Down) {
        DownClick();
        event->accept();
        return;
    }
    TCustomFloatEdit::keyPressEvent(event);
}

void TSpinFloatEdit::resizeEvent(QResizeEvent* event)
{
    TCustomFloatEdit::resizeEvent(event);
    placeButtons();
}

void TSpinFloatEdit::placeButtons()
{
    const int half = std::max(1, (height() - 2) / 2);
    const int left = width() - kButtonWidth - 1;
    m_up->setGeometry(left, 1, kButtonWidth, half);
    m_down->setGeometry(left, 1 + half, kButtonWidth, std::max(1, height() - 2 - half));
}

}  // namespace controls
