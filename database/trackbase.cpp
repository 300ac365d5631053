// The three lists of the track base and the ownership of its records.
#include "database/trackbase.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace database {

TrackBase::~TrackBase() { ClearList(); }

void TrackBase::ClearList()
{
    for (TTrackRecord* r : List2)
        delete r;
    List2.clear();
    List.clear();
    m_deleted.clear();
    m_columns.clear();
    m_position.clear();
    m_counted.clear();
    m_totalMs = 0;
    m_unmeasured = 0;
}

TTrackRecord* TrackBase::append(std::unique_ptr<TTrackRecord> record)
{
    TTrackRecord* r = record.get();
    List2.push_back(r);
    record.release();
    try {
        List.push_back(r);
    } catch (...) {
        List2.pop_back();
        delete r;
        throw;
    }
    try {
        m_position[r] = List2.size() - 1;
        m_counted.push_back(r->Duration);
        count(r->Duration, +1);
        m_columns.append(*r);
    } catch (...) {
        // Out of memory half way: the record stays, and what is kept beside it is made again
        // (the columns when they are next read, should even that fail now).
        try {
            rebuildDerived();
        } catch (...) {
            m_columns.invalidate();
        }
    }
    return r;
}

void TrackBase::assign(std::vector<std::unique_ptr<TTrackRecord>> records)
{
    ClearList();
    List2.reserve(records.size());
    for (auto& r : records)
        List2.push_back(r.release());
    List = List2;
    rebuildDerived();
}

void TrackBase::adoptShownOrder()
{
    // Only valid when List holds the whole base; otherwise records would be lost from List2.
    if (List.size() == List2.size()) {
        List2 = List;
        rebuildDerived();
    }
}

void TrackBase::setDuration(TTrackRecord* record, std::int32_t ms)
{
    record->Duration = ms;
    recordChanged(record);
}

void TrackBase::recordChanged(const TTrackRecord* record)
{
    const auto it = m_position.find(record);
    if (it == m_position.end())
        return;
    const std::size_t i = it->second;
    count(m_counted[i], -1);
    m_counted[i] = record->Duration;
    count(record->Duration, +1);
    m_columns.update(i, *record);
}

const SearchColumns& TrackBase::columns()
{
    m_columns.refresh(List2);
    return m_columns;
}

void TrackBase::count(std::int32_t ms, int sign)
{
    m_totalMs += sign * static_cast<std::int64_t>(std::max<std::int32_t>(ms, 0));
    if (ms == 0)
        m_unmeasured = static_cast<std::size_t>(static_cast<std::int64_t>(m_unmeasured) + sign);
}

void TrackBase::rebuildDerived()
{
    m_position.clear();
    m_position.reserve(List2.size());
    m_counted.clear();
    m_counted.reserve(List2.size());
    m_totalMs = 0;
    m_unmeasured = 0;
    for (std::size_t i = 0; i < List2.size(); ++i) {
        m_position.emplace(List2[i], i);
        m_counted.push_back(List2[i]->Duration);
        count(List2[i]->Duration, +1);
    }
    m_columns.rebuild(List2);
}

void TrackBase::markDeleted(TTrackRecord* record)
{
    auto it = std::lower_bound(m_deleted.begin(), m_deleted.end(), record);
    if (it == m_deleted.end() || *it != record)
        m_deleted.insert(it, record);
}

void TrackBase::markDeleted(std::span<TTrackRecord* const> records)
{
    m_deleted.insert(m_deleted.end(), records.begin(), records.end());
    std::sort(m_deleted.begin(), m_deleted.end());
    m_deleted.erase(std::unique(m_deleted.begin(), m_deleted.end()), m_deleted.end());
}

bool TrackBase::isDeleted(const TTrackRecord* record) const
{
    return std::binary_search(m_deleted.begin(), m_deleted.end(), record);
}

void TrackBase::purgeDeleted()
{
    if (m_deleted.empty())
        return;
    std::unordered_set<const TTrackRecord*> gone(m_deleted.begin(), m_deleted.end());
    auto isGone = [&](const TTrackRecord* r) { return gone.count(r) != 0; };
    std::erase_if(List, isGone);
    std::erase_if(List2, isGone);
    if (!Indexes.empty()) {
        // Keep Indexes parallel to a search result that lost rows.
        std::unordered_map<const TTrackRecord*, int> pos;
        for (std::size_t i = 0; i < List2.size(); ++i)
            pos.emplace(List2[i], static_cast<int>(i));
        Indexes.clear();
        for (TTrackRecord* r : List)
            Indexes.push_back(pos[r]);
    }
    for (TTrackRecord* r : m_deleted)
        delete r;
    m_deleted.clear();
    rebuildDerived();
}

void TrackBase::replaceTagFields(TTrackRecord* record, const media::TTagRecord& tag)
{
    auto whole = [](auto& field, const char* bytes, std::size_t n) {
        field.length = static_cast<std::uint8_t>(n);
        std::memcpy(field.chars, bytes, n);
    };
    whole(record->Title, tag.Title, sizeof tag.Title);
    whole(record->Artist, tag.Artist, sizeof tag.Artist);
    whole(record->Album, tag.Album, sizeof tag.Album);
    whole(record->Year, tag.Year, sizeof tag.Year);
    whole(record->Comment, tag.Comment, sizeof tag.Comment);
    record->Genre.assign(std::string_view(tag.Genre.chars, std::min<std::size_t>(tag.Genre.length, 30)));
    recordChanged(record);
}

}  // namespace database
