#include "schedule_fixtures.h"

#include "pravik/schedule/showing.h"

using namespace pravik::schedule;

namespace {

// 2026-12-19 is a Saturday, 2026-12-21 a Monday, 2026-12-25 a Friday.
const char *const kShop =
    "default  *                 lobby/normal.lt\n"                               // 1
    "default  counter           counter/prices.lt\n"                             // 2
    "window   *                 mon-fri     07:00-09:00 file lobby/morning.lt\n" // 3
    "window   entrance,counter  sat,sun     10:00-16:00 range 0 2\n"             // 4
    "window   *      2026-12-24..2026-12-26 all-day     file seasonal/xmas.lt\n" // 5
    "window   kiosk             daily       22:00-06:00 range 3 1\n"             // 6
    "window   stockroom         fri-mon,wed 12:00-13:00 file lunch.lt\n"         // 7
    "window   stockroom         mon-fri     22:00-06:00 file night.lt\n"         // 8
    "window   counter           2026-12-25  08:00-09:00 range 1 1\n";            // 9

struct Case
{
    const char *board;
    const char *local;
    const char *showing;
    int line;
};

void expectShowings(const char *text, const QTimeZone &zone, const std::vector<Case> &cases)
{
    const Schedule schedule = scheduleOf(QString::fromUtf8(text));
    for (const Case &c : cases) {
        const QDateTime at = utc(c.local);
        const Showing showing = showingAt(schedule, QString::fromUtf8(c.board), zone, at);
        EXPECT_EQ(describe(showing), QString::fromUtf8(c.showing)) << c.board << " at " << c.local;
        EXPECT_EQ(showing.line, c.line) << c.board << " at " << c.local;
    }
}

} // namespace

TEST(ShowingAt, TheLastWindowInForceWinsOverTheDefault)
{
    expectShowings(kShop, QTimeZone::utc(),
                   {
                       // Defaults: the board's own line beats * because it comes later.
                       {"entrance", "2026-12-21 06:59", "lobby/normal.lt", 1},
                       {"counter", "2026-12-21 06:59", "counter/prices.lt", 2},
                       // A window from its start up to, not including, its end.
                       {"entrance", "2026-12-21 07:00", "lobby/morning.lt", 3},
                       {"entrance", "2026-12-21 08:59", "lobby/morning.lt", 3},
                       {"entrance", "2026-12-21 09:00", "lobby/normal.lt", 1},
                       {"entrance", "2026-12-19 07:30", "lobby/normal.lt", 1},
                       // A range of the default, the board's own or that of *.
                       {"counter", "2026-12-19 10:00", "counter/prices.lt, screens 0-1", 4},
                       {"entrance", "2026-12-20 15:59", "lobby/normal.lt, screens 0-1", 4},
                       {"kiosk", "2026-12-19 15:00", "lobby/normal.lt", 1},
                       // Dates, both ends included; the later window beats mon-fri.
                       {"entrance", "2026-12-23 23:59", "lobby/normal.lt", 1},
                       {"entrance", "2026-12-24 00:00", "seasonal/xmas.lt", 5},
                       {"entrance", "2026-12-24 08:00", "seasonal/xmas.lt", 5},
                       {"entrance", "2026-12-26 23:59", "seasonal/xmas.lt", 5},
                       {"entrance", "2026-12-27 00:00", "lobby/normal.lt", 1},
                       // A range of the file window beneath it, the last one in force.
                       {"counter", "2026-12-25 08:00", "seasonal/xmas.lt, screen 1", 9},
                       {"counter", "2026-12-25 09:00", "seasonal/xmas.lt", 5},
                       // Over midnight, kept by the day the window begins on.
                       {"kiosk", "2026-12-21 05:59", "lobby/normal.lt, screen 3", 6},
                       {"kiosk", "2026-12-21 06:00", "lobby/normal.lt", 1},
                       {"kiosk", "2026-12-21 07:30", "lobby/morning.lt", 3},
                       {"kiosk", "2026-12-21 22:00", "lobby/normal.lt, screen 3", 6},
                       {"stockroom", "2026-12-21 02:00", "lobby/normal.lt", 1},
                       {"stockroom", "2026-12-19 02:00", "night.lt", 8},
                       {"stockroom", "2026-12-19 22:00", "lobby/normal.lt", 1},
                       {"stockroom", "2026-12-21 23:00", "night.lt", 8},
                       {"stockroom", "2026-12-22 05:59", "night.lt", 8},
                       // A wrapping weekday range and a list.
                       {"stockroom", "2026-12-20 12:30", "lunch.lt", 7},
                       {"stockroom", "2026-12-21 12:59", "lunch.lt", 7},
                       {"stockroom", "2026-12-22 12:30", "lobby/normal.lt", 1},
                       {"stockroom", "2026-12-23 12:00", "lunch.lt", 7},
                       {"stockroom", "2026-12-17 12:30", "lobby/normal.lt", 1},
                       {"stockroom", "2026-12-18 12:30", "lunch.lt", 7},
                   });
}

