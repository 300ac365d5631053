// Mapping the shared search area, reading the query and writing the results.
#include "database/searcharea.h"

#include <algorithm>
#include <cstring>

namespace database {

bool SearchArea::map()
{
    unmap();
    if (!opener || !opener(m_memory, kSearchAreaName, kSearchAreaBytes))
        return false;
    // Another holder may have made the area larger; never one smaller than the slots.
    if (m_memory.size() < kSearchAreaBytes) {
        m_memory.close();
        return false;
    }
    return true;
}

void SearchArea::unmap() { m_memory.close(); }

std::string SearchArea::query() const
{
    if (!isMapped())
        return {};
    const auto* bytes = static_cast<const unsigned char*>(m_memory.data());
    const std::size_t length = std::min<std::size_t>(bytes[0], kMaxQueryLength);
    return std::string(reinterpret_cast<const char*>(bytes + 1), length);
}

std::size_t SearchArea::writeResults(const std::vector<media::TTrackRecord*>& rows)
{
    if (!isMapped())
        return 0;
    const std::size_t count = std::min(rows.size(), kMaxSearchResults);
    auto* slots = static_cast<unsigned char*>(m_memory.data());
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(slots + (i + 1) * kSearchSlotBytes, rows[i], kSearchSlotBytes);
    return count;
}

}  // namespace database
