// Registering the player as the desktop's opener of audio files and playlists.
#pragma once

#include <string>

namespace media {

// Writes the file-type keys of ".mp3", ".wav", ".wma", ".ogg" (opened with "file") and ".m3u"
// (opened with "list") under the classes root, every time it is called, row by row. A refused
// write throws std::runtime_error "Failed to set data for ''" and leaves the later rows unwritten.
// Then the same associations are written for the desktop (platform::registerDesktopFileType); a
// failure there throws std::runtime_error "Cannot register the file types with the desktop ...".
// mediaIconPng and playlistIcon: the two types' pictures (PNG) for the desktop; empty: none.
void RegisterFileTypes(const std::string& programPath, const std::string& mediaIconPng = {},
                       const std::string& playlistIconPng = {});

}  // namespace media
