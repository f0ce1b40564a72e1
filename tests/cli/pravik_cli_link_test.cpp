// pravik-cli clock and range against the board simulator, over a
// pseudo-terminal and over UDP on the loopback network. How a whole send ends
// on each fault of the board or the line is in the fault cases.
#include "ledboard_sim_process.h"
#include "test_files.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

const QString kExample = QStringLiteral(EXAMPLES_DIR "/demo.lt");

ProgramRun runCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(PRAVIK_CLI_PATH), arguments);
}

QString serialLink(const LedboardSim &sim)
{
    return QStringLiteral("serial:%1@9600").arg(sim.endpoint());
}

QString udpLink(const LedboardSim &sim)
{
    return QStringLiteral("udp:127.0.0.2:%1").arg(sim.udpPort());
}

} // namespace

TEST(CliLinkWithSimulator, ClockOverAPseudoTerminal)
{
    LedboardSim sim({QStringLiteral("--pty")});
    ASSERT_TRUE(sim.endpoint().startsWith(u"/dev/")) << sim.endpoint().toStdString();
    const ProgramRun run = runCli({"clock", kExample, "--link", serialLink(sim)});
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
    const ProgramRun run = runCli({"range", kExample, "300", "5", "--link", udpLink(sim)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.messages(), QStringList{"Pravik: 发送成功"});
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]["raw"].toString(),
              QStringLiteral("fa fa 01 01 00 00 00 00 2c 05 00 00 00 00 00 00 00 00 00 00 00 00 "
                             "00 00 32"));
}

TEST(CliLinkWithSimulator, OneWrongEchoIsMendedByTheResend)
{
    for (const bool overUdp : {false, true}) {
        LedboardSim sim(overUdp ? QStringList{"--udp", "127.0.0.2:0", "--wrong-echo", "1"}
                                : QStringList{"--pty", "--wrong-echo", "1"});
        const ProgramRun run = runCli({"range", kExample, "0", "3", "--link",
                                       overUdp ? udpLink(sim) : serialLink(sim)});
        EXPECT_EQ(run.status, 0) << overUdp;
        sim.stop();
        EXPECT_EQ(sim.frames().size(), 2) << overUdp;
    }
}

TEST(CliLinkWithSimulator, RefusedRangeSendsNothing)
{
    LedboardSim sim({"--pty"});
    const ProgramRun run = runCli({"range", kExample, "-1", "3", "--link", serialLink(sim)});
    EXPECT_EQ(run.status, 2);
    sim.stop();
    EXPECT_TRUE(sim.frames().isEmpty());
}
