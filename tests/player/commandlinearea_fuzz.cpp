// Fuzz target: the command-line area as a second start (or anyone who reached it) left it: both
// arguments read back within the area, and what the writer makes of them reads back the same.
#include "player/commandlinearea.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t areaSize = size % 2 ? player::kCommandLineAreaSize : std::min(size, player::kCommandLineAreaSize);
    std::vector<unsigned char> area(areaSize);
    std::copy_n(data, std::min(size, areaSize), area.begin());
    const auto [first, second] = player::ReadCommandLineArea(area.data(), area.size());
    if (first.size() > player::kMaxArgBytes + 1 || second.size() > player::kMaxArgBytes + 1)
        std::abort();
    std::vector<unsigned char> again(player::kCommandLineAreaSize);
    player::WriteCommandLineArea(again.data(), again.size(), first, second);
    // An argument that filled its whole field stays marked as cut.
    if (player::ReadCommandLineArea(again.data(), again.size()) != std::make_pair(first, second))
        std::abort();
    return 0;
}
