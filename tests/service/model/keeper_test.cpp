// The keeper over boards that are stand-ins: what it hands out and when, by a
// clock the test moves.
#include "manual_clock.h"

#include "pravik/service/board_work.h"
#include "pravik/service/keeper.h"

#include "service_folder.h"

#include <QCoreApplication>
#include <QFile>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>

using namespace pravik;
using namespace pravik::service;

namespace {

QDateTime at(const char *time)
{
    return QDateTime::fromString(QString::fromLatin1(time), Qt::ISODate);
}

// Boards that do what they are told, or fail: every order is kept.
class StandInBoards
{
public:
    WorkDone operator()(const WorkOrder &order, fleet::FleetLink &, const jobs::StopToken &stop,
                        const WorkProgress &)
    {
        {
            std::unique_lock lock(m_mutex);
            m_released.wait(lock, [&] { return m_held != order.board.name; });
        }
        // As the real work does before its first frame.
        if (stop.stopRequested()) {
            WorkDone stopped;
            stopped.stopped = true;
            return stopped;
        }
        const std::lock_guard lock(m_mutex);
        QString line = order.board.name + QStringLiteral(":");
        if (order.work.setClock)
            line += QStringLiteral(" clock");
        if (order.work.sendContent)
            line += QStringLiteral(" ") +
                    (order.work.content.file.isEmpty() ? QStringLiteral("-")
                                                       : order.work.content.file) +
                    (order.work.content.range ? QStringLiteral("@%1+%2")
                                                    .arg(order.work.content.range->start)
                                                    .arg(order.work.content.range->count)
                                              : QString());
        m_orders << line;
        WorkDone done;
        if (m_failing.count(order.board.name) != 0) {
            done.failure = common::Failure{4, QStringLiteral("超时"), QStringLiteral("请检查线路")};
            return done;
        }
        done.clockSet = order.work.setClock;
        done.contentSent = order.work.sendContent;
        done.contacted = true;
        return done;
    }

    QStringList takeOrders()
    {
        const std::lock_guard lock(m_mutex);
        QStringList orders = std::exchange(m_orders, {});
        orders.sort();
        return orders;
    }
    // The board's next work waits until release().
    void hold(const QString &board)
    {
        const std::lock_guard lock(m_mutex);
        m_held = board;
    }
    void release()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_held.clear();
        }
        m_released.notify_all();
    }
    void fail(const QString &board, bool failing)
    {
        const std::lock_guard lock(m_mutex);
        if (failing)
            m_failing.insert(board);
        else
            m_failing.erase(board);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    QString m_held;
    QStringList m_orders;
    std::set<QString> m_failing;
};

class KeeperTest : public ::testing::Test
{
protected:
    KeeperTest()
    {
        QDir().mkpath(content());
        saveSmallPicture(QDir(content()).filePath(QStringLiteral("red.bmp")), qRgb(255, 0, 0));
        writeFileBytes(QDir(content()).filePath(QStringLiteral("lobby.lt")),
                       smallBoardFileNaming({QStringLiteral("red.bmp")}));
        writeFileBytes(path("fleet.txt"), "a udp:10.0.0.1:1973 1\n"
                                          "b udp:10.0.0.2:1973 1\n"
                                          "c udp:10.0.0.3:1973 1\n");
        writeSchedule("clock 04:00\n"
                      "default * lobby.lt\n"
                      "window a daily 10:00-11:00 range 0 1\n");
    }

    QString path(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }
    QString content() const { return path("content"); }
    void writeSchedule(const QByteArray &text) { writeFileBytes(path("schedule.txt"), text); }

    ServiceSetup setup() const { return serviceSetupIn(folder.path()); }

