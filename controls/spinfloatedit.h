// TCustomFloatEdit and TSpinFloatEdit: one-line boxes for a real number within Min..Max with a
// fixed number of decimals; the spin variant adds up/down buttons and arrow-key stepping.
#pragma once

#include "controls/floateditlogic.h"

#include <QLineEdit>

#include <functional>

class QToolButton;

namespace controls {

class TCustomFloatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomFloatEdit(QWidget* parent = nullptr);

    long double Value() const;
    void SetValue(long double value);
    long double Min() const { return m_logic.Min; }
    // Throws std::invalid_argument when above Max; the box is then unchanged.
    void setMin(long double value);
    long double Max() const { return m_logic.Max; }
    // Throws std::invalid_argument when below Min; the box is then unchanged.
    void setMax(long double value);
    int Digits() const { return m_logic.Digits; }
    void setDigits(int digits);  // at most 18
    QChar DecimalChar() const { return m_logic.DecimalChar; }
    long double EntryValue() const { return m_entryValue; }

    // Room for the longest value the box can hold: a narrow layout never cuts a value short.
    QSize minimumSizeHint() const override;

    QString ErrorMessage;  // shown when a value is refused; empty: no message
    bool AutoSelect = true;

    std::function<void(QObject* sender, QChar& key)> OnEnterPress;
    std::function<void(QObject* sender, QChar& key)> OnKeyPress;
    std::function<void(QObject* sender)> OnEnter;
    std::function<void(QObject* sender)> OnExit;

    // Entering and leaving the box; called by the focus events.
    void DoEnter(bool byMouse = false);
    // False when the text was refused: the value is back at EntryValue and the box keeps focus.
    bool DoExit();
    // Types one character as the keyboard would.
    void typeChar(QChar key);

protected:
    void ShowError();
    virtual bool editorEnabled() const { return true; }
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    bool takesTextFromOutside() const { return isEnabled() && !isReadOnly() && editorEnabled(); }

    FloatEditLogic m_logic;
    long double m_entryValue = 0;
};

class TSpinFloatEdit : public TCustomFloatEdit {
    Q_OBJECT
public:
    explicit TSpinFloatEdit(QWidget* parent = nullptr);

    long double Increment = 1.0L;
    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool enabled) { m_editorEnabled = enabled; }
    // When assigned it replaces the built-in step.
    std::function<void(QObject* sender, bool bIncrement)> OnComputedIncrement;

    virtual void UpClick();
    virtual void DownClick();

    static constexpr int kButtonWidth = 15;
    static constexpr int kButtonHeight = 17;

protected:
    bool editorEnabled() const override { return m_editorEnabled; }
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DoIncrement(bool up);
    void placeButtons();
    // The lowest height that shows the text and both buttons.
    int GetMinHeight() const;

    bool m_editorEnabled = true;
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace controls
