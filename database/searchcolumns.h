// The searchable texts of the base, case-folded once: one contiguous column per search field,
// the records' texts in base order, each ended by a zero byte (which no stored text holds). A
// search then runs over a few megabytes laid end to end instead of dragging every 424-byte
// record through the cache. TrackBase keeps the columns in step with its records.
#pragma once

#include "database/recordtext.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace database {

class SearchColumns {
public:
    struct Column {
        std::string bytes;                  // every text, each followed by a zero byte
        std::vector<std::uint32_t> starts;  // where text i begins; one more entry for the end
        bool stale = false;                 // to be rebuilt before it is read
        std::string_view text(std::size_t i) const
        {
            return std::string_view(bytes).substr(starts[i], starts[i + 1] - starts[i] - 1);
        }
    };

    SearchColumns();
    void clear();
    void rebuild(const std::vector<TTrackRecord*>& records);
    void append(const TTrackRecord& record);
    // Record index has changed: its texts are written over the old ones where they have the same
    // length; otherwise its column is rebuilt before the next read.
    void update(std::size_t index, const TTrackRecord& record);
    // Rebuilds the stale columns from the records (the same records, in the same order).
    void refresh(const std::vector<TTrackRecord*>& records);
    // Every column is rebuilt before the next read (after a change that could not be followed).
    void invalidate();

    const Column& column(Field f) const { return m_columns[static_cast<std::size_t>(f)]; }
    std::size_t size() const { return m_columns[0].starts.size() - 1; }

    // The folded text the search compares: code page 1251 fields through the code page's
    // upper-case table, the time as shown, the file name through ASCII folding or, when it is
    // not ASCII, upper-cased as Unicode text (UTF-8).
    static void foldedText(const TTrackRecord& record, Field f, std::string& out);

private:
    void rebuildColumn(Field f, const std::vector<TTrackRecord*>& records);

    std::array<Column, kFieldCount> m_columns;
    std::string m_scratch;
};

}  // namespace database