TEST(ShowingAt, WithoutADefaultABoardIsLeftAlone)
{
    expectShowings("default counter a.lt\n"
                   "default * b.lt\n"
                   "window kiosk daily 12:00-13:00 range 0 1\n"
                   "window kiosk,counter sat 08:00-09:00 file c.lt\n"
                   "window counter sat 08:30-08:45 range 2 3\n",
                   QTimeZone::utc(),
                   {
                       {"counter", "2026-12-21 12:00", "b.lt", 2},
                       {"kiosk", "2026-12-21 11:59", "b.lt", 2},
                       {"counter", "2026-12-19 08:30", "c.lt, screens 2-4", 5},
                   });
    expectShowings("window kiosk daily 12:00-13:00 range 0 1\n"
                   "window kiosk sat 08:00-09:00 file c.lt\n",
                   QTimeZone::utc(),
                   {
                       {"kiosk", "2026-12-21 11:00", "nothing", 0},
                       {"kiosk", "2026-12-21 12:00", "screen 0 of the file on the board", 1},
                       {"kiosk", "2026-12-19 08:00", "c.lt", 2},
                       {"counter", "2026-12-19 08:00", "nothing", 0},
                   });
}

TEST(ShowingAt, WindowsFollowTheWallClockThroughClockChanges)
{
    const char *const changes = "default * normal.lt\n"
                                "window * 2026-10-24 22:00-06:00 file night.lt\n"
                                "window * 2026-03-29,2026-09-27 02:30-03:30 file spring.lt\n"
                                "window * 2026-10-25,2026-04-05 02:15-02:45 file autumn.lt\n";
    // Berlin goes forward at 01:00 UTC on 2026-03-29 and back at 01:00 UTC on 2026-10-25.
    expectShowings(changes, zoneNamed("Europe/Berlin"),
                   {
                       {"a", "2026-03-29 00:59", "normal.lt", 1},
                       {"a", "2026-03-29 01:00", "spring.lt", 3},
                       {"a", "2026-03-29 01:29", "spring.lt", 3},
                       {"a", "2026-03-29 01:30", "normal.lt", 1},
                       {"a", "2026-10-24 19:59", "normal.lt", 1},
                       {"a", "2026-10-24 20:00", "night.lt", 2},
                       {"a", "2026-10-25 00:14", "night.lt", 2},
                       {"a", "2026-10-25 00:15", "autumn.lt", 4},
                       {"a", "2026-10-25 00:44", "autumn.lt", 4},
                       {"a", "2026-10-25 00:45", "night.lt", 2},
                       {"a", "2026-10-25 01:15", "autumn.lt", 4},
                       {"a", "2026-10-25 01:44", "autumn.lt", 4},
                       {"a", "2026-10-25 01:45", "night.lt", 2},
                       {"a", "2026-10-25 04:59", "night.lt", 2},
                       {"a", "2026-10-25 05:00", "normal.lt", 1},
                   });
    // Auckland goes back at 14:00 UTC on 2026-04-04 and forward at 14:00 UTC on 2026-09-26.
    expectShowings(changes, zoneNamed("Pacific/Auckland"),
                   {
                       {"a", "2026-04-04 13:14", "normal.lt", 1},
                       {"a", "2026-04-04 13:15", "autumn.lt", 4},
                       {"a", "2026-04-04 13:45", "normal.lt", 1},
                       {"a", "2026-04-04 14:14", "normal.lt", 1},
                       {"a", "2026-04-04 14:15", "autumn.lt", 4},
                       {"a", "2026-04-04 14:44", "autumn.lt", 4},
                       {"a", "2026-04-04 14:45", "normal.lt", 1},
                       {"a", "2026-09-26 13:59", "normal.lt", 1},
                       {"a", "2026-09-26 14:00", "spring.lt", 3},
                       {"a", "2026-09-26 14:29", "spring.lt", 3},
                       {"a", "2026-09-26 14:30", "normal.lt", 1},
                   });
}
