// The generator's playlist: a random draw of playable rows, the extended M3U text the system's
// programs write, and the atomic write of "Temp\Stack.m3u".
#pragma once

#include "media/records.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace sorbelt {

// Up to count distinct playable rows (deleted rows and rows without a usable file name never
// count), in random order.
std::vector<media::TTrackRecord> chooseRows(const std::vector<media::TTrackRecord>& rows, int count,
                                            std::mt19937& random);

// Whole seconds of a duration in milliseconds, rounded to the nearest, halves to the even
// neighbour (negative durations too); 0 for an unmeasured track.
std::int64_t roundedSeconds(std::int32_t durationMs);

// "#EXTM3U", then per row "#EXTINF:<seconds>,<artist> - <title>" and the file name, lines ended by
// CR LF, UTF-8: tag texts converted from code page 1251, file-name bytes unchanged.
std::string m3uText(const std::vector<media::TTrackRecord>& rows);

// Writes bytes to a temporary file beside path and renames it into place, so a reader never sees
// a half-written list. Creates the folder when missing. False with error set on failure.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

// The absolute path of the stack list in the current program folder.
std::string stackListPath();

}  // namespace sorbelt
