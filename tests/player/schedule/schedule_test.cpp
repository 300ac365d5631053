// When schedule entries fire, stay and go stale, on a clock the test moves: around the entry's
// time, after a stall of the timer, across midnight, with and without dates.
#include "player/schedule/schedule.h"

#include <gtest/gtest.h>

using player::Schedule;
using player::ScheduleEntry;

namespace {

const QDate kDay(2024, 5, 10);

QDateTime at(const QDate& day, int h, int m, int s, int ms = 0)
{
    return QDateTime(day, QTime(h, m, s, ms));
}

ScheduleEntry entry(const QDate& date, int h, int m, int s, const char* path = "/news.mp3")
{
    return ScheduleEntry{date, QTime(h, m, s), QString::fromLatin1(path)};
}

// Ticks every stepMs from `from` to `to`; the times at which something fired.
std::vector<QDateTime> run(Schedule& schedule, QDateTime from, const QDateTime& to, int stepMs = 50)
{
    std::vector<QDateTime> fired;
    for (; from <= to; from = from.addMSecs(stepMs)) {
        if (schedule.tick(from).fired)
            fired.push_back(from);
    }
    return fired;
}

TEST(ScheduleTimes, AnEntryFiresOnceWhenItsTimeComes)
{
    for (bool useDate : {true, false}) {
        Schedule s;
        s.setEntries({entry(kDay, 8, 0, 0)}, useDate, at(kDay, 7, 59, 0));
        ASSERT_EQ(s.times().size(), 1u);
        EXPECT_EQ(s.times()[0], at(kDay, 8, 0, 0));
        EXPECT_FALSE(s.tick(at(kDay, 7, 59, 59, 990)).fired) << "fired early";
        EXPECT_EQ(s.count(), 1);
        const Schedule::Tick t = s.tick(at(kDay, 8, 0, 0, 20));
        ASSERT_TRUE(t.fired);
        EXPECT_EQ(t.fired->path, "/news.mp3");
        EXPECT_EQ(s.count(), 0);
        EXPECT_TRUE(s.times().empty());
        EXPECT_FALSE(s.tick(at(kDay, 8, 0, 0, 70)).fired);
    }
}

TEST(ScheduleTimes, AStalledTimerStillFiresTheEntry)
{
    Schedule s;
    s.setEntries({entry(kDay, 8, 0, 0)}, true, at(kDay, 7, 0, 0));
    // The last tick before the entry, then 300 ms with none: the next tick is well past it.
    EXPECT_FALSE(s.tick(at(kDay, 7, 59, 59, 900)).fired);
    const Schedule::Tick late = s.tick(at(kDay, 8, 0, 0, 200));
    ASSERT_TRUE(late.fired) << "a 300 ms stall lost the entry";
    EXPECT_EQ(late.dropped, 0);
    // Even five seconds late it goes on air; only later than that is it stale.
    s.setEntries({entry(kDay, 8, 0, 0)}, true, at(kDay, 7, 0, 0));
    EXPECT_TRUE(s.tick(at(kDay, 8, 0, 5, 100)).fired);
    s.setEntries({entry(kDay, 8, 0, 0)}, true, at(kDay, 7, 0, 0));
    const Schedule::Tick stale = s.tick(at(kDay, 8, 0, 5, 184));
    EXPECT_FALSE(stale.fired);
    EXPECT_EQ(stale.dropped, 1);
    EXPECT_EQ(s.count(), 0);
}

TEST(ScheduleTimes, DatedEntriesInThePastGoStaleAndFutureOnesWait)
{
    Schedule s;
    s.setEntries({entry(kDay.addDays(-1), 8, 0, 0, "/old.mp3"), entry(kDay.addDays(1), 8, 0, 0, "/later.mp3"),
                  entry(kDay, 12, 0, 0, "/noon.mp3")},
                 true, at(kDay, 9, 0, 0));
    const Schedule::Tick t = s.tick(at(kDay, 9, 0, 0));
    EXPECT_FALSE(t.fired);
    EXPECT_EQ(t.dropped, 1);
    ASSERT_EQ(s.count(), 2);
    EXPECT_EQ(s.entries()[0].path, "/later.mp3");
    EXPECT_EQ(s.entries()[1].path, "/noon.mp3");
    EXPECT_EQ(run(s, at(kDay, 11, 59, 59), at(kDay, 12, 0, 1)).size(), 1u);
    EXPECT_EQ(s.count(), 1);
}

TEST(ScheduleTimes, WithoutDatesAnEarlierTimeOfDayMeansTomorrow)
{
    Schedule s;
    // Entered in the evening: 06:00 is tomorrow morning's, not a stale one.
    s.setEntries({entry(kDay.addDays(-30), 6, 0, 0)}, false, at(kDay, 21, 0, 0));
    EXPECT_EQ(s.times()[0], at(kDay.addDays(1), 6, 0, 0));
    const Schedule::Tick evening = s.tick(at(kDay, 21, 0, 0, 50));
    EXPECT_FALSE(evening.fired);
    EXPECT_EQ(evening.dropped, 0);
    EXPECT_EQ(s.count(), 1);
    EXPECT_TRUE(s.tick(at(kDay.addDays(1), 6, 0, 0, 10)).fired);
    // The entry's own second counts as now: an entry added for the present time fires at once.
    s.setEntries({entry(kDay, 21, 0, 0)}, false, at(kDay, 21, 0, 0, 400));
    EXPECT_TRUE(s.tick(at(kDay, 21, 0, 0, 450)).fired);
}

TEST(ScheduleTimes, AcrossMidnight)
{
    // Time only: 00:00:02 entered at 23:00 fires two seconds after midnight.
    Schedule s;
    s.setEntries({entry(kDay, 0, 0, 2)}, false, at(kDay, 23, 0, 0));
    EXPECT_FALSE(s.tick(at(kDay, 23, 59, 59)).fired);
    EXPECT_EQ(s.count(), 1) << "dropped before midnight";
    const std::vector<QDateTime> fired = run(s, at(kDay, 23, 59, 59), at(kDay.addDays(1), 0, 0, 10));
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].date(), kDay.addDays(1));
    EXPECT_EQ(fired[0].time(), QTime(0, 0, 2));
    // Dated: an entry just before midnight, reached by a stalled tick after it.
    s.setEntries({entry(kDay, 23, 59, 59)}, true, at(kDay, 23, 0, 0));
    EXPECT_TRUE(s.tick(at(kDay.addDays(1), 0, 0, 0, 250)).fired);
    // An entry for just after midnight on a dated schedule waits for its own day.
    s.setEntries({entry(kDay.addDays(1), 0, 0, 1)}, true, at(kDay, 23, 59, 58));
    EXPECT_FALSE(s.tick(at(kDay, 23, 59, 59, 950)).fired);
    EXPECT_TRUE(s.tick(at(kDay.addDays(1), 0, 0, 1)).fired);
}

