// Reads a ".dfs" database file for the generator: whole 424-byte rows, no header. The file comes
// from outside, so a trailing piece shorter than a row is ignored and the rows are only ever read
// through the length-clamping accessors of the record.
#pragma once

#include "media/records.h"

#include <string>
#include <vector>

namespace sorbelt {

inline constexpr std::size_t kDfsRowSize = sizeof(media::TTrackRecord);

struct DfsRows {
    bool ok = false;    // false: no path, missing file, or a read error (see error)
    std::string error;  // why the file was not read, as the system says it; empty without a path
    std::vector<media::TTrackRecord> rows;
    std::size_t ignoredTailBytes = 0;
};

DfsRows readDfsRows(const std::string& path);

// A field's text as the programs show it: cut at its first zero byte, then blanks and control
// characters trimmed from both ends. Still code page 1251 (or path bytes for FileName).
template <std::size_t N>
std::string fieldText(const media::ShortString<N>& field);

std::string cleanFieldText(std::string_view raw);

template <std::size_t N>
std::string fieldText(const media::ShortString<N>& field)
{
    return cleanFieldText(field.str());
}

// A row the database has marked deleted: its file name is "NO".
bool isDeletedRow(const media::TTrackRecord& row);
// A row that can go into a playlist: not deleted, a file name, no line break in it (a line break
// would split the entry and smuggle in lines of its own), and valid UTF-8 (the playlist is read as
// UTF-8 only when all of it is; one stray byte would garble every other entry's texts).
bool isPlayableRow(const media::TTrackRecord& row);

}  // namespace sorbelt
