// The module on netmodule-sim's pseudo-terminal: the commands through the
// real serial port class, and netkeel-cli run as a script would run it.

#include "fake_module_port.h"
#include "module_sim_process.h"
#include "test_files.h"

#include "netkeel/cli/cli_arguments.h"
#include "netkeel/module/module_protocol.h"
#include "netkeel/module/serial_module_port.h"

#include "common/recording_prompter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

using namespace netkeel;
using netkeel::cli::parseCliArguments;
using netkeel::cli::ParsedArguments;

namespace {

class NetkeelOverPtyTest : public ::testing::Test
{
protected:
    // The simulator answers within a few milliseconds; the default timing is
    // short enough for the tests and long enough for a loaded machine.
    void start(const QStringList &arguments = {}, const ModuleTiming &timing = {400, 30, 10})
    {
        sim = std::make_unique<ModuleSimProcess>(arguments);
        ASSERT_TRUE(sim->device().startsWith(u"/dev/")) << sim->device().toStdString();
        link = LinkTarget{QStringLiteral("COM1"), sim->device()};
        protocol.setTiming(timing);
    }

    std::unique_ptr<ModuleSimProcess> sim;
    LinkTarget link;
    SerialModulePort port;
    StringLog log;
    QStringList logWhenTold;
    common::RecordingPrompter prompter{[this](const common::Message &) {
        logWhenTold << log.text();
        return common::MessageAnswer::Ok;
    }};
    ModuleProtocol protocol{port, prompter, log};
};

const QStringList kFastTiming = {"--wait-ms", "400", "--pause-ms", "30", "--short-pause-ms", "10"};

// netkeel-cli with `command` on the simulator's port, then `rest`.
ProgramRun runCli(const char *command, const ModuleSimProcess &sim, const QStringList &rest = {})
{
    return runProgram(QStringLiteral(NETKEEL_CLI_PATH),
                      QStringList{command, "--port", sim.device()} + kFastTiming + rest, {}, 10000);
}

QJsonObject json(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

TEST_F(NetkeelOverPtyTest, AnAnswerArrivingInThePauseIsLoggedAfterTheMessage)
{
    // The answer comes after the wait has run out but within the pause.
    start({"--delay-ms", "80"}, {30, 200, 200});
    EXPECT_EQ(protocol.write(link, WriteSetting::Mac, QStringLiteral("001122334455")),
              WriteResult::TimedOut);
    EXPECT_EQ(prompter.titledTexts(), QStringList{QStringLiteral("错误|设置失败")});
    EXPECT_EQ(logWhenTold, QStringList{QString()});
    EXPECT_EQ(log.text(), QStringLiteral("Lma001122334455\r\n\r\n"));
}

TEST_F(NetkeelOverPtyTest, ANewOpeningStartsWithAnEmptyReceiveBuffer)
{
    // The late answer to the silent-looking Wfs reaches the line after the
    // port was closed; the next command must not take it for its own.
    start({"--delay-ms", "120"}, {50, 10, 10});
    EXPECT_EQ(protocol.write(link, WriteSetting::Store, {}), WriteResult::TimedOut);
    QThread::msleep(200);
    protocol.setTiming(ModuleTiming{400, 30, 10});
    EXPECT_EQ(protocol.write(link, WriteSetting::ModuleIp, QStringLiteral("1.2.3.4")),
              WriteResult::Answered);
    EXPECT_EQ(log.text(), QStringLiteral("Error! No respond\r\nLip1.2.3.4\r\n\r\n"));
}

TEST_F(NetkeelOverPtyTest, AModuleThatGoesAwayIsToldAsAPortFailure)
{
    start();
    EXPECT_EQ(protocol.writePorts(link, QStringLiteral("1973"), QStringLiteral("1973")),
              WriteResult::Answered);
    sim.reset(); // the pty disappears while the port is open
    EXPECT_NE(protocol.write(link, WriteSetting::Store, {}), WriteResult::Answered);
    EXPECT_FALSE(prompter.messages().isEmpty());
    EXPECT_FALSE(port.isOpen());
}

TEST(NetkeelCli, ReadPrintsEveryField)
{
    ModuleSimProcess sim({"--set", "rm=1"});
    const ProgramRun run = runCli("read", sim);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(json(run.out),
              json(R"({"multi": 1, "mac": "001122334455", "baud": 9600, "ip": "192.168.1.100",
                       "reply": "192.168.1.20", "gateway": "192.168.1.1", "mask": "255.255.255.0",
                       "port": "1973", "destPort": "1973"})"));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Lip192.168.1.100\n")));
}

