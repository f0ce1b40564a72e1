// The keeper against three board simulators on UDP, by a clock the test
// moves: a board off at the start catches up once it answers, a window's
// beginning puts the range on its board, and a picture changed on disk
// reaches every board with only the screen that changed.
#include "ledboard_sim_process.h"
#include "manual_clock.h"

#include "pravik/service/keeper.h"

#include "service_folder.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::service;

namespace {

QStringList simOptions(const QString &where)
{
    return {"--udp", where, "--width", "16", "--height", "8"};
}

} // namespace

TEST(KeeperOnBoards, KeepsThreeBoardsAsTheScheduleSays)
{
    QTemporaryDir folder;
    const ServiceSetup setup = serviceSetupIn(folder.path());
    const QString content = setup.contentFolder;
    QDir().mkpath(content);
    const auto picture = [&](const char *name, QRgb colour) {
        ASSERT_TRUE(saveSmallPicture(QDir(content).filePath(QString::fromLatin1(name)), colour));
    };
    picture("one.bmp", qRgb(255, 0, 0));
    picture("two.bmp", qRgb(0, 0, 0));
    ASSERT_TRUE(writeFileBytes(QDir(content).filePath(QStringLiteral("lobby.lt")),
                               smallBoardFileNaming({"one.bmp", "two.bmp"})));

    LedboardSim a(simOptions(QStringLiteral("127.0.0.2:0")));
    const QString port = a.udpPort();
    LedboardSim b(simOptions(QStringLiteral("127.0.0.3:") + port));
    ASSERT_TRUE(writeFileBytes(setup.fleetFile, QStringLiteral("a udp:127.0.0.2:%1 1\n"
                                                               "b udp:127.0.0.3:%1 1\n"
                                                               "c udp:127.0.0.4:%1 1\n")
                                                    .arg(port)
                                                    .toUtf8()));
    ASSERT_TRUE(writeFileBytes(setup.scheduleFile, "default * lobby.lt\n"
                                                   "window a daily 10:00-11:00 range 1 1\n"));
    ManualClock clock(
        QDateTime::fromString(QStringLiteral("2026-12-07T09:59:00+01:00"), Qt::ISODate));
    QStringList log;
    Keeper keeper(setup, clock, [&log](const QString &line) { log << line; });
    ASSERT_EQ(keeper.start(), std::nullopt);
    ASSERT_TRUE(until([&] { return keeper.idle(); }));

    const QStringList everything{"03 00", "12 00", "12 00", "04 00",
                                 "12 01", "12 01", "04 01", "01 00 02"};
    EXPECT_EQ(a.commands(), everything);
    EXPECT_EQ(b.commands(), everything);
    EXPECT_EQ(keeper.states()[2].health, Health::Failing); // c is off

    // c comes on; its retry is due 15 s later and brings it all it lacks.
    LedboardSim c(simOptions(QStringLiteral("127.0.0.4:") + port));
    clock.moveBy(15);
    ASSERT_TRUE(until([&] { return keeper.idle(); }));
    EXPECT_EQ(c.commands(), everything);
    EXPECT_EQ(keeper.states()[2].health, Health::Ok);

    // At 10:00 a shows screen 1 alone: one range command, nothing uploaded.
    const qsizetype aBefore = a.frames().size();
    clock.moveTo(QDateTime::fromString(QStringLiteral("2026-12-07T10:00:00+01:00"), Qt::ISODate));
    ASSERT_TRUE(until([&] { return keeper.idle(); }));
    EXPECT_EQ(a.commands(aBefore), QStringList{"01 01 01"});

    // Screen 1's picture edited on disk: b and c get that screen and the
    // display command, a that screen alone (its range stands).
    const qsizetype bBefore = b.frames().size();
    const qsizetype cBefore = c.frames().size();
    const qsizetype aNow = a.frames().size();
    picture("two.bmp", qRgb(255, 0, 0));
    keeper.contentChanged();
    ASSERT_TRUE(until([&] { return keeper.idle(); }));
    const QStringList changed{"12 01", "12 01", "04 01", "01 00 02"};
    EXPECT_EQ(b.commands(bBefore), changed);
    EXPECT_EQ(c.commands(cBefore), changed);
    EXPECT_EQ(a.commands(aNow), (QStringList{"12 01", "12 01", "04 01"}));
}
