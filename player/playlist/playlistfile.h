// The player's playlist files (extended M3U, as the database program writes them) and its
// recent-playlists files (".hst"): plain readers and writers over playlist rows and paths.
#pragma once

#include "controls/vqrowlist.h"

#include <optional>
#include <string>
#include <vector>

namespace player {

// Writes "#EXTM3U", then per row "#EXTINF:<seconds>,<display name>" and the path, lines ended by
// CR LF, UTF-8; through a temporary file renamed into place. False (error text set) on failure.
bool WritePlaylistFile(const std::string& path, const std::vector<controls::TVirtualItem>& rows, std::string& error);

// Reads every "#EXTINF:" entry (no limit on their number or on the lengths of names and paths)
// into rows of the shape AddFile makes, with an empty caption. Lines that are not valid UTF-8 are
// taken as code page 1251; an entry path with "\" separators that does not exist is tried with
// "/". Nothing when the file cannot be read or its first line is not "#EXTM3U".
std::optional<std::vector<controls::TVirtualItem>> ReadPlaylistFile(const std::string& path);

constexpr int kRecentPlaylists = 9;

// The first nine lines of a ".hst" file (empty lines kept as they stand); nothing when the file
// cannot be read. Lines beyond the ninth are ignored.
std::optional<std::vector<std::string>> ReadHistoryFile(const std::string& path);
// One path per line, CR LF; false (error text set) on failure.
bool WriteHistoryFile(const std::string& path, const std::vector<std::string>& paths, std::string& error);

}  // namespace player
