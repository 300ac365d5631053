// The crossfade table (mix and fade points per kind of item) and the rule that finds an item's
// kind from its display name and file name.
//
// The window keeps one CrossfadeSettings: the crossfade controls write records 1 to 3 through
// readCrossfadeControls, profiles and presets store the table as 60 bytes of hex, and PlayTrack /
// the main timer call detectCrossfadeClass on the selected row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace player {

// Index into the table.
enum CrossfadeClass : int {
    kClassCdOrLineIn = 0,
    kClassMusic = 1,
    kClassAdvert = 2,
    kClassJingle = 3,
    kClassExplicit = 4,  // a time written after FadeSign in the item's name
};

struct CrossfadeRecord {
    float mixSeconds = 0;
    float fadeSeconds = 0;
    bool mixOn = false;
    bool fadeOn = false;
    // Bytes 8 to 11 as last read: the two on bytes and the two reserved ones. The stored form
    // gives them back as held, an on byte only while it still says what mixOn or fadeOn says.
    std::array<std::uint8_t, 4> heldBytes{};

    // A point that is off lies so far from the end that it never fires.
    static constexpr std::int64_t kPointOffMs = 100000;
    std::int64_t mixMs() const;
    std::int64_t fadeMs() const;
    // The fade-out's length: the fade time rounded to ms when its point is on, else 0 (stop at once).
    std::int32_t fadeOutMs() const;
};

constexpr std::size_t kCrossfadeRecordBytes = 12;
constexpr std::size_t kCrossfadeTableBytes = 5 * kCrossfadeRecordBytes;
using CrossfadeBytes = std::array<std::uint8_t, kCrossfadeTableBytes>;

struct CrossfadeTable {
    std::array<CrossfadeRecord, 5> records{};

    // Stored layout per record: mix float32 LE, fade float32 LE, mix on byte, fade on byte, 2
    // reserved bytes (carried through as held).
    CrossfadeBytes toBytes() const;
    static CrossfadeTable fromBytes(const CrossfadeBytes& bytes);
    std::string toHex() const;
    // Reads as many whole records as the text holds; records beyond it keep their values. False
    // when the text holds no whole record.
    bool fromHex(std::string_view text);
};

// One group of crossfade controls: two float edits and two check boxes.
struct CrossfadeControls {
    double mixSeconds = 0;
    double fadeSeconds = 0;
    bool mixChecked = false;
    bool fadeChecked = false;
};

// Records 1 (music), 2 (advert) and 3 (jingle) from their controls; a point stays on only when its
// time is above 0. Record 0 has no controls.
void readCrossfadeControls(CrossfadeTable& table, const CrossfadeControls& music, const CrossfadeControls& advert,
                           const CrossfadeControls& jingle);

struct ClassNames {
    std::string fadeSign = "*";        // player.ini FadeSign
    std::string advertId = "commercial";  // ID_A
    std::string jingleId = "jingle";      // ID_J
};

// The number written after the first fadeSign in displayName: the longest run of digits with at
// most one "." right after the sign; -10 when there is none or the sign is empty.
double explicitFadeSeconds(std::string_view displayName, std::string_view fadeSign);

// The class of an item; record 4 of the table takes the explicit time (both points on when it is
// 0 or more).
CrossfadeClass detectCrossfadeClass(std::string_view displayName, std::string_view fileName,
                                    const ClassNames& names, CrossfadeTable& table);

}  // namespace player
