// TfrmJinPlay: one jingle playing over the programme in a small window of its own, with its own
// deck on the main window's device, a progress bar and a volume slider. It closes itself when the
// jingle has ended (or could not start), on Cancel and on Esc.
#pragma once

#include <QWidget>

#include <memory>

class QProgressBar;
class QPushButton;
class QTimer;

namespace controls {
class TTBar;
}
namespace engine {
class TAudioEngine;
}

namespace player {

class TForm1;

class TfrmJinPlay : public QWidget {
    Q_OBJECT
public:
    TfrmJinPlay(TForm1& owner, const QString& fileName);
    ~TfrmJinPlay() override;

    QProgressBar* pb;            // 0..1000
    controls::TTBar* tbVolume;   // 0..100: JinglVolume
    QPushButton* Button1;        // "Cancel"
    QTimer* Timer1;              // 50 ms, from the showing on
    std::unique_ptr<engine::TAudioEngine> Engine;  // null once released
    QString FileName;
    double LengthMs = 0;

    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void tbVolumeChange();
    // Counts the window out (the decks come back up after the last one), stops and releases the
    // deck; the device stays open for the others. Runs once.
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TForm1& m_owner;
    bool m_shown = false;
    bool m_closed = false;
};

}  // namespace player
