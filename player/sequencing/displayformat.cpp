// The display formats and the position arithmetic.
#include "player/sequencing/displayformat.h"

#include "engine/audioengine.h"
#include "media/tag.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace player {

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

}  // namespace

std::string clockText(int hour, int minute, int second)
{
    return format("%.2d:%.2d:%.2d", hour, minute, second);
}

std::string cpuText(double percent)
{
    return format("%.1f%%", percent);
}

double memoryUsedPercent(std::uint64_t availableBytes, std::uint64_t totalBytes)
{
    if (totalBytes == 0)
        return 0;
    return 100.0 - static_cast<double>(availableBytes) / static_cast<double>(totalBytes) * 100.0;
}

std::string memoryText(double usedPercent)
{
    return format("%.0f%%", usedPercent);
}

std::string autoLevelText(bool on, double gain, const std::string& off)
{
    return on ? format("%.2f", gain) : off;
}

std::string trimText(double startSeconds, double tailSeconds)
{
    return format("start: %.2f s,  end: %.2f s", startSeconds, tailSeconds);
}

std::string volumeStatusText(int volume)
{
    return format("Volume: %d", volume);
}

std::string deckStateLine(int volumeA, int volumeB, std::int32_t stateA, std::int32_t stateB)
{
    return format("Volumes. A: %d, B: %d, State: A: %s, B: %s", volumeA, volumeB, engine::stateName(stateA),
                  engine::stateName(stateB));
}

std::string silencePanelText(const std::string& title, bool on, const std::string& onText,
                             const std::string& offText)
{
    return title + ": " + (on ? onText : offText);
}

TimeLabels timeLabels(std::int32_t positionMs, std::int32_t lengthMs, int timeShowType)
{
    // Past the end (a length that was measured short) the countdown shows 0, not a wrapped time.
    const std::int64_t left = std::max<std::int64_t>(0, static_cast<std::int64_t>(lengthMs) - positionMs);
    const std::string down = "\u2013 " + media::FormatTimeTenths(static_cast<std::int32_t>(left));
    const std::string up = media::FormatTimeTenths(std::max<std::int32_t>(0, positionMs));
    if (timeShowType == 1)
        return {up, down};
    return {down, up};
}

int positionBarValue(std::int32_t positionMs, std::int32_t lengthMs, bool playingOrPaused)
{
    if (lengthMs < 1 || !playingOrPaused)
        return 0;
    const double value = std::round(static_cast<double>(positionMs) / lengthMs * kPositionBarMax);
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(kPositionBarMax)));
}

int positionBarFromMouse(int x, int width)
{
    if (width <= 24)
        return 0;
    const double value = std::round(static_cast<double>(x - 12) / (width - 24) * kPositionBarMax);
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(kPositionBarMax)));
}

std::int32_t seekMsFromBar(int barValue, std::int32_t lengthMs)
{
    const std::int64_t bar = std::clamp(barValue, 0, kPositionBarMax);
    return static_cast<std::int32_t>(bar * std::max<std::int32_t>(lengthMs, 0) / kPositionBarMax);
}

std::optional<Skip> skipFiveSeconds(std::int32_t positionMs, std::int32_t lengthMs, int direction)
{
    if (lengthMs == 0)
        return std::nullopt;
    std::int64_t t = static_cast<std::int64_t>(positionMs) + static_cast<std::int64_t>(direction) * 5000;
    t = std::max<std::int64_t>(t, 0);
    if (t > lengthMs)
        t = static_cast<std::int64_t>(lengthMs) - 1;
    Skip skip;
    skip.positionMs = static_cast<std::int32_t>(t);
    skip.barValue = static_cast<int>(std::llround(static_cast<double>(t) * kPositionBarMax / lengthMs));
    return skip;
}

RateSliderRange rateSliderRange(std::int32_t channelRate)
{
    RateSliderRange r;
    r.minimum = static_cast<int>(channelRate * 0.5 / 50);
    r.maximum = static_cast<int>(channelRate * 1.5 / 50);
    r.position = channelRate / 50;
    return r;
}

int wheelSteps(std::uint64_t wParam)
{
    const auto delta = static_cast<std::int16_t>(static_cast<std::uint16_t>((wParam >> 16) & 0xFFFF));
    return delta / 120;
}

}  // namespace player
