#include "timeline.h"

#include "local_clock.h"
#include "showing.h"

#include <limits>

namespace pravik::schedule {
namespace {

constexpr qint64 kDayMsecs = 24 * 60 * kMinuteMsecs;

qint64 minuteAtOrBefore(qint64 msecs)
{
    const qint64 rest = msecs % kMinuteMsecs;
    return msecs - (rest < 0 ? rest + kMinuteMsecs : rest);
}

QDateTime inZone(qint64 msecs, const QTimeZone &zone)
{
    return zone.isValid() ? QDateTime::fromMSecsSinceEpoch(msecs, zone)
                          : QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

} // namespace

// Rules are whole minutes and so are the zones' offsets: a showing can only
// change where a UTC minute begins, so those are the instants looked at.

QList<Segment> timeline(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                        const QDateTime &from, const QDateTime &until)
{
    QList<Segment> segments;
    if (!from.isValid() || !until.isValid() || until <= from)
        return segments;
    const QList<const Rule *> rules = rulesFor(schedule, board);
    LocalClock clock(zone);
    const qint64 end = until.toMSecsSinceEpoch();
    qint64 start = from.toMSecsSinceEpoch();
    Showing showing = showingAt(rules, clock.at(start));
    for (qint64 minute = minuteAtOrBefore(start) + kMinuteMsecs; minute < end;
         minute += kMinuteMsecs) {
        Showing next = showingAt(rules, clock.at(minute));
        if (next == showing)
            continue;
        segments << Segment{inZone(start, zone), inZone(minute, zone), showing};
        start = minute;
        showing = std::move(next);
    }
    segments << Segment{inZone(start, zone), inZone(end, zone), showing};
    return segments;
}

QDateTime nextChange(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                     const QDateTime &instant, std::chrono::minutes horizon)
{
    if (!instant.isValid())
        return QDateTime();
    const QList<const Rule *> rules = rulesFor(schedule, board);
    LocalClock clock(zone);
    const qint64 start = instant.toMSecsSinceEpoch();
    const Showing now = showingAt(rules, clock.at(start));
    const qint64 last = start + horizon.count() * kMinuteMsecs;
    for (qint64 minute = minuteAtOrBefore(start) + kMinuteMsecs; minute <= last;
         minute += kMinuteMsecs) {
        if (!(showingAt(rules, clock.at(minute)) == now))
            return inZone(minute, zone);
    }
    return QDateTime();
}

QDateTime nextClockTime(const Schedule &schedule, const QTimeZone &zone, const QDateTime &after)
{
    if (!after.isValid())
        return QDateTime();
    const int clockMinute = schedule.clockTime.hour() * 60 + schedule.clockTime.minute();
    const qint64 target = after.toMSecsSinceEpoch();
    LocalClock clock(zone);
    // A date's clock is set at its first minute at or past the clock time. The
    // walk starts two days back so that it sees the whole local date `after`
    // falls on: when the clocks go back, a date's second pass is not a first.
    qint64 lastSetDay = std::numeric_limits<qint64>::min();
    for (qint64 minute = minuteAtOrBefore(target) - 2 * kDayMsecs; minute <= target + 3 * kDayMsecs;
         minute += kMinuteMsecs) {
        const LocalMinute local = clock.at(minute);
        if (local.minute < clockMinute || local.day <= lastSetDay)
            continue;
        lastSetDay = local.day;
        if (minute >= target)
            return inZone(minute, zone);
    }
    return QDateTime();
}

} // namespace pravik::schedule
