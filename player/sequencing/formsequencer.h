// The main window's side of sequencing and of the main timer: the Main list, tray tip and report
// as the sequencer sees them.
#pragma once

#include "player/sequencing/maintimer.h"
#include "player/sequencing/report.h"
#include "player/sequencing/sequencingplayback.h"

#include <memory>

namespace player {

class TForm1;

class FormSequencerHost final : public SequencerHost, public MainTimerDisplays {
public:
    explicit FormSequencerHost(TForm1& form);

    int rowCount() const override;
    int hlIndex() const override;
    void setHlIndex(int row) override;
    int nextIndex() const override;
    void setNextIndex(int row) override;
    int firstSelectedRow() const override;
    void selectOnly(int row, bool focus) override;
    std::string displayName(int row) const override;
    std::string fileName(int row) const override;
    void updateNowPlaying(int row) override;
    void clearOnAirText() override;
    void repaint() override;
    void setPositionBar(int value) override;
    void breakReleased() override;  // brOneTrack: the Break button pops up
    void startingTrack() override;
    void trackStarted(int row) override;
    // Marks the row struck out and names the file in the status bar.
    void rowFailed(int row) override;
    void nothingToPlay() override;  // the scheduled rows are settled
    // Queued: the box must not hold up the tick or the start that found the failure.
    void fadeTimerFailed() override;
    // Queued, and dropped while an earlier one waits or is open: a fault that repeats every tick
    // must not stack up boxes.
    void reportError(const std::string& text, const std::string& caption) override;

    void showClock(const std::string& clock, const std::string& cpu, const std::string& memory) override;
    void showTimes(const std::string& main, const std::string& second) override;
    void clearOnAirDetails() override;
    void showDeckStates(const std::string& line) override;
    void firstTick() override;
    void localTime(int& hour, int& minute, int& second) override;
    // Load figures and the automatic level, from the window (meters.cpp).
    void showAutoLevel(bool on, double gain) override;
    bool autoLevel(double& gain) override;
    double cpuLoad() override;
    double memoryUsed() override;
    int loadEmergencyList() override;

    PlayReport report;

private:
    TForm1& m_form;
    std::shared_ptr<bool> m_errorShowing = std::make_shared<bool>(false);
};

}  // namespace player
