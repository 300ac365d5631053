// The extended M3U text the programs write for rows of track records (the database's playlist
// export and hand-over list, the playlist generator's stack list).
#pragma once

#include "media/records.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace media {

// Whole seconds of a duration in milliseconds, rounded to the nearest, halves to the even
// neighbour (negative durations too); 0 for an unmeasured track.
std::int64_t m3uSeconds(std::int32_t durationMs);

// A record field as the lists show it: cut at its first zero byte, then blanks and control
// characters trimmed from both ends. Bytes stay in the field's encoding.
std::string m3uFieldText(std::string_view raw);

// Builds "#EXTM3U", then per row "#EXTINF:<seconds>,<artist> - <title>" and the file name, lines
// ended by CR LF, UTF-8: tag texts converted from code page 1251, file-name bytes unchanged.
class M3uText {
public:
    M3uText();
    // False (nothing written) for a row whose file name holds a line break (writing it would add
    // lines of its own) or is not UTF-8 (a reader takes the whole playlist as code page 1251 then,
    // garbling every other entry, and the name could not be found again anyway).
    bool add(const TTrackRecord& row);
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

std::string m3uText(std::span<const TTrackRecord> rows);

}  // namespace media