    std::unique_ptr<Keeper> start(const QDateTime &when)
    {
        clock = std::make_unique<ManualClock>(when);
        auto keeper = std::make_unique<Keeper>(
            setup(), *clock, [this](const QString &line) { log << line; },
            [this](const WorkOrder &order, fleet::FleetLink &link, const jobs::StopToken &stop,
                   const WorkProgress &progress) { return boards(order, link, stop, progress); });
        EXPECT_EQ(keeper->start(), std::nullopt);
        return keeper;
    }

    // The orders the boards were given by `step`, once the keeper has taken
    // in what came of them.
    QStringList ordersOf(
        Keeper &keeper, const std::function<void()> &step = [] {})
    {
        step();
        EXPECT_TRUE(until([&] { return keeper.idle(); }));
        return boards.takeOrders();
    }

    QTemporaryDir folder;
    StandInBoards boards;
    std::unique_ptr<ManualClock> clock;
    QStringList log;
};

} // namespace

// Every board is sent what it lacks once; a window's beginning changes only
// the board it names, a minute more changes nothing, and a content file
// changed on disk goes to every board that shows it.
TEST_F(KeeperTest, ActsOnlyWhereTheBoardsDifferFromTheSchedule)
{
    std::unique_ptr<Keeper> keeper = start(at("2026-12-07T09:59:00+01:00"));
    EXPECT_EQ(ordersOf(*keeper),
              (QStringList{"a: clock lobby.lt", "b: clock lobby.lt", "c: clock lobby.lt"}));
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-12-07T10:00:00+01:00")); }),
              QStringList{"a: lobby.lt@0+1"});
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-12-07T10:01:30+01:00")); }),
              QStringList());
    QImage dark(16, 8, QImage::Format_RGB32);
    dark.fill(Qt::black);
    dark.save(QDir(content()).filePath(QStringLiteral("red.bmp")));
    EXPECT_EQ(ordersOf(*keeper, [&] { keeper->contentChanged(); }),
              (QStringList{"a: lobby.lt@0+1", "b: lobby.lt", "c: lobby.lt"}));
    for (const BoardState &state : keeper->states()) {
        EXPECT_EQ(state.health, Health::Ok);
        ASSERT_TRUE(state.shown.has_value());
        EXPECT_EQ(state.shown->file, QStringLiteral("lobby.lt"));
    }

    // What the boards show survives a restart: nothing is sent again.
    keeper.reset();
    const std::unique_ptr<Keeper> again = start(at("2026-12-07T10:02:00+01:00"));
    EXPECT_EQ(ordersOf(*again), QStringList());
}

// A failing board is tried again after 15 s, then 30 s; when it answers again
// its clock is set first, then its content.
TEST_F(KeeperTest, AFailingBoardIsTriedAgainLaterAndGetsItsClockFirst)
{
    boards.fail(QStringLiteral("b"), true);
    const std::unique_ptr<Keeper> keeper = start(at("2026-12-07T08:00:00+01:00"));
    ordersOf(*keeper);
    EXPECT_EQ(keeper->states()[1].health, Health::Failing);
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveBy(14); }), QStringList());
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveBy(1); }), QStringList{"b: clock lobby.lt"});
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveBy(29); }), QStringList());
    boards.fail(QStringLiteral("b"), false);
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveBy(1); }), QStringList{"b: clock lobby.lt"});
    const BoardState b = keeper->states()[1];
    EXPECT_EQ(b.health, Health::Ok);
    EXPECT_EQ(b.failuresInARow, 0);
    EXPECT_EQ(b.lastFailure->message, QStringLiteral("超时: 请检查线路"));
    EXPECT_TRUE(log.join(u'\n').contains(QStringLiteral("b: answers again")));
}

// When summer time begins every board's clock is set again, content or not.
TEST_F(KeeperTest, AChangeOfTheZonesOffsetSetsEveryBoardsClock)
{
    const std::unique_ptr<Keeper> keeper = start(at("2026-03-29T01:58:00+01:00"));
    ordersOf(*keeper);
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-03-29T01:59:00+01:00")); }),
              QStringList());
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-03-29T03:00:00+02:00")); }),
              (QStringList{"a: clock", "b: clock", "c: clock"}));
}

