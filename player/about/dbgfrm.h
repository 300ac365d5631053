// TDbgFrm "Debug window": the inner state of playback and crossfading, refreshed every 100 ms
// while the window is visible (its timer runs only then).
//
// Components: caption labels Label1 "Fade type:", Label2 "Now:", Label3 "FadeOut time:", Label4
// "Mix time:", Label7 "FadeObj:", Label8 "TimerID:", Label9 "IsFading:", Label18 "Time working:",
// and in the group GroupBox1 "AMP" Label20 "count", Label21 "high", Label22 "quiet"; their values
// Label10 .. Label16, Label19 (bold) and Label23 .. Label25; the check box CheckBox1 "MixFlag";
// Label5 and Label6 with the decks' files; Label26 "Output:" with the output devices' states in
// Label27; the button Button1 "Device info".
#pragma once

#include "player/about/dbgstate.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace player {

class TDbgFrm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 100;

    explicit TDbgFrm(QWidget* mainWindow);

    QTimer* Timer1;
    QLabel* Label10;  // fade type
    QLabel* Label11;  // now
    QLabel* Label12;  // fade-out time
    QLabel* Label13;  // mix time
    QLabel* Label14;  // fade object
    QCheckBox* CheckBox1;  // mix flag
    QLabel* Label15;  // timer id
    QLabel* Label16;  // is fading
    QLabel* Label5;   // deck A's file
    QLabel* Label6;   // deck B's file
    QLabel* Label19;  // time working
    QLabel* Label23;  // AMP count
    QLabel* Label24;  // AMP high
    QLabel* Label25;  // AMP quiet
    QLabel* Label27;  // the output devices' states
    QPushButton* Button1;

    // Where the values come from (the main window's state, read at each refresh).
    std::function<DbgSnapshot()> State;

    void Timer1Timer();
    // The output device of deck A, as the audio library describes it, in a message box.
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace player
