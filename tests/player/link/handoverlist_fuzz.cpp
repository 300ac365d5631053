// Fuzz target: any bytes as a playlist handed over by the database or the generator give at most
// the rows asked for, numbered from 0.
#include "tests/common/fuzzinput.h"

#include "player/link/handoverlist.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const int maxEntries = in.number<std::int16_t>();
    const std::string_view rest = in.rest();
    const std::string path = fuzzing::inputFile("DBTemp.m3u", rest.data(), rest.size());
    const auto rows = player::ReadHandOverRows(path, maxEntries);
    if (rows && rows->size() > static_cast<std::size_t>(std::max(maxEntries, 0)))
        std::abort();
    return 0;
}
