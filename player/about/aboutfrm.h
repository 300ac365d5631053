// Taboutfrm "About": the program's version, and a link to the program's README when it lies in the
// program folder. Modal, centred on the main window, frees itself when closed.
#pragma once

#include <QDialog>

class QLabel;
class QToolButton;

namespace controls {
class TVqURLLabel;
}

namespace player {

class Taboutfrm : public QDialog {
    Q_OBJECT
public:
    explicit Taboutfrm(QWidget* mainWindow);

    QLabel* Image1;   // the logo
    QLabel* Label1;   // the bold line
    QLabel* Label4;   // the program's version (bold)
    QLabel* Label6;   // hidden: caption of the audio library's version
    QLabel* Label7;   // hidden: the audio library's version "major.minor"
    controls::TVqURLLabel* VqURLLabel1;  // the README
    QToolButton* SpeedButton1;  // closes the box

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    bool m_shown = false;
};

}  // namespace player
