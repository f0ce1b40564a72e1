// pravik-cli clock and range against the board simulator, over a
// pseudo-terminal and over UDP on the loopback network. How a whole send ends
// on each fault of the board or the line is in the fault cases.
#include "pravik_cli_run.h"

#include <QDate>
#include <gtest/gtest.h>

TEST(CliLinkWithSimulator, ClockOverAPseudoTerminal)
{
    LedboardSim sim({QStringLiteral("--pty")});
    ASSERT_TRUE(sim.endpoint().startsWith(u"/dev/")) << sim.endpoint().toStdString();
    const ProgramRun run = runPravikCli({"clock", kExampleFile, "--link", serialLink(sim)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.messages(), QStringList{"Success: 发送成功"});
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]["command"].toInt(), 3);
    EXPECT_TRUE(frames[0]["well_formed"].toBool());
    // The board got today's date (the test may straddle midnight).
    const int day = frames[0]["fields"]["day"].toInt();
    EXPECT_TRUE(day == QDate::currentDate().day() || day == QDate::currentDate().addDays(-1).day());
}

TEST(CliLinkWithSimulator, RangeOverUdp)
{
    LedboardSim sim({QStringLiteral("--udp"), QStringLiteral("127.0.0.2:0")});
    ASSERT_FALSE(sim.udpPort().isEmpty());
    const ProgramRun run =
        runPravikCli({"range", kExampleFile, "300", "5", "--link", udpLink(sim)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.messages(), QStringList{"Pravik: 发送成功"});
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]["raw"].toString(),
              QStringLiteral("fa fa 01 01 00 00 00 00 2c 05 00 00 00 00 00 00 00 00 00 00 00 00 "
                             "00 00 32"));
}
