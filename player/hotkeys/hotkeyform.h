// TfrmHK: the hot keys dialog. Shows every key of the main window and captures a new letter for
// one of the seven changeable ones: click its white box, press a letter (Esc cancels). A changed
// key is in force at once. Modal, and freed when it closes.
#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace player {

class TForm1;

class TfrmHK : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHK(TForm1& owner);

    std::array<QLabel*, 7> Panels{};  // Panel1..Panel7, Tag 1..7: the keys' letters
    QLabel* HintLabel;                // "Click on white box to change hot key"
    QFrame* CapturePanel;             // "Waiting for the new key..." / "ESC to cancel"
    QPushButton* SpeedButton2;        // "OK"

    void FormCreate();
    void Panel1Click(int tag);
    // Only while the capture panel shows: a letter becomes the key, Esc cancels, the rest is
    // swallowed. True when the key was taken.
    bool FormKeyDown(int virtualKey);
    bool capturing() const;

    // The text a hot key's box shows.
    static QString keyText(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1& m_owner;
    int m_capturing = 0;  // the Tag of the box waiting for its key, 0 none
};

}  // namespace player
