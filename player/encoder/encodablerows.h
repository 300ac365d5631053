// Which playlist rows the encode command hands to the encoder: files only, not inserted playlists,
// the line input or CD tracks.
#pragma once

#include "controls/vqrowlist.h"

#include <string>
#include <vector>

namespace player {

bool IsEncodableRow(const controls::TVirtualItem& row);
// The file names of the given rows (in the order given) that are files to encode.
std::vector<std::string> EncodableFiles(const controls::VqRowList& list, const std::vector<int>& rows);

}  // namespace player
