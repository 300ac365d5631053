// The database program's track base in memory: List2 owns every record in base order, List shows
// a view of them (the whole base or a search result) and Indexes maps each search row to List2.
// Beside them the base keeps what every search and every total would otherwise gather from all
// the records: their searchable texts case-folded into columns, and the total time. Both follow
// every change made through the methods below; a record's fields are changed through
// setDuration and recordChanged, never behind the base's back.
#pragma once

#include "database/searchcolumns.h"
#include "media/records.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace database {

using media::TTrackRecord;

class TrackBase {
public:
    // Owns every record; records keep their address for their whole life, so List may point at them.
    std::vector<TTrackRecord*> List2;
    std::vector<TTrackRecord*> List;
    std::vector<int> Indexes;

    TrackBase() = default;
    TrackBase(const TrackBase&) = delete;
    TrackBase& operator=(const TrackBase&) = delete;
    ~TrackBase();

    // Frees every record and empties List and List2 (Indexes is rebuilt by the next search).
    void ClearList();
    // Takes ownership; the record goes to the end of List2 and of List.
    TTrackRecord* append(std::unique_ptr<TTrackRecord> record);
    // Replaces the whole base by these records (ownership taken), List := List2.
    void assign(std::vector<std::unique_ptr<TTrackRecord>> records);
    // The whole base shown again: List := List2.
    void showAll() { List = List2; }
    // Base order takes the shown order (after a sort of the whole base).
    void adoptShownOrder();

    // A record removed by a delete or a check is flagged here rather than by its file name, so a
    // file really named "NO" stays an ordinary track.
    void markDeleted(TTrackRecord* record);
    // Many at once (a check that finds thousands of files gone).
    void markDeleted(std::span<TTrackRecord* const> records);
    bool isDeleted(const TTrackRecord* record) const;
    // Frees the flagged records and takes them out of every list.
    void purgeDeleted();

    // The tag fields of a record become those of a tag read from its file: Title, Artist, Album
    // and Comment the whole 30-byte fields, Year the 4 bytes, Genre the genre name. File name,
    // duration and size stay.
    void replaceTagFields(TTrackRecord* record, const media::TTagRecord& tag);

    // A record of the base gets its measured duration.
    void setDuration(TTrackRecord* record, std::int32_t ms);
    // After fields of a record of the base were changed in place (a tag edit): its searchable
    // texts and the totals follow. Records not in the base are ignored.
    void recordChanged(const TTrackRecord* record);

    // The searchable texts of List2, in its order.
    const SearchColumns& columns();
    // Sum of the durations of the whole base (negative ones count 0), and how many records have
    // none measured.
    std::int64_t totalMs() const { return m_totalMs; }
    std::size_t unmeasuredCount() const { return m_unmeasured; }

    std::size_t size() const { return List2.size(); }

private:
    void count(std::int32_t ms, int sign);
    // Everything kept beside the lists, made again from List2.
    void rebuildDerived();

    std::vector<TTrackRecord*> m_deleted;  // sorted by address
    SearchColumns m_columns;
    std::unordered_map<const TTrackRecord*, std::size_t> m_position;  // index in List2
    std::vector<std::int32_t> m_counted;  // the duration each record counts in the total with
    std::int64_t m_totalMs = 0;
    std::size_t m_unmeasured = 0;
};

}  // namespace database
