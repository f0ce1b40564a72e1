#pragma once

#include "pravik/schedule/describe.h"
#include "pravik/schedule/schedule_file.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>
#include <ostream>

namespace pravik::schedule {

// A rule in failure messages: how --check shows it, with the days' bits.
inline void PrintTo(const Rule &rule, std::ostream *out)
{
    *out << describe(rule).toStdString() << " (weekdays 0x" << std::hex << int(rule.days.weekdays)
         << std::dec << ", " << rule.startMinute << "-" << rule.endMinute << ")";
}

} // namespace pravik::schedule

// The schedule of a text that must be right.
inline pravik::schedule::Schedule scheduleOf(const QString &text)
{
    const common::Expected<pravik::schedule::Schedule> schedule =
        pravik::schedule::parseSchedule(text);
    EXPECT_TRUE(schedule.ok()) << (schedule.ok() ? "" : schedule.failure().text.toStdString());
    return schedule.ok() ? *schedule : pravik::schedule::Schedule{};
}

// "2026-12-21 07:00" in UTC.
inline QDateTime utc(const char *text)
{
    const QString written = QString::fromLatin1(text);
    return QDateTime(QDate::fromString(written.left(10), Qt::ISODate),
                     QTime::fromString(written.mid(11), QStringLiteral("HH:mm")), Qt::UTC);
}

inline QTimeZone zoneNamed(const char *id)
{
    const QTimeZone zone(id);
    EXPECT_TRUE(zone.isValid()) << id << " is missing: the tzdata package holds the zones";
    return zone;
}