// A reload with a broken schedule keeps the schedule in use and says why.
TEST_F(KeeperTest, AReloadOfABrokenScheduleKeepsTheOldOne)
{
    const std::unique_ptr<Keeper> keeper = start(at("2026-12-07T09:00:00+01:00"));
    ordersOf(*keeper);
    writeSchedule("default * night.lt\nwindow a someday 10:00-11:00 range 0 1\n");
    const common::Status refused = keeper->reload();
    ASSERT_TRUE(refused.has_value());
    EXPECT_TRUE(refused->text.contains(QStringLiteral("line 2: ")));
    EXPECT_TRUE(log.last().contains(QStringLiteral("line 2: ")));
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-12-07T10:00:00+01:00")); }),
              QStringList{"a: lobby.lt@0+1"});
}

// An operator's display file stands against the schedule until the schedule's
// next change for the board; a busy board refuses a second command, and a
// stop ends its job.
TEST_F(KeeperTest, AnOperatorsCommandsStandUntilTheScheduleChanges)
{
    QFile::copy(QDir(content()).filePath(QStringLiteral("lobby.lt")),
                QDir(content()).filePath(QStringLiteral("night.lt")));
    const std::unique_ptr<Keeper> keeper = start(at("2026-12-07T09:30:00+01:00"));
    ordersOf(*keeper);
    const auto send = [&](const char *board, const char *file) {
        return keeper->command(Command{
            Command::Kind::SendChanges, QString::fromLatin1(board), QString::fromLatin1(file), {}});
    };
    common::Expected<int> job = 0;
    EXPECT_EQ(ordersOf(*keeper, [&] { job = send("a", "night.lt"); }), QStringList{"a: night.lt"});
    ASSERT_TRUE(job);
    EXPECT_EQ(keeper->job(*job)->state, JobStatus::State::Done);
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-12-07T09:31:00+01:00")); }),
              QStringList());
    EXPECT_EQ(ordersOf(*keeper, [&] { clock->moveTo(at("2026-12-07T10:00:00+01:00")); }),
              QStringList{"a: lobby.lt@0+1"});

    const std::pair<common::Expected<int>, Refusal> refusals[] = {
        {send("z", "night.lt"), Refusal::UnknownBoard},
        {send("b", "../night.lt"), Refusal::BadRequest},
        {send("b", "missing.lt"), Refusal::UnknownFile},
        {keeper->command(Command{Command::Kind::SendRange, QStringLiteral("b"), {}, {238, 2}}),
         Refusal::BadRequest},
        {keeper->stopBoard(QStringLiteral("b")), Refusal::NothingToStop},
    };
    for (const auto &[refused, why] : refusals) {
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.failure().code, static_cast<int>(why))
            << refused.failure().text.toStdString();
    }

    boards.hold(QStringLiteral("b"));
    const common::Expected<int> clockJob =
        keeper->command(Command{Command::Kind::SetClock, QStringLiteral("b"), {}, {}});
    ASSERT_TRUE(clockJob);
    // Content changed while b is at work waits for b's turn.
    QImage dark(16, 8, QImage::Format_RGB32);
    dark.fill(Qt::black);
    dark.save(QDir(content()).filePath(QStringLiteral("red.bmp")));
    keeper->contentChanged();
    const common::Expected<int> second = send("b", "night.lt");
    ASSERT_FALSE(second);
    EXPECT_EQ(second.failure().code, static_cast<int>(Refusal::BoardBusy));
    EXPECT_EQ(keeper->stopBoard(QStringLiteral("b")).value(), *clockJob);
    boards.release();
    EXPECT_TRUE(until([&] { return keeper->idle(); }));
    EXPECT_EQ(keeper->job(*clockJob)->state, JobStatus::State::Stopped);
}
