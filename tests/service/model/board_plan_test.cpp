#include "pravik/schedule/schedule_file.h"
#include "pravik/service/board_plan.h"

#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::service;

namespace {

const QTimeZone kBerlin("Europe/Berlin");

QDateTime berlin(const char *local)
{
    return QDateTime::fromString(QString::fromLatin1(local), Qt::ISODate).toTimeZone(kBerlin);
}

schedule::Schedule clockAt0400()
{
    return *schedule::parseSchedule(QStringLiteral("clock 04:00\n"));
}

} // namespace

// When the board's clock is set: never set, the day's time come since, a
// change of the zone's offset, or a board coming back from failing.
TEST(BoardPlan, TheClockIsSetWhenItCouldBeWrong)
{
    const schedule::Schedule schedule = clockAt0400();
    struct Case
    {
        const char *why;
        const char *clockSet; // empty: never
        int offsetThen;       // seconds east of UTC
        const char *now;
        Health health;
        bool due;
    };
    const Case cases[] = {
        {"never set", "", 0, "2026-12-07T10:00:00+01:00", Health::Unknown, true},
        {"set this morning", "2026-12-07T04:00:00+01:00", 3600, "2026-12-07T23:59:00+01:00",
         Health::Ok, false},
        {"the next day's time has come", "2026-12-07T04:00:00+01:00", 3600,
         "2026-12-08T04:00:00+01:00", Health::Ok, true},
        {"a minute before it", "2026-12-07T04:00:00+01:00", 3600, "2026-12-08T03:59:00+01:00",
         Health::Ok, false},
        {"summer time began", "2026-03-29T01:30:00+01:00", 3600, "2026-03-29T03:01:00+02:00",
         Health::Ok, true},
        {"summer time ended", "2026-10-25T01:00:00+02:00", 7200, "2026-10-25T02:10:00+01:00",
         Health::Ok, true},
        {"back from failing", "2026-12-07T04:00:00+01:00", 3600, "2026-12-07T12:00:00+01:00",
         Health::Failing, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        BoardState state;
        state.board = QStringLiteral("a");
        state.health = c.health;
        if (*c.clockSet)
            state.clockSet = berlin(c.clockSet);
        state.clockOffsetSeconds = c.offsetThen;
        const PlanInput input{berlin(c.now), kBerlin, schedule, {}, {}};
        EXPECT_EQ(planFor(state, input).setClock, c.due);
    }
}

// Content goes out only where it differs from what the board acknowledged.
TEST(BoardPlan, ContentGoesOutOnlyWhereItDiffers)
{
    const schedule::Schedule schedule = clockAt0400();
    const QDateTime now = berlin("2026-12-07T10:00:00+01:00");
    const schedule::DisplayRange firstTwo{0, 2};
    struct Case
    {
        const char *why;
        std::optional<Shown> shown;
        schedule::Showing desired;
        QByteArray stamp;
        bool due;
    };
    const Shown lobby{QStringLiteral("lobby.lt"), {}, "s1", now};
    const Shown lobbyRange{QStringLiteral("lobby.lt"), firstTwo, "s1", now};
    const Case cases[] = {
        {"nothing shown yet", {}, {QStringLiteral("lobby.lt"), {}, 0}, "s1", true},
        {"the same file and stamp", lobby, {QStringLiteral("lobby.lt"), {}, 0}, "s1", false},
        {"the file changed on disk", lobby, {QStringLiteral("lobby.lt"), {}, 0}, "s2", true},
        {"another file", lobby, {QStringLiteral("night.lt"), {}, 0}, "s1", true},
        {"a range of the same file", lobby, {QStringLiteral("lobby.lt"), firstTwo, 0}, "s1", true},
        {"the range shown", lobbyRange, {QStringLiteral("lobby.lt"), firstTwo, 0}, "s1", false},
        {"a range alone, shown", lobbyRange, {{}, firstTwo, 0}, {}, false},
        {"a range alone, not shown", lobby, {{}, firstTwo, 0}, {}, true},
        {"nothing scheduled", lobby, {}, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        BoardState state;
        state.board = QStringLiteral("a");
        state.health = Health::Ok;
        state.clockSet = now;
        state.clockOffsetSeconds = 3600;
        state.shown = c.shown;
        const BoardWork work =
            planFor(state, PlanInput{now, kBerlin, schedule, c.desired, c.stamp});
        EXPECT_EQ(work.sendContent, c.due);
        EXPECT_FALSE(work.setClock);
        if (c.due) {
            EXPECT_EQ(work.content, c.desired);
            EXPECT_EQ(work.stamp, c.stamp);
        }
    }
}

// A failing board waits for its retry: 15 s doubling to 10 min, offline
// after five failures in a row, ok again at the first success.
TEST(BoardPlan, AFailingBoardWaitsAndComesBack)
{
    const QDateTime now = berlin("2026-12-07T10:00:00+01:00");
    BoardState state;
    state.board = QStringLiteral("a");
    const common::Failure noEcho{4, QStringLiteral("超时"), QStringLiteral("请检查线路")};
    QList<qint64> pauses;
    QList<Health> health;
    for (int i = 0; i < 8; ++i) {
        noteFailure(state, noEcho, now);
        pauses << now.secsTo(state.nextRetry);
        health << state.health;
    }
    EXPECT_EQ(pauses, (QList<qint64>{15, 30, 60, 120, 240, 480, 600, 600}));
    EXPECT_EQ(health.mid(3, 2), (QList<Health>{Health::Failing, Health::Offline}));
    EXPECT_EQ(state.lastFailure->message, QStringLiteral("超时: 请检查线路"));
    EXPECT_EQ(state.lastFailure->code, 4);

    const schedule::Schedule schedule = clockAt0400();
    const schedule::Showing lobby{QStringLiteral("lobby.lt"), {}, 0};
    EXPECT_TRUE(
        planFor(state, PlanInput{now.addSecs(599), kBerlin, schedule, lobby, "s"}).isEmpty());
    const BoardWork retry =
        planFor(state, PlanInput{now.addSecs(600), kBerlin, schedule, lobby, "s"});
    EXPECT_TRUE(retry.setClock);
    EXPECT_TRUE(retry.sendContent);

    noteSuccess(state, now.addSecs(600));
    EXPECT_EQ(state.health, Health::Ok);
    EXPECT_EQ(state.failuresInARow, 0);
    EXPECT_FALSE(state.nextRetry.isValid());
    EXPECT_TRUE(state.lastFailure.has_value()); // the last failure stays on record
}
