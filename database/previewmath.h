// The preview's arithmetic, in 64 bits: the seek target of a point on the position bar, the bar's
// percentage and the position text.
#pragma once

#include <cstdint>
#include <string>

namespace database {

// ((x * 100 / width) * length) / 100, each division an integer one in that order, with x held
// to the bar; -1 when there is nothing to seek (a bar without width, a track without length).
std::int32_t previewSeekTargetMs(int x, int barWidth, std::int32_t lengthMs);
// position * 100 / length, 0 to 100.
int previewPercent(std::int32_t positionMs, std::int32_t lengthMs);
// "mm:ss/mm:ss".
std::string previewPositionText(std::int32_t positionMs, std::int32_t lengthMs);

}  // namespace database
