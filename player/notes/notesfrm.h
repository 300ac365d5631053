// TNotesFrm "Notepad": a small always-on-top tool window with the note of the track selected or
// playing; when the track changes it saves the note being edited and shows the new track's note.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace controls {
class TVqPosSave;
}

namespace player {

class TNotesFrm : public QWidget {
    Q_OBJECT
public:
    // mainWindow: the owner, in whose top-right corner the window first appears.
    explicit TNotesFrm(QWidget* mainWindow);

    QPlainTextEdit* Memo1;
    QMenu* PopupMenu1;
    QAction* N1;  // "Шрифт..."
    QAction* N3;  // "Не читать описания автоматически"
    QAction* EditCut1;
    QAction* EditCopy1;
    QAction* EditPaste1;
    controls::TVqPosSave* VqPosSave1;

    // Switches to the notes file path (empty: none): saves the memo into the current file (an
    // empty memo removes it), then loads path and shows the window, or clears the memo and hides
    // it when path does not exist. oldPath, when given, is where this track's notes were kept
    // before; they are moved to path when only they exist. Nothing at all happens while
    // automatic reading is off. A save that fails keeps the memo and its file and tells the
    // operator.
    void LoadNotes(const std::string& path, const std::string& oldPath = {});
    // Saves the memo into the current notes file now (the player's closing); false on failure.
    bool SaveNotes();
    const std::string& NotesFile() const { return m_file; }

    // The flag "no automatic reading" (N3's check mark): while set, LoadNotes does nothing.
    bool NoAutoRead() const;
    void SetNoAutoRead(bool on);

    // After a notes file was written or removed: the main window refreshes its notes marks.
    std::function<void()> OnNotesChanged;

    void N1Click();
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool storeMemo();

    std::string m_file;
    bool m_errorShowing = false;
    bool m_placed = false;
};

}  // namespace player
