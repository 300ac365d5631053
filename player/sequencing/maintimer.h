// The main timer's tick: silence detector, clocks and load figures, time labels and state line,
// position bar, end of track and the crossfade decision, in that order, every 50 ms.
//
// The window owns one MainTimer over its PlaybackSequencer, implements MainTimerDisplays over its
// labels, calls tick() from maintimerTimer and sets its QTimer to intervalMs() afterwards. A mix or
// fade point that falls before the next tick would be found up to a tick late: the window then
// arms a precise one-shot for it (PlaybackSequencer::msToNextPoint) that calls pointTick().
#pragma once

#include <cstdint>
#include <string>

namespace player {

class PlaybackSequencer;

// What a tick shows and reads outside the decks.
class MainTimerDisplays {
public:
    virtual ~MainTimerDisplays() = default;
    virtual void showAutoLevel(bool on, double gain) { (void)on, (void)gain; }             // Label14
    virtual void showClock(const std::string& clock, const std::string& cpu, const std::string& memory)
    {
        (void)clock, (void)cpu, (void)memory;
    }  // timelabel, status panels 1 and 2
    virtual void showTimes(const std::string& main, const std::string& second) { (void)main, (void)second; }
    // Nothing is on air any more: what was shown of the item that played goes (its silence cut).
    virtual void clearOnAirDetails() {}
    virtual void showDeckStates(const std::string& line) { (void)line; }                  // Label29
    virtual void setPositionBar(int value) { (void)value; }                               // TBar1
    // The first tick's work: genre box, caption, today's report into the list, first page.
    virtual void firstTick() {}
    // Silence action 3: show the first page, load the emergency playlist into it; its row count.
    virtual int loadEmergencyList() { return 0; }

    // Inputs.
    virtual void localTime(int& hour, int& minute, int& second) { hour = minute = second = 0; }
    virtual double cpuLoad() { return 0; }
    virtual double memoryUsed() { return 0; }
    virtual bool autoLevel(double& gain) { gain = 0; return false; }
};

struct SilenceDetector {
    bool on = false;
    int intervalSeconds = 120;
    int action = 1;  // 1 next row, 2 the list from the top, 3 the emergency playlist
};

class MainTimer {
public:
    static constexpr int kFirstIntervalMs = 100;
    static constexpr int kIntervalMs = 50;
    // How soon the silence detector tries again after its action started nothing.
    static constexpr int kSilenceRetryMs = 1000;

    MainTimer(PlaybackSequencer& sequencer, MainTimerDisplays& displays);

    void tick();
    // The crossfade decision alone, at a mix or fade point between ticks.
    void pointTick();
    int intervalMs() const { return m_firstTick ? kFirstIntervalMs : kIntervalMs; }
    int tickCount() const { return m_tick; }

    SilenceDetector& silence() { return m_silence; }
    int timeShowType = 0;            // 0 the main label counts down, 1 up
    bool showSecondTimeLabel = false;
    bool followPosition = true;      // cleared while the position bar is dragged

private:
    void silenceStep();
    void crossfadeStep();

    PlaybackSequencer& m_sequencer;
    MainTimerDisplays& m_displays;
    SilenceDetector m_silence;
    int m_tick = 0;
    bool m_firstTick = true;
    bool m_inTick = false;
    std::int64_t m_idleMs = 0;
};

}  // namespace player
