// The two fixed-layout records every track list, tag editor, database file and the shared search
// area are made of, and the genre table both programs name genres from.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace media {

// A length-prefixed single-byte string field: one length byte, then N character bytes (code page
// 1251). Bytes after the length are not significant.
template <std::size_t N>
struct ShortString {
    std::uint8_t length;
    char chars[N];

    // The text, with a length byte above N clamped so a damaged record never reads past the field.
    std::string str() const { return std::string(chars, std::min<std::size_t>(length, N)); }
    // Stores at most N bytes of text; the rest of the field is zeroed.
    void assign(std::string_view text)
    {
        const std::size_t n = std::min(text.size(), N);
        length = static_cast<std::uint8_t>(n);
        std::fill(chars, chars + N, '\0');
        std::copy_n(text.data(), n, chars);
    }
};

#pragma pack(push, 1)

// The editable tag of one audio file. Bytes 0..126 are exactly the first 127 bytes of an ID3v1
// tag; the ID3v1 genre number travels beside the record as a separate byte (GenreIndex).
struct TTagRecord {
    char Kind[3];     // "TAG", "OGG", "WMA"; zero bytes when nothing was read
    char Title[30];
    char Artist[30];
    char Album[30];
    char Year[4];
    char Comment[30];  // ID3v1.1: the last two bytes are a zero byte and the track number
    ShortString<30> Genre;  // the genre name, not its number
};

// One track row: an M3U entry, a database track, a ".dfs" row, a slot of the shared search area.
struct TTrackRecord {
    ShortString<30> Title;
    ShortString<30> Artist;
    ShortString<30> Album;
    ShortString<4> Year;
    ShortString<30> Comment;
    ShortString<30> Genre;
    ShortString<255> FileName;
    std::int32_t Duration;  // milliseconds; 0 = not measured
    std::int32_t Size;      // bytes, as found by the database's folder scan; 0 otherwise
};

#pragma pack(pop)

// The most rows a ".dfs" base may hold for the programs to load it (424 MB; a large station's
// collection is some 100,000 tracks): a file past it is refused rather than taken into memory.
inline constexpr std::size_t kMaxBaseRows = 1'000'000;

// Records are copied and stored as raw bytes (database file, shared memory).
static_assert(std::is_trivially_copyable_v<TTagRecord> && std::is_standard_layout_v<TTagRecord>);
static_assert(std::is_trivially_copyable_v<TTrackRecord> && std::is_standard_layout_v<TTrackRecord>);
static_assert(sizeof(ShortString<30>) == 31);
static_assert(sizeof(TTagRecord) == 158);
static_assert(offsetof(TTagRecord, Kind) == 0);
static_assert(offsetof(TTagRecord, Title) == 3);
static_assert(offsetof(TTagRecord, Artist) == 33);
static_assert(offsetof(TTagRecord, Album) == 63);
static_assert(offsetof(TTagRecord, Year) == 93);
static_assert(offsetof(TTagRecord, Comment) == 97);
static_assert(offsetof(TTagRecord, Genre) == 127);

static_assert(sizeof(TTrackRecord) == 424);
static_assert(offsetof(TTrackRecord, Title) == 0);
static_assert(offsetof(TTrackRecord, Artist) == 31);
static_assert(offsetof(TTrackRecord, Album) == 62);
static_assert(offsetof(TTrackRecord, Year) == 93);
static_assert(offsetof(TTrackRecord, Comment) == 98);
static_assert(offsetof(TTrackRecord, Genre) == 129);
static_assert(offsetof(TTrackRecord, FileName) == 160);
static_assert(offsetof(TTrackRecord, Duration) == 416);
static_assert(offsetof(TTrackRecord, Size) == 420);

// The ID3v1 genre byte that travels beside a TTagRecord: 0..147 a genre, 255 none.
using GenreIndexByte = std::uint8_t;
inline constexpr std::uint8_t kNoGenre = 255;
inline constexpr int kGenreCount = 148;
inline constexpr int kSupportedExtensionCount = 5;

// Rows 0..147: the genre names as stored in tags and the database; rows 148..152: the
// supported extensions (lower case, with the dot).
extern const std::array<std::string_view, kGenreCount + kSupportedExtensionCount> GenreNames;

// The name of genre i, empty for any number outside 0..147.
std::string_view GenreName(int index);
// The five extensions ".mp3", ".wav", ".cda", ".wma", ".ogg".
std::string_view SupportedExtension(int index);

}  // namespace media
