// The texts of a track record as the database program shows, searches and sorts them: tag fields
// are code page 1251 up to their first zero byte, the file name is the path's UTF-8 bytes.
#pragma once

#include "media/records.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace database {

using media::TTrackRecord;

// The eight searchable attributes, in the order of the search fields Edit1..Edit8.
enum class Field { Title, Artist, Album, Year, Genre, Comment, Time, FileName };
inline constexpr int kFieldCount = 8;

// The stored bytes of a field, up to the first zero byte (tag fields keep their padding).
std::string_view storedBytes(const TTrackRecord& r, Field f);
// True for the fields held in code page 1251 (every field but the file name and the time).
bool isCp1251Field(Field f);
// The text of a field for display and comparison (time as "mm:ss", "??:??" when not measured).
QString fieldText(const TTrackRecord& r, Field f);

// Upper case of a code page 1251 byte (Latin and Cyrillic letters); other bytes unchanged.
unsigned char cp1251Upper(unsigned char c);
// The whole table, for loops that fold many bytes.
const std::array<unsigned char, 256>& cp1251UpperTable();
// Lower case, likewise.
const std::array<unsigned char, 256>& cp1251LowerTable();

// List columns: 0 Artist, 1 Title, 2 Album, 3 Year, 4 Genre, 5 Comment, 6 Time, 7 FileName, 8 Size.
inline constexpr int kColumnCount = 9;
QString columnText(const TTrackRecord& r, int column);
// The field a column shows; false for the size column (and any other number).
bool columnField(int column, Field* f);

// Row colour slot by file type: 1 ".wma", 2 ".ogg", 3 ".wav", 0 anything else.
int colorSlot(const TTrackRecord& r);

// The time column's text as FormatTimeShort writes it ("mm:ss", "??:??" for 0), without
// allocating: written into buf (at least kShownTimeBytes), or a constant.
inline constexpr std::size_t kShownTimeBytes = 16;
std::string_view shownTime(std::int32_t ms, char* buf);

// h:mm:ss of a total that may exceed the 32-bit millisecond range.
std::string formatTotalTime(std::int64_t ms);

}  // namespace database
