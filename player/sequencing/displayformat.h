// Texts and numbers of the player's displays: clocks, time labels, the state line, the position
// bar and seeking, the rate slider range, the wheel. Plain functions the window's handlers call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace player {

std::string clockText(int hour, int minute, int second);   // "hh:mm:ss"
std::string cpuText(double percent);                        // "12.3%"
// Memory in use as a percentage of the total; 0 when the total is unknown.
double memoryUsedPercent(std::uint64_t availableBytes, std::uint64_t totalBytes);
std::string memoryText(double usedPercent);                 // "57%"
std::string autoLevelText(bool on, double gain, const std::string& off);  // "1.25" or off
std::string trimText(double startSeconds, double tailSeconds);
std::string volumeStatusText(int volume);                   // "Volume: 80"
std::string deckStateLine(int volumeA, int volumeB, std::int32_t stateA, std::int32_t stateB);
std::string silencePanelText(const std::string& title, bool on, const std::string& onText,
                             const std::string& offText);

// The main time label and the second one: countdown "– mm:ss.t" of what is left and the count up
// of the position; timeShowType 1 exchanges them.
struct TimeLabels {
    std::string main;
    std::string second;
};
TimeLabels timeLabels(std::int32_t positionMs, std::int32_t lengthMs, int timeShowType);

constexpr int kPositionBarMax = 1000;
// Position bar value 0..1000; 0 when nothing plays or the length is unknown.
int positionBarValue(std::int32_t positionMs, std::int32_t lengthMs, bool playingOrPaused);
// Bar value under the mouse at x on a bar of the given width (12-pixel margins at each end).
int positionBarFromMouse(int x, int width);
// Where a bar value seeks to, in ms (the product is taken in 64 bits: long tracks do not overflow).
std::int32_t seekMsFromBar(int barValue, std::int32_t lengthMs);

// "-5 sec" (direction -1) and "+5 sec" (1): the new position and bar value; none when the length
// is 0.
struct Skip {
    std::int32_t positionMs = 0;
    int barValue = 0;
};
std::optional<Skip> skipFiveSeconds(std::int32_t positionMs, std::int32_t lengthMs, int direction);

// The sample-rate slider's range around a channel rate.
struct RateSliderRange {
    int minimum = 0;
    int maximum = 0;
    int position = 0;
};
RateSliderRange rateSliderRange(std::int32_t channelRate);

// Volume slider steps of a mouse-wheel message: the signed high word of wParam, per notch of 120.
int wheelSteps(std::uint64_t wParam);

}  // namespace player
