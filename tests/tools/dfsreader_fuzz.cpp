// Fuzz target: any bytes as the ".dfs" base the playlist generator reads: rows, their texts, the
// draw of playable rows and the stack list written from them.
#include "tests/common/fuzzinput.h"

#include "tools/Sorbelt/dfsreader.h"
#include "tools/Sorbelt/stacklist.h"

#include <cstdlib>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const int count = in.number<std::int16_t>();
    const std::string_view rest = in.rest();
    const std::string path = fuzzing::inputFile("Base.dfs", rest.data(), rest.size());
    const sorbelt::DfsRows read = sorbelt::readDfsRows(path);
    if (!read.ok || read.rows.size() != rest.size() / sorbelt::kDfsRowSize)
        std::abort();
    for (const media::TTrackRecord& r : read.rows) {
        sorbelt::fieldText(r.Artist);
        sorbelt::fieldText(r.Title);
        sorbelt::fieldText(r.FileName);
    }
    std::mt19937 random(static_cast<std::uint32_t>(size));
    const auto chosen = sorbelt::chooseRows(read.rows, count, random);
    if (chosen.size() > static_cast<std::size_t>(std::max(count, 0)))
        std::abort();
    for (const media::TTrackRecord& r : chosen)
        if (!sorbelt::isPlayableRow(r))
            std::abort();
    const std::string text = sorbelt::m3uText(chosen);
    if (text.rfind("#EXTM3U\r\n", 0) != 0)
        std::abort();
    return 0;
}
