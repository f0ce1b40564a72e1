// The module commands through the real serial port class, against
// netmodule-sim on a pseudo-terminal.

#include "module_sim_process.h"
#include "string_log.h"

#include "netkeel/module/module_protocol.h"
#include "netkeel/module/serial_module_port.h"

#include "common/recording_prompter.h"

#include <QThread>

#include <gtest/gtest.h>

using namespace netkeel;

namespace {

// Short enough for the tests, long enough for a loaded machine: the simulator
// answers within a few milliseconds.
const ModuleTiming kTiming{400, 30, 10};

const QStringList kAllReads = {
    QStringLiteral("rrm"), QStringLiteral("rma"), QStringLiteral("rbr"),
    QStringLiteral("rip"), QStringLiteral("rdi"), QStringLiteral("rpn"),
    QStringLiteral("rdp"), QStringLiteral("rgi"), QStringLiteral("rnm"),
};

class NetkeelOverPtyTest : public ::testing::Test
{
protected:
    void start(const QStringList &arguments = {})
    {
        sim = std::make_unique<ModuleSimProcess>(arguments);
        ASSERT_TRUE(sim->device().startsWith(u"/dev/")) << sim->device().toStdString();
        link = LinkTarget{QStringLiteral("COM1"), sim->device()};
    }

    int failedMessages() const
    {
        int count = 0;
        for (const common::Message &m : prompter.messages())
            count += m.text == QStringLiteral("设置失败") && m.title == QStringLiteral("错误");
        return count;
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
    ModuleProtocol protocol{port, prompter, log, kTiming};
};

} // namespace

TEST_F(NetkeelOverPtyTest, WritesAreKeptAndReadBack)
{
    start();
    EXPECT_EQ(protocol.write(link, WriteSetting::NetMask, QStringLiteral("255.255.0.0")),
              WriteResult::Answered);
    EXPECT_EQ(protocol.write(link, WriteSetting::Baud, QStringLiteral("5")), WriteResult::Answered);
    EXPECT_EQ(protocol.write(link, WriteSetting::MultiChannel, QStringLiteral("1")),
              WriteResult::Answered);
    EXPECT_EQ(protocol.write(link, WriteSetting::ModuleIp, QStringLiteral("10.0.0.5")),
              WriteResult::Answered);
    EXPECT_EQ(protocol.writePorts(link, QStringLiteral("502"), QStringLiteral("503")),
              WriteResult::Answered);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(protocol.write(link, WriteSetting::Store, {}), WriteResult::Answered);
    EXPECT_FALSE(port.isOpen());

    const ModuleReading r = protocol.readSettings(link);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(r.netMask, QStringLiteral("255.255.0.0"));
    EXPECT_EQ(r.baudCode, 5);
    EXPECT_EQ(r.multiChannel, 1);
    EXPECT_EQ(r.moduleIp, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(r.modulePort, QStringLiteral("502"));
    EXPECT_EQ(r.destPort, QStringLiteral("503"));
    EXPECT_EQ(r.mac, QStringLiteral("001122334455"));
    EXPECT_FALSE(port.isOpen());

    EXPECT_EQ(
        sim->commands().mid(0, 7),
        (QStringList{QStringLiteral("Wnm255.255.0.0"), QStringLiteral("Wbr5"),
                     QStringLiteral("Wrm1"), QStringLiteral("Wip10.0.0.5"),
                     QStringLiteral("Wpn502"), QStringLiteral("Wdp503"), QStringLiteral("Wfs")}));
    EXPECT_EQ(sim->commands().mid(7), kAllReads);
    EXPECT_TRUE(log.text().startsWith(QStringLiteral("Lnm255.255.0.0\r\n\r\nLbr5\r\n\r\n")));
}

TEST_F(NetkeelOverPtyTest, AnAnswerArrivingInThePauseIsLoggedAfterTheMessage)
{
    // The answer comes after the wait has run out but within the pause.
    start({QStringLiteral("--delay-ms"), QStringLiteral("80")});
    protocol.setTiming(ModuleTiming{30, 200, 200});
    EXPECT_EQ(protocol.write(link, WriteSetting::Mac, QStringLiteral("001122334455")),
              WriteResult::TimedOut);
    EXPECT_EQ(failedMessages(), 1);
    EXPECT_EQ(logWhenTold, QStringList{QString()});
    EXPECT_EQ(log.text(), QStringLiteral("Lma001122334455\r\n\r\n"));
}

TEST_F(NetkeelOverPtyTest, ASlowModuleWithinTheWaitIsAnswered)
{
    start({QStringLiteral("--delay-ms"), QStringLiteral("30")});
    protocol.setTiming(ModuleTiming{400, 10, 10});
    EXPECT_TRUE(protocol.readSettings(link).complete);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(NetkeelOverPtyTest, ANewOpeningStartsWithAnEmptyReceiveBuffer)
{
    // The late answer to the silent-looking Wfs reaches the line after the
    // port was closed; the next command must not take it for its own.
    start({QStringLiteral("--delay-ms"), QStringLiteral("120")});
    protocol.setTiming(ModuleTiming{50, 10, 10});
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
    const WriteResult result = protocol.write(link, WriteSetting::Store, {});
    EXPECT_NE(result, WriteResult::Answered);
    ASSERT_FALSE(prompter.messages().isEmpty());
    EXPECT_FALSE(port.isOpen());
}
