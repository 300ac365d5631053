// The shared search area the database program serves the player's queries through: slot 0 holds
// the query, slots 1.. the results, each slot one 424-byte track row.
#pragma once

#include "media/records.h"
#include "media/searchlink.h"
#include "platform/sharedmemory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace database {

using media::kMaxQueryLength;
using media::kMaxSearchResults;
using media::kSearchAreaBytes;
using media::kSearchAreaName;
using media::kSearchSlotBytes;
using media::kSearchSlotCount;
inline constexpr std::int64_t kHelloToServer = media::kHelloSearchServer;
// The player's answer to UM_PING; anything else means it has gone.
inline constexpr std::int64_t kPlayerAlive = media::kPlayerPingAnswer;
// Search fields a query may name: 0 Title .. 7 FileName.
inline constexpr std::int64_t kMaxQueryField = 7;

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
