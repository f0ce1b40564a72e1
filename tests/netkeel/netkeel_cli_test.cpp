// netkeel-cli run as a script would run it, against netmodule-sim.

#include "module_sim_process.h"
#include "test_files.h"

#include "netkeel/cli/cli_arguments.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace netkeel::cli;

namespace {

const QStringList kFastTiming = {QStringLiteral("--wait-ms"),        QStringLiteral("400"),
                                 QStringLiteral("--pause-ms"),       QStringLiteral("30"),
                                 QStringLiteral("--short-pause-ms"), QStringLiteral("10")};

ProgramRun runCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(NETKEEL_CLI_PATH), arguments, {}, 10000);
}

QJsonObject json(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

QStringList args(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *a : list)
        result << QString::fromUtf8(a);
    return result;
}

} // namespace

TEST(NetkeelCli, ReadPrintsEveryField)
{
    ModuleSimProcess sim({QStringLiteral("--set"), QStringLiteral("rm=1")});
    const ProgramRun run = runCli(args({"read", "--port"}) << sim.device() << kFastTiming);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject expected{
        {QStringLiteral("multi"), 1},
        {QStringLiteral("mac"), QStringLiteral("001122334455")},
        {QStringLiteral("baud"), 9600},
        {QStringLiteral("ip"), QStringLiteral("192.168.1.100")},
        {QStringLiteral("reply"), QStringLiteral("192.168.1.20")},
        {QStringLiteral("gateway"), QStringLiteral("192.168.1.1")},
        {QStringLiteral("mask"), QStringLiteral("255.255.255.0")},
        {QStringLiteral("port"), QStringLiteral("1973")},
        {QStringLiteral("destPort"), QStringLiteral("1973")},
    };
    EXPECT_EQ(json(run.out), expected);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Lip192.168.1.100\n")));
}

TEST(NetkeelCli, ReadLeavesOutFailedFieldsAndFails)
{
    ModuleSimProcess sim({QStringLiteral("--wrong-prefix"), QStringLiteral("rma"),
                          QStringLiteral("--set"), QStringLiteral("br=9")});
    const ProgramRun run = runCli(args({"read", "--port"}) << sim.device() << kFastTiming);
    EXPECT_EQ(run.status, 1);
    const QJsonObject fields = json(run.out);
    EXPECT_FALSE(fields.contains(QStringLiteral("mac")));
    EXPECT_FALSE(fields.contains(QStringLiteral("baud")));
    EXPECT_EQ(fields.value(QStringLiteral("mask")).toString(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(run.err.count(QStringLiteral("错误: 设置失败\n")), 2);
}

TEST(NetkeelCli, ReadEndsOnSilence)
{
    ModuleSimProcess sim({QStringLiteral("--silent"), QStringLiteral("rrm")});
    const ProgramRun run = runCli(args({"read", "--port"}) << sim.device() << kFastTiming);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(json(run.out), QJsonObject());
    EXPECT_EQ(run.err, QStringLiteral("错误: 设置失败\nError! No respond\n"));
    EXPECT_EQ(sim.commands(), QStringList{QStringLiteral("rrm")});
}

TEST(NetkeelCli, WriteSendsTheCommandsInTheOrderGiven)
{
    ModuleSimProcess sim;
    const ProgramRun run =
        runCli(args({"write", "--port"})
               << sim.device() << kFastTiming
               << args({"baud=28800", "port=502", "multi=1", "mask=255.255.255.0",
                        "gateway=10.0.0.1", "ip=10.0.0.5", "reply=10.0.0.2", "mac=0A0B0C0D0E0F"}));
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(sim.commands(),
              args({"Wbr5", "Wpn502", "Wdp502", "Wrm1", "Wnm255.255.255.0", "Wgi10.0.0.1",
                    "Wip10.0.0.5", "Wdi10.0.0.2", "Wma0A0B0C0D0E0F"}));

    const ProgramRun store = runCli(args({"store", "--port"}) << sim.device() << kFastTiming);
    EXPECT_EQ(store.status, 0);
    EXPECT_EQ(sim.commands().last(), QStringLiteral("Wfs"));
    EXPECT_EQ(store.err, QStringLiteral("LfsOK\n"));
}

TEST(NetkeelCli, AWriteThatTimesOutFailsButTheOthersAreSent)
{
    ModuleSimProcess sim({QStringLiteral("--short"), QStringLiteral("Wip")});
    const ProgramRun run = runCli(args({"write", "--port"})
                              << sim.device() << kFastTiming << args({"ip=10.0.0.5", "multi=0"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(sim.commands(), args({"Wip10.0.0.5", "Wrm0"}));
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("错误: 设置失败\nLip\nLrm0\n")))
        << run.err.toStdString();
}

TEST(NetkeelCli, APortThatIsNoSerialPortIsToldClearly)
{
    for (const char *port : {"EtherNet", "/dev/netkeel-no-such-port"}) {
        const ProgramRun run = runCli(args({"write", "--port", port, "multi=1", "ip=1.2.3.4"}));
        EXPECT_EQ(run.status, 1) << port;
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString(); // told once, not per command
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("错误: "))) << port;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(port))) << port;
    }
}

TEST(NetkeelCli, WrongCommandLinesAreRefusedBeforeAnythingIsSent)
{
    const QList<QStringList> bad = {
        {},
        args({"read"}),
        args({"frob", "--port", "COM1"}),
        args({"write", "--port", "COM1"}),
        args({"write", "--port", "COM1", "baud=14400"}),
        args({"write", "--port", "COM1", "multi=2"}),
        args({"write", "--port", "COM1", "colour=red"}),
        args({"read", "--port", "COM1", "ip=1.2.3.4"}),
        args({"read", "--port", "COM1", "--wait-ms", "-5"}),
        args({"read", "--port"}),
    };
    for (const QStringList &arguments : bad) {
        const ParsedArguments parsed =
            parseCliArguments(QStringList{QStringLiteral("netkeel-cli")} + arguments);
        EXPECT_FALSE(parsed.error.isEmpty()) << arguments.join(u' ').toStdString();
    }
    const ProgramRun run = runCli(args({"write", "--port", "/dev/null", "baud=14400"}));
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("baud=14400")));
}

TEST(NetkeelCli, BaudRatesAreSentAsTheirCodes)
{
    const ParsedArguments parsed = parseCliArguments(args(
        {"netkeel-cli", "write", "--port", "COM2", "baud=1200", "baud=57600", "--wait-ms", "50"}));
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    ASSERT_EQ(parsed.request.writes.size(), 2);
    EXPECT_EQ(parsed.request.writes[0].value, QStringLiteral("0"));
    EXPECT_EQ(parsed.request.writes[1].value, QStringLiteral("7"));
    EXPECT_EQ(parsed.request.timing.waitMs, 50);
    EXPECT_EQ(parsed.request.port, QStringLiteral("COM2"));
}
