// Fuzz target: any bytes as one of the player's playlist files are read into rows, and the rows
// written back and read again give the same rows.
#include "tests/common/fuzzinput.h"

#include "player/playlist/playlistfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("list.m3u", data, size);
    const auto rows = player::ReadPlaylistFile(path);
    if (!rows)
        return 0;
    std::string error;
    const std::string again = fuzzing::scratchFolder() + "/again.m3u";
    if (!player::WritePlaylistFile(again, *rows, error))
        std::abort();
    const auto back = player::ReadPlaylistFile(again);
    if (!back || back->size() != rows->size())
        std::abort();
    return 0;
}
