// TRearPlay "Monitor": pre-listens one playlist row on a deck of its own while the decks stay on
// air. How the monitor is kept apart from the air follows the monitor type (MonType): 0 the left
// channel for the monitor and the right for the decks, 1 the rear speakers, 2 (and any other
// value) the second output device. The window frees itself when it closes, by the operator or at
// the end of the track.
#pragma once

#include <QWidget>

#include <cstdint>
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

class TRearPlay : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 50;

    // Makes the deck and applies the monitor type (FormCreate); the window starts playing when it
    // is shown.
    TRearPlay(TForm1& form, const QString& fileName);
    ~TRearPlay() override;

    QProgressBar* pb;           // 0..1000
    controls::TTBar* tbVolume;  // 0..100, the profile's RearVolume
    QPushButton* Button1;       // "Cancel"
    QTimer* Timer1;

    engine::TAudioEngine* deck() { return m_deck.get(); }
    const QString& fileName() const { return m_fileName; }
    // The monitor type the window was opened with (what its closing undoes).
    int openedType() const { return m_type; }

    void Timer1Timer();
    void tbVolumeChange();

    // The bar's position for a deck position and a length, both in ms: 0 for a length of 0.
    static int barPosition(double positionMs, double lengthMs);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();

    TForm1& m_form;
    QString m_fileName;
    std::unique_ptr<engine::TAudioEngine> m_deck;
    double m_lengthMs = 0;
    int m_type = 2;
    int m_savedPan = 0;
    bool m_shown = false;
    bool m_closed = false;
};

}  // namespace player