TEST(ScheduleTimes, OneEntryPerTickAndTheSecondKeepsItsTurn)
{
    Schedule s;
    s.setEntries({entry(kDay, 8, 0, 0, "/a.mp3"), entry(kDay, 8, 0, 0, "/b.mp3")}, true, at(kDay, 7, 0, 0));
    const Schedule::Tick first = s.tick(at(kDay, 8, 0, 0));
    ASSERT_TRUE(first.fired);
    EXPECT_EQ(first.fired->path, "/a.mp3");
    EXPECT_EQ(s.count(), 1);
    // The next tick, even after a stall, still fires the second entry.
    const Schedule::Tick second = s.tick(at(kDay, 8, 0, 0, 400));
    ASSERT_TRUE(second.fired);
    EXPECT_EQ(second.fired->path, "/b.mp3");
}

TEST(ScheduleTimes, AnEntryWithoutAReadableDateOrTimeGoesStale)
{
    Schedule s;
    s.setEntries({ScheduleEntry{QDate(), QTime(8, 0, 0), "/a.mp3"}}, true, at(kDay, 7, 0, 0));
    const Schedule::Tick t = s.tick(at(kDay, 8, 0, 0));
    EXPECT_FALSE(t.fired);
    EXPECT_EQ(t.dropped, 1);
}

}  // namespace