TEST(NetkeelCli, ReadLeavesOutFailedFieldsAndFails)
{
    ModuleSimProcess sim({"--wrong-prefix", "rma", "--set", "br=9"});
    const ProgramRun run = runCli("read", sim);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(json(run.out),
              json(R"({"multi": 0, "ip": "192.168.1.100", "reply": "192.168.1.20",
                       "gateway": "192.168.1.1", "mask": "255.255.255.0", "port": "1973",
                       "destPort": "1973"})"));
    EXPECT_EQ(run.err.count(QStringLiteral("错误: 设置失败\n")), 2);
}

TEST(NetkeelCli, WriteSendsTheCommandsInTheOrderGiven)
{
    ModuleSimProcess sim;
    const ProgramRun run =
        runCli("write", sim,
               {"baud=1200", "baud=57600", "port=502", "multi=1", "mask=255.255.255.0",
                "gateway=10.0.0.1", "ip=10.0.0.5", "reply=10.0.0.2", "mac=0A0B0C0D0E0F"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(sim.commands(),
              (QStringList{"Wbr0", "Wbr7", "Wpn502", "Wdp502", "Wrm1", "Wnm255.255.255.0",
                           "Wgi10.0.0.1", "Wip10.0.0.5", "Wdi10.0.0.2", "Wma0A0B0C0D0E0F"}));

    const ProgramRun store = runCli("store", sim);
    EXPECT_EQ(store.status, 0);
    EXPECT_EQ(sim.commands().last(), QStringLiteral("Wfs"));
    EXPECT_EQ(store.err, QStringLiteral("LfsOK\n"));
}

TEST(NetkeelCli, AWriteThatTimesOutFailsButTheOthersAreSent)
{
    const struct
    {
        QStringList simArguments;
        QStringList writes;
        QStringList commands;
        QString errStart;
    } cases[] = {
        {{"--short", "Wip"}, {"ip=10.0.0.5", "multi=0"}, {"Wip10.0.0.5", "Wrm0"},
         "错误: 设置失败\nLip\nLrm0\n"},
        // The destination port fails although the module port was answered.
        {{"--silent", "Wdp"}, {"port=502", "multi=0"}, {"Wpn502", "Wdp502", "Wrm0"},
         "Lpn502\n错误: 设置失败\nError! No respond\nLrm0\n"},
    };
    for (const auto &c : cases) {
        ModuleSimProcess sim(c.simArguments);
        const ProgramRun run = runCli("write", sim, c.writes);
        EXPECT_EQ(run.status, 1) << c.simArguments.join(u' ').toStdString();
        EXPECT_EQ(sim.commands(), c.commands);
        EXPECT_TRUE(run.err.startsWith(c.errStart)) << run.err.toStdString();
    }
}

TEST(NetkeelCli, APortThatIsNoSerialPortIsToldClearly)
{
    for (const char *port : {"EtherNet", "/dev/netkeel-no-such-port"}) {
        const ProgramRun run = runProgram(QStringLiteral(NETKEEL_CLI_PATH),
                                          {"write", "--port", port, "multi=1", "ip=1.2.3.4"});
        EXPECT_EQ(run.status, 1) << port;
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString(); // told once, not per command
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("错误: "))) << port;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(port))) << port;
    }
}

TEST(NetkeelCli, CommandLinesAreParsedAndWrongOnesRefusedBeforeAnythingIsSent)
{
    const ParsedArguments good =
        parseCliArguments({"netkeel-cli", "read", "--port", "COM2", "--wait-ms", "50"});
    EXPECT_TRUE(good.error.isEmpty()) << good.error.toStdString();
    EXPECT_EQ(good.request.port, QStringLiteral("COM2"));
    EXPECT_EQ(good.request.timing.waitMs, 50);

    const QList<QStringList> bad = {
        {}, {"read"}, {"read", "--port"}, {"frob", "--port", "COM1"}, {"write", "--port", "COM1"},
        {"write", "--port", "COM1", "baud=14400"}, {"write", "--port", "COM1", "multi=2"},
        {"write", "--port", "COM1", "colour=red"}, {"read", "--port", "COM1", "ip=1.2.3.4"},
        {"read", "--port", "COM1", "--wait-ms", "-5"}};
    for (const QStringList &arguments : bad) {
        const ParsedArguments parsed = parseCliArguments(QStringList{"netkeel-cli"} + arguments);
        EXPECT_FALSE(parsed.error.isEmpty()) << arguments.join(u' ').toStdString();
    }
    const ProgramRun run = runProgram(QStringLiteral(NETKEEL_CLI_PATH),
                                      {"write", "--port", "/dev/null", "baud=14400"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("baud=14400")));
}
