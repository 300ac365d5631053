// Playlists handed over by another program (the database window, the playlist generator) as rows
// of the Main list.
#pragma once

#include "controls/vqrowlist.h"

#include <optional>
#include <string>
#include <vector>

namespace player {

// The entries of the playlist file (at most maxEntries) as playlist rows whose captions are their
// numbers from 0, names as the entries give them, durations "mm:ss" and paths. Nothing when the
// file is missing (shown to the user) or is no playlist.
std::optional<std::vector<controls::TVirtualItem>> ReadHandOverRows(const std::string& path, int maxEntries);

}  // namespace player
