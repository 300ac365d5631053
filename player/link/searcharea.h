// The player's half of the search area shared with the database program: slot 0 carries the
// query, slots 1..N the results of the last query. Plain functions over the mapped bytes.
#pragma once

#include "controls/vqrowlist.h"
#include "media/records.h"
#include "media/searchlink.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace player {

using media::kSearchAreaName;
using media::kSearchSlotCount;
inline constexpr std::size_t kSearchAreaSize = media::kSearchAreaBytes;
inline constexpr std::int64_t kMaxSearchResults = static_cast<std::int64_t>(media::kMaxSearchResults);
inline constexpr int kMaxQueryChars = static_cast<int>(media::kMaxQueryLength);

// Slot 0's Title := the first 30 characters of text in code page 1251. Nothing is written when
// the area is too small to hold slot 0.
void WriteSearchQuery(void* area, std::size_t areaSize, const QString& text);

// The result rows of slots 1..count, in the shape of the search list: Caption artist,
// SubItems[0] title, SubItems[1] "mm:ss", SubItems[2] path. The count is clamped to the slots the
// area holds (never more than 15,000); a negative count reads nothing. Texts end at their first
// zero byte; length bytes above their field are clamped.
std::vector<controls::TVirtualItem> ReadSearchResults(const void* area, std::size_t areaSize, std::int64_t count);

// A search result as a playlist row (name "artist - title", duration, path), with this caption.
controls::TVirtualItem FoundRowToPlaylistRow(const controls::TVirtualItem& found, const QString& caption);

}  // namespace player
