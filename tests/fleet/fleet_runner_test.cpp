// The fleet's runner with its threads shown by latches, never by the clock:
// every link at once, boards of one link in turn, and no more links at a
// time than allowed.
#include "gate.h"

#include "pravik/fleet/fleet_runner.h"
#include "pravik/link/serial_link.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <mutex>

using namespace pravik::fleet;

namespace {

// A serial line that does nothing: the runner makes one for each link it serves.
class IdleLine : public pravik::link::SerialLink
{
public:
    pravik::link::LinkTraits traits() const override { return {true, 2}; }
    common::Status discardInput() override { return {}; }
    common::Status send(const QByteArray &) override { return {}; }
    common::Status waitForData(int, bool &dataWaiting) override
    {
        dataWaiting = false;
        return {};
    }
    common::Status readWaiting(QByteArray &) override { return {}; }
    bool isOpen() const override { return true; }
    void close() override {}
    common::Status configure(const QString &, double) override { return {}; }
    common::Status open() override { return {}; }
};

FleetRunner::LineMaker idleLines()
{
    return [] { return std::make_unique<IdleLine>(); };
}

// What the boards did, in the order they did it.
class Log
{
public:
    void add(const QString &event)
    {
        const std::lock_guard lock(m_mutex);
        m_events << event;
    }
    QStringList events()
    {
        const std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    QStringList m_events;
};

} // namespace

TEST(FleetRunner, EveryLinkAtOnceByDefault)
{
    constexpr int kLinks = 12;
    Gate started;
    bool allTogether = true;
    std::mutex mutex;
    {
        FleetRunner runner(0, idleLines());
        for (int i = 0; i < kLinks; ++i) {
            runner.submit(QStringLiteral("udp:10.0.0.%1:1973").arg(i), [&](FleetLink &) {
                started.add();
                // Each board waits for all the others: only links at work
                // together get past this.
                const bool met = started.waitFor(kLinks);
                const std::lock_guard lock(mutex);
                allTogether = allTogether && met;
            });
        }
        runner.waitUntilIdle();
    }
    EXPECT_TRUE(allTogether);
}

// Boards of one line take turns in the order given, while another line works
// at the same time, even when a board's work comes while the line is busy:
// the first board of line X waits until the second of X or the board of line
// Y is at work; with the line kept to one thread it can only be Y.
TEST(FleetRunner, BoardsOfOneLineTakeTurnsWhileOtherLinesWork)
{
    Log log;
    Gate x1Started;
    Gate another;
    {
        FleetRunner runner(2, idleLines());
        runner.submit(QStringLiteral("serial:/dev/x"), [&](FleetLink &) {
            log.add(QStringLiteral("x1 starts"));
            x1Started.add();
            another.waitFor(1);
            log.add(QStringLiteral("x1 ends"));
        });
        ASSERT_TRUE(x1Started.waitFor(1));
        runner.submit(QStringLiteral("serial:/dev/x"), [&](FleetLink &) {
            log.add(QStringLiteral("x2"));
            another.add();
        });
        runner.submit(QStringLiteral("serial:/dev/y"), [&](FleetLink &) {
            log.add(QStringLiteral("y"));
            another.add();
        });
        runner.waitUntilIdle();
    }
    const QStringList events = log.events();
    EXPECT_LT(events.indexOf(QStringLiteral("y")), events.indexOf(QStringLiteral("x1 ends")));
    EXPECT_LT(events.indexOf(QStringLiteral("x1 ends")), events.indexOf(QStringLiteral("x2")));
}

// The boards of one line share one port for their turns; another line has
// its own.
TEST(FleetRunner, TheBoardsOfALineShareItsPort)
{
    std::mutex mutex;
    QList<const pravik::link::SerialLink *> lines;
    {
        FleetRunner runner(1, idleLines());
        for (const char *link : {"serial:/dev/x", "serial:/dev/x", "serial:/dev/y"}) {
            runner.submit(QString::fromLatin1(link), [&](FleetLink &fleetLink) {
                const std::lock_guard lock(mutex);
                lines << &fleetLink.line;
            });
        }
        runner.waitUntilIdle();
    }
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], lines[1]);
}

// With at most N links at a time, N boards work together and the runner
// never has more than N threads, however many links wait.
TEST(FleetRunner, NoMoreLinksAtATimeThanAllowed)
{
    constexpr int kAllowed = 3;
    constexpr int kLinks = 10;
    Gate started;
    Gate release;
    std::mutex mutex;
    int running = 0;
    int mostRunning = 0;
    {
        FleetRunner runner(kAllowed, idleLines());
        for (int i = 0; i < kLinks; ++i) {
            runner.submit(QStringLiteral("serial:/dev/tty%1").arg(i), [&](FleetLink &) {
                {
                    const std::lock_guard lock(mutex);
                    mostRunning = std::max(mostRunning, ++running);
                }
                started.add();
                release.waitFor(1);
                const std::lock_guard lock(mutex);
                --running;
            });
        }
        EXPECT_EQ(runner.workerCount(), kAllowed);
        ASSERT_TRUE(started.waitFor(kAllowed));
        release.add();
        runner.waitUntilIdle();
        EXPECT_EQ(runner.workerCount(), kAllowed);
    }
    EXPECT_EQ(started.count(), kLinks);
    EXPECT_EQ(mostRunning, kAllowed);
}
