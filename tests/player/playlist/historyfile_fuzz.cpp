// Fuzz target: any bytes as a ".hst" recent-playlists file give at most nine paths.
#include "tests/common/fuzzinput.h"

#include "player/playlist/playlistfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("recent.hst", data, size);
    const auto lines = player::ReadHistoryFile(path);
    if (lines && lines->size() > static_cast<std::size_t>(player::kRecentPlaylists))
        std::abort();
    return 0;
}
