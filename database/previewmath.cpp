// Preview arithmetic.
#include "database/previewmath.h"

#include <algorithm>
#include <cstdio>

namespace database {

std::int32_t previewSeekTargetMs(int x, int barWidth, std::int32_t lengthMs)
{
    if (barWidth <= 0 || lengthMs <= 0)
        return -1;
    const std::int64_t at = std::clamp(x, 0, barWidth);
    const std::int64_t percent = at * 100 / barWidth;
    return static_cast<std::int32_t>(percent * lengthMs / 100);
}

int previewPercent(std::int32_t positionMs, std::int32_t lengthMs)
{
    if (lengthMs <= 0 || positionMs <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(positionMs) * 100 / lengthMs, 100));
}

std::string previewPositionText(std::int32_t positionMs, std::int32_t lengthMs)
{
    auto seconds = [](std::int32_t ms) { return static_cast<std::uint32_t>(std::max(ms, 0)) / 1000; };
    char text[48];
    std::snprintf(text, sizeof text, "%.2u:%.2u/%.2u:%.2u", seconds(positionMs) / 60, seconds(positionMs) % 60,
                  seconds(lengthMs) / 60, seconds(lengthMs) % 60);
    return text;
}

}  // namespace database
