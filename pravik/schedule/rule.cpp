#include "schedule.h"

namespace pravik::schedule {

bool DaySet::contains(qint64 julianDay) const
{
    if (weekdays & (1u << (QDate::fromJulianDay(julianDay).dayOfWeek() - 1)))
        return true;
    for (const DateSpan &span : dates) {
        if (julianDay >= span.first.toJulianDay() && julianDay <= span.last.toJulianDay())
            return true;
    }
    return false;
}

bool Rule::appliesTo(const QString &board) const
{
    return boards.isEmpty() || boards.contains(board);
}

bool Rule::inForce(LocalMinute at) const
{
    if (kind != RuleKind::Window)
        return false;
    if (!crossesMidnight())
        return days.contains(at.day) && at.minute >= startMinute && at.minute < endMinute;
    // A window over midnight belongs to the day it begins on: "fri 22:00-06:00"
    // holds early on Saturday, "mon-fri 22:00-06:00" not early on Monday.
    return (days.contains(at.day) && at.minute >= startMinute) ||
           (days.contains(at.day - 1) && at.minute < endMinute);
}

} // namespace pravik::schedule
