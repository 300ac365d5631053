// The shared search area the database program serves the player's queries through: slot 0 holds
// the query, slots 1.. the results, each slot one 424-byte track row.
#pragma once

#include "media/records.h"
#include "platform/sharedmemory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace database {

inline constexpr std::string_view kSearchAreaName = "SHARED_DATA_FILE";
inline constexpr std::size_t kSearchSlotBytes = sizeof(media::TTrackRecord);
inline constexpr std::size_t kSearchSlotCount = 15001;
inline constexpr std::size_t kSearchAreaBytes = kSearchSlotBytes * kSearchSlotCount;  // 6,360,424
inline constexpr std::size_t kMaxSearchResults = kSearchSlotCount - 1;
inline constexpr std::size_t kMaxQueryLength = 30;
// lParam of UM_SEARCH_HELLO meant for the search server (the playlist generator is greeted with 23).
inline constexpr std::int64_t kHelloToServer = 12;
// The player's answer to UM_PING; anything else means it has gone.
inline constexpr std::int64_t kPlayerAlive = 10000;
// Search fields a query may name: 0 Title .. 7 FileName.
inline constexpr std::int64_t kMaxQueryField = 7;

static_assert(kSearchAreaBytes == 6360424);

class SearchArea {
public:
    // Maps the area (any earlier view is unmapped first). False when it cannot be had.
    bool map();
    void unmap();
    bool isMapped() const { return m_memory.isOpen(); }

    // Slot 0's text (code page 1251 bytes); its length byte is clamped to the field.
    std::string query() const;
    // Copies the first rows, at most kMaxSearchResults, to slots 1..; returns how many were copied.
    // Nothing is written when the area is not mapped (0).
    std::size_t writeResults(const std::vector<media::TTrackRecord*>& rows);

    // Opens the shared memory; tests replace it to see a mapping fail.
    std::function<bool(platform::SharedMemory&, std::string_view name, std::size_t bytes)> opener =
        [](platform::SharedMemory& m, std::string_view name, std::size_t bytes) { return m.open(name, bytes); };

private:
    platform::SharedMemory m_memory;
};

}  // namespace database
