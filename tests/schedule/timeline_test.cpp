#include "schedule_fixtures.h"

#include "pravik/schedule/timeline.h"

using namespace pravik::schedule;

namespace {

// 2026-12-21 is a Monday, 2026-10-24 and 2026-03-28 Saturdays before clock changes.
const char *const kDay = "default * lobby/normal.lt\n"
                         "window * mon-fri 07:00-09:00 file lobby/morning.lt\n"
                         "window * mon 09:00-10:00 file lobby/morning.lt\n"
                         "window kiosk daily 22:00-06:00 range 3 1\n"
                         "window * sat 22:00-06:00 file night.lt\n";

// "12-21 07:00 12-21 10:00 lobby/morning.lt", in UTC.
QStringList textOf(const QList<Segment> &segments)
{
    const QString format = QStringLiteral("MM-dd HH:mm");
    QStringList texts;
    for (const Segment &segment : segments)
        texts << QStringLiteral("%1 %2 %3")
                     .arg(segment.from.toUTC().toString(format),
                          segment.until.toUTC().toString(format), describe(segment.showing));
    return texts;
}

} // namespace

TEST(Timeline, ADayInTheLongestStretchesOfOneShowing)
{
    const Schedule schedule = scheduleOf(kDay);
    const QList<Segment> kiosk = timeline(schedule, QStringLiteral("kiosk"), QTimeZone::utc(),
                                          utc("2026-12-21 00:00"), utc("2026-12-22 00:00"));
    EXPECT_EQ(textOf(kiosk), (QStringList{
                                 "12-21 00:00 12-21 06:00 lobby/normal.lt, screen 3",
                                 "12-21 06:00 12-21 07:00 lobby/normal.lt",
                                 "12-21 07:00 12-21 10:00 lobby/morning.lt",
                                 "12-21 10:00 12-21 22:00 lobby/normal.lt",
                                 "12-21 22:00 12-22 00:00 lobby/normal.lt, screen 3",
                             }));
    EXPECT_EQ(kiosk.value(2).showing.line, 2);

    const QDateTime from = utc("2026-12-21 06:59").addSecs(30);
    const QList<Segment> across =
        timeline(schedule, QStringLiteral("kiosk"), QTimeZone::utc(), from, from.addSecs(60));
    ASSERT_EQ(across.size(), 2);
    EXPECT_EQ(across[0].from, from);
    EXPECT_EQ(across[0].until, utc("2026-12-21 07:00"));
    EXPECT_EQ(across[1].until, from.addSecs(60));
    EXPECT_TRUE(
        timeline(schedule, QStringLiteral("kiosk"), QTimeZone::utc(), from, from).isEmpty());
}

TEST(Timeline, ANightIsAnHourLongerOrShorterWhenTheClocksChange)
{
    const Schedule schedule = scheduleOf(kDay);
    const QTimeZone berlin = zoneNamed("Europe/Berlin");
    const QList<Segment> autumn = timeline(schedule, QStringLiteral("entrance"), berlin,
                                           utc("2026-10-24 12:00"), utc("2026-10-25 12:00"));
    EXPECT_EQ(textOf(autumn), (QStringList{
                                  "10-24 12:00 10-24 20:00 lobby/normal.lt",
                                  "10-24 20:00 10-25 05:00 night.lt",
                                  "10-25 05:00 10-25 12:00 lobby/normal.lt",
                              }));
    EXPECT_EQ(autumn.value(0).from.timeZone(), berlin);
    EXPECT_EQ(textOf(timeline(schedule, QStringLiteral("entrance"), berlin, utc("2026-03-28 12:00"),
                              utc("2026-03-29 12:00"))),
              (QStringList{
                  "03-28 12:00 03-28 21:00 lobby/normal.lt",
                  "03-28 21:00 03-29 04:00 night.lt",
                  "03-29 04:00 03-29 12:00 lobby/normal.lt",
              }));
}

TEST(NextChange, FindsTheNextDifferentShowingWithinTheHorizon)
{
    const Schedule day = scheduleOf(kDay);
    const Schedule quiet = scheduleOf("default * a.lt\nwindow * 2026-12-30 all-day file b.lt\n");
    const auto entrance = QStringLiteral("entrance");
    const QTimeZone zone = QTimeZone::utc();
    const struct
    {
        const Schedule &schedule;
        QTimeZone zone;
        QDateTime at;
        std::chrono::minutes horizon;
        QDateTime change;
    } cases[] = {
        {day, zone, utc("2026-12-21 08:00"), std::chrono::days(8), utc("2026-12-21 10:00")},
        {day, zone, utc("2026-12-21 07:00"), std::chrono::days(8), utc("2026-12-21 10:00")},
        {day, zone, utc("2026-12-21 06:59").addSecs(30), std::chrono::days(8),
         utc("2026-12-21 07:00")},
        {day, zoneNamed("Europe/Berlin"), utc("2026-10-24 12:00"), std::chrono::days(8),
         utc("2026-10-24 20:00")},
        {quiet, zone, utc("2026-12-22 00:00"), std::chrono::days(8), utc("2026-12-30 00:00")},
        {quiet, zone, utc("2026-12-22 00:00"), std::chrono::days(8) - std::chrono::minutes(1),
         QDateTime()},
        {quiet, zone, utc("2026-12-31 00:00"), std::chrono::days(365), QDateTime()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nextChange(c.schedule, entrance, c.zone, c.at, c.horizon), c.change)
            << c.at.toString(Qt::ISODate).toStdString();
}

TEST(NextClockTime, OncePerDateAtTheFirstInstantPastTheClockTime)
{
    const struct
    {
        const char *zone;
        const char *clock;
        QDateTime after;
        QDateTime set;
    } cases[] = {
        {"UTC", "", utc("2026-12-21 03:59"), utc("2026-12-21 04:00")},
        {"UTC", "", utc("2026-12-21 04:00"), utc("2026-12-21 04:00")},
        {"UTC", "", utc("2026-12-21 04:00").addSecs(1), utc("2026-12-22 04:00")},
        // Forward over the clock time: the first instant after the gap.
        {"Europe/Berlin", "02:30", utc("2026-03-28 12:00"), utc("2026-03-29 01:00")},
        {"Europe/Berlin", "02:30", utc("2026-03-29 01:01"), utc("2026-03-30 00:30")},
        {"Pacific/Auckland", "02:30", utc("2026-09-26 00:00"), utc("2026-09-26 14:00")},
        // Back over the clock time: the first pass only.
        {"Europe/Berlin", "02:30", utc("2026-10-24 12:00"), utc("2026-10-25 00:30")},
        {"Europe/Berlin", "02:30", utc("2026-10-25 00:31"), utc("2026-10-26 01:30")},
        {"Europe/Berlin", "02:00", utc("2026-10-25 00:01"), utc("2026-10-26 01:00")},
        {"Europe/Berlin", "03:00", utc("2026-10-24 12:00"), utc("2026-10-25 02:00")},
        {"Pacific/Auckland", "02:30", utc("2026-04-04 13:31"), utc("2026-04-05 14:30")},
    };
    for (const auto &c : cases) {
        const QString clock = *c.clock ? QStringLiteral("clock %1\n").arg(c.clock) : QString();
        const Schedule schedule = scheduleOf(clock + QStringLiteral("default * a.lt"));
        EXPECT_EQ(nextClockTime(schedule, zoneNamed(c.zone), c.after), c.set)
            << c.zone << " " << c.clock << " after " << c.after.toString(Qt::ISODate).toStdString();
    }
}
