// The schedule's entries and when each falls due, without a window or a timer: the window's
// 50 ms timer hands in the clock and gets back the entry to fire and how many went stale.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>
#include <vector>

namespace player {

struct ScheduleEntry {
    QDate date;    // counts only while the schedule uses dates
    QTime time;    // to the second
    QString path;  // a media file or an ".m3u" playlist

    friend bool operator==(const ScheduleEntry&, const ScheduleEntry&) = default;
};

class Schedule {
public:
    // An entry whose time passed longer ago than this without firing is dropped.
    static constexpr std::int64_t kStaleMs = 5184;

    // Replaces the entries. With useDate an entry falls due at its date and time; without, at the
    // first time of day equal to its own from `now` on (an entry earlier in the day than now is
    // due tomorrow, never dropped at once).
    void setEntries(std::vector<ScheduleEntry> entries, bool useDate, const QDateTime& now);
    void clear();
    bool useDate() const { return m_useDate; }
    const std::vector<ScheduleEntry>& entries() const { return m_entries; }
    // When each entry falls due, in entry order.
    const std::vector<QDateTime>& times() const { return m_due; }
    int count() const { return static_cast<int>(m_entries.size()); }

    struct Tick {
        std::optional<ScheduleEntry> fired;  // removed from the schedule
        int dropped = 0;                     // stale entries removed
    };
    // At most one entry fires per tick: the first whose time has come and is less than kStaleMs
    // old; then every entry older than that is dropped. A stall shorter than kStaleMs loses
    // nothing.
    Tick tick(const QDateTime& now);

    static QDateTime dueTime(const ScheduleEntry& entry, bool useDate, const QDateTime& armedAt);

private:
    std::vector<ScheduleEntry> m_entries;
    std::vector<QDateTime> m_due;
    bool m_useDate = false;
};

}  // namespace player
