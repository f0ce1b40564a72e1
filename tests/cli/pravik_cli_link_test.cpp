// pravik-cli clock, range and a stopped send against the board simulator, over a
// pseudo-terminal and over UDP on the loopback network. How a whole send ends
// on each fault of the board or the line is in the fault cases.
#include "pravik_cli_run.h"

#include <QDate>
#include <QJsonObject>

#include <csignal>
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

// Ctrl-C or SIGTERM in the middle of Send All: the frame on the wire is
// answered first, no display command follows, the terminal learns how many
// screens arrived and the shell which signal it was.
TEST(CliLinkWithSimulator, ASignalStopsSendAllAfterTheFrameOnTheWire)
{
    const std::tuple<int, const char *> cases[] = {{SIGINT, "--pty"}, {SIGTERM, "--udp"}};
    for (const auto &[signal, link] : cases) {
        SCOPED_TRACE(link);
        const bool udp = QLatin1String(link) == QLatin1String("--udp");
        LedboardSim sim(QStringList{link} + (udp ? QStringList{"127.0.0.2:0"} : QStringList()) +
                        QStringList{"--type", "2", "--echo-delay-ms", "20"});
        QProcess cli;
        cli.start(QStringLiteral(PRAVIK_CLI_PATH),
                  {"send", kExampleFile, "--yes", "--link", udp ? udpLink(sim) : serialLink(sim)});
        ASSERT_GE(sim.waitForFrames(9).size(), 9);
        ::kill(static_cast<pid_t>(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(10000));
        EXPECT_EQ(cli.exitCode(), 128 + signal);
        sim.stop();

        const QList<QJsonObject> frames = sim.frames();
        EXPECT_LE(frames.size(), 11); // at most the frame that was on the wire more
        int screens = 0;
        for (const QJsonObject &frame : frames) {
            EXPECT_EQ(frame["status"].toString(), QStringLiteral("ok"));
            EXPECT_NE(frame["command"].toInt(), 1);
            screens += frame["command"].toInt() == 4;
        }
        EXPECT_EQ(QString::fromUtf8(cli.readAllStandardError()).trimmed(),
                  QStringLiteral("Pravik: 已停止发送，%1 幕画面已送到屏幕").arg(screens));
    }
}
