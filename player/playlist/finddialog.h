// The playlist's find dialog: a text and a "find next" button; the window does the searching.
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace player {

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent);

    QString FindText() const;
    void setFindText(const QString& text);
    // Index of the last hit; -1 at start and whenever the dialog closes.
    int Tag = -1;
    std::function<void()> OnFind;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QLineEdit* m_text;
};

}  // namespace player
