// Fuzz target: the player's reading of the shared search area, whatever the database program (or
// anyone who reached the area) left in it and whatever count its answer carried.
#include "tests/common/fuzzinput.h"

#include "player/link/searcharea.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const auto count = in.number<std::int64_t>();
    const std::string query = in.text(200);
    const std::string_view rest = in.rest();
    // The area as mapped: the input's bytes, the rest of it zeros (a short area is read too).
    const std::size_t areaSize = std::min(rest.size() * 4, player::kSearchAreaSize);
    std::vector<unsigned char> area(areaSize);
    std::copy_n(rest.begin(), std::min(rest.size(), areaSize), area.begin());

    player::WriteSearchQuery(area.data(), area.size(), QString::fromUtf8(query.data(), static_cast<qsizetype>(query.size())));
    const auto rows = player::ReadSearchResults(area.data(), area.size(), count);
    if (rows.size() > static_cast<std::size_t>(player::kMaxSearchResults) || static_cast<std::int64_t>(rows.size()) > std::max<std::int64_t>(count, 0))
        std::abort();
    for (const auto& row : rows)
        player::FoundRowToPlaylistRow(row, QStringLiteral("1"));
    return 0;
}
