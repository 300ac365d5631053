// What one pass over an Ogg Vorbis file's first two pages finds; shared by the reader and the
// comment writer of TOggVorbis.
#pragma once

#include "media/oggvorbis.h"

namespace media {

struct OggHeaderInfo {
    static constexpr int kKeyCount = 9;
    // TITLE, ARTIST, ALBUM, TRACKNUMBER, DATE, GENRE, COMMENT, PERFORMER, DESCRIPTION
    static const std::array<const char*, kKeyCount> kKeys;
    enum Key { kTitle, kArtist, kAlbum, kTrackNumber, kDate, kGenre, kComment, kPerformer, kDescription };

    std::uint8_t page1[27 + 255] = {};
    std::uint8_t page2[27 + 255] = {};
    bool page2Read = false;  // its header and lacing values are all there
    std::uint8_t ident[30] = {};
    bool hasComments = false;      // page 2 begins with a comment header
    bool commentsComplete = false; // every entry of it lies inside the file
    bool entriesKept = false;      // entries below hold the full bytes of every comment
    std::uint8_t marker[7] = {};
    std::uint32_t commentCount = 0;
    std::string vendor;             // as stored (trimmed, at most 250 bytes)
    std::array<std::string, kKeyCount> values;  // UTF-8, trimmed, from at most 250 bytes
    std::vector<std::string> entries;  // full bytes of the vendor text, then every comment
    std::int64_t fileSize = 0;
    std::int32_t samples = 0;
    std::int32_t id3v2Size = 0;
    std::int64_t page2Start = 0;
    std::int64_t commentEnd = 0;
};

}  // namespace media
