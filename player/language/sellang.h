// TSelLang: the language dialog. Lists the installed languages by their display names; OK stores
// the chosen folder as LangDir (in "system.ini" too) and the main window takes the language at once.
#pragma once

#include "player/language/langfiles.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace player {

class TForm1;

class TSelLang : public QDialog {
    Q_OBJECT
public:
    explicit TSelLang(TForm1& owner);

    QLabel* Label1;        // "Select program language:"
    QListWidget* ListBox1;  // the display names, row for row with Folders
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"
    std::vector<std::string> Folders;

    void FormShow();
    void Button1Click();
    void Button2Click();
    // Any way of closing; only after OK: LangDir := the selected folder ("En" with none), written
    // to "system.ini", and the main window's language is loaded again.
    void FormClose();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TForm1& m_owner;
    bool m_accepted = false;
    bool m_shown = false;
};

}  // namespace player
