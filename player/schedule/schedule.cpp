// When schedule entries fall due.
#include "player/schedule/schedule.h"

namespace player {

QDateTime Schedule::dueTime(const ScheduleEntry& entry, bool useDate, const QDateTime& armedAt)
{
    const QTime time(entry.time.hour(), entry.time.minute(), entry.time.second());
    if (useDate)
        return QDateTime(entry.date, time);
    // The entry's own second counts as now; anything earlier in the day is tomorrow's.
    const QTime nowSecond(armedAt.time().hour(), armedAt.time().minute(), armedAt.time().second());
    const QDate day = time < nowSecond ? armedAt.date().addDays(1) : armedAt.date();
    return QDateTime(day, time);
}

void Schedule::setEntries(std::vector<ScheduleEntry> entries, bool useDate, const QDateTime& now)
{
    m_useDate = useDate;
    m_entries = std::move(entries);
    m_due.clear();
    m_due.reserve(m_entries.size());
    for (const ScheduleEntry& e : m_entries)
        m_due.push_back(dueTime(e, useDate, now));
}

void Schedule::clear()
{
    m_entries.clear();
    m_due.clear();
}

Schedule::Tick Schedule::tick(const QDateTime& now)
{
    Tick result;
    // An entry whose date or time cannot be read is never due; it goes as stale.
    const auto age = [&now](const QDateTime& due) { return due.isValid() ? due.msecsTo(now) : kStaleMs; };
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::int64_t ms = age(m_due[i]);
        if (ms >= 0 && ms < kStaleMs) {
            result.fired = m_entries[i];
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
            m_due.erase(m_due.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    for (std::size_t i = m_entries.size(); i-- > 0;) {
        if (age(m_due[i]) >= kStaleMs) {
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
            m_due.erase(m_due.begin() + static_cast<std::ptrdiff_t>(i));
            ++result.dropped;
        }
    }
    return result;
}

}  // namespace player
