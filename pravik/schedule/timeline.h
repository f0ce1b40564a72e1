#pragma once

#include "schedule.h"

#include <QDateTime>
#include <QTimeZone>
#include <chrono>

namespace pravik::schedule {

// What a board shows from `from` until `until`.
struct Segment
{
    QDateTime from;
    QDateTime until;
    Showing showing;
};

// What the board shows from `from` until `until`, as the longest stretches
// of equal showings, in order; nothing when `until` is not after `from`.
// Instants are given in the zone.
QList<Segment> timeline(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                        const QDateTime &from, const QDateTime &until);

// The first instant after `instant`, up to `horizon` ahead, at which the
// board's showing changes; an invalid date-time if it does not.
QDateTime nextChange(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                     const QDateTime &instant, std::chrono::minutes horizon = std::chrono::days(8));

// The first instant at or after `after` at which the boards' clocks are set:
// on each local date, the first instant whose local time is at or past the
// clock time (past a gap when the clocks go forward over it; once only when
// they go back over it).
QDateTime nextClockTime(const Schedule &schedule, const QTimeZone &zone, const QDateTime &after);

} // namespace pravik::schedule
