// The nine-step read sequence over a fake serial port: order, thresholds,
// answer checks, the fields it yields and its early end on silence.

#include "fake_module_port.h"
#include "string_log.h"

#include "netkeel/module/module_protocol.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace netkeel;

namespace {

const LinkTarget kCom1{QStringLiteral("COM1"), QStringLiteral("/dev/fake1")};
const QByteArrayList kAllReads = {"rrm", "rma", "rbr", "rip", "rdi", "rpn", "rdp", "rgi", "rnm"};

class NetkeelReadSequenceTest : public ::testing::Test
{
protected:
    ModuleReading read() { return protocol.readSettings(kCom1); }

    int failedMessages() const
    {
        int count = 0;
        for (const common::Message &m : prompter.messages())
            count += m.text == QStringLiteral("设置失败") && m.title == QStringLiteral("错误");
        return count;
    }

    FakeModulePort port;
    StringLog log;
    common::RecordingPrompter prompter;
    ModuleProtocol protocol{port, prompter, log, ModuleTiming{1000, 100, 20}};
};

} // namespace

TEST_F(NetkeelReadSequenceTest, ReadsTheNineSettingsInOrderOnOneOpening)
{
    port.values["rm"] = "1";
    port.values["pn"] = "502";
    port.values["dp"] = "503";
    const ModuleReading r = read();

    EXPECT_EQ(port.written, (QByteArrayList{"rrm\r\n", "rma\r\n", "rbr\r\n", "rip\r\n", "rdi\r\n",
                                            "rpn\r\n", "rdp\r\n", "rgi\r\n", "rnm\r\n"}));
    EXPECT_EQ(port.openedDevices.size(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.multiChannel, 1);
    EXPECT_EQ(r.mac, QStringLiteral("001122334455"));
    EXPECT_EQ(r.baudCode, 3);
    EXPECT_EQ(r.moduleIp, QStringLiteral("192.168.1.100"));
    EXPECT_EQ(r.replyIp, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(r.modulePort, QStringLiteral("502"));
    EXPECT_EQ(r.destPort, QStringLiteral("503"));
    EXPECT_EQ(r.gateway, QStringLiteral("192.168.1.1"));
    EXPECT_EQ(r.netMask, QStringLiteral("255.255.255.0"));
    // Every answer is logged whole, line end included, and followed by CR LF.
    EXPECT_TRUE(
        log.text().startsWith(QStringLiteral("Lrm1\r\n\r\nLma001122334455\r\n\r\nLbr3\r\n\r\n")));
    EXPECT_TRUE(log.text().endsWith(QStringLiteral("Lnm255.255.255.0\r\n\r\n")));
}

TEST_F(NetkeelReadSequenceTest, EachStepHasItsOwnThreshold)
{
    const struct
    {
        QByteArray command;
        int threshold;
    } steps[] = {{"rrm", 5}, {"rma", 16}, {"rbr", 5},  {"rip", 11}, {"rdi", 11},
                 {"rpn", 4}, {"rdp", 4},  {"rgi", 11}, {"rnm", 11}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.command.constData());
        const QByteArray prefix = "L" + step.command.mid(1);
        // Exactly the threshold: a time-out with characters, so the sequence goes on.
        port.script.clear();
        port.answer(step.command, {prefix + QByteArray(step.threshold - 3, '0')});
        prompter.clear();
        EXPECT_FALSE(read().complete);
        EXPECT_EQ(failedMessages(), 1);
        // One more character is an answer.
        port.answer(step.command, {prefix + QByteArray(step.threshold - 2, '0')});
        prompter.clear();
        read();
        EXPECT_EQ(failedMessages(), 0);
    }
}

TEST_F(NetkeelReadSequenceTest, AWrongPrefixLeavesTheFieldAndTheSequenceGoesOn)
{
    port.answer("rma", {"Lmx001122334455\r\n"});
    const ModuleReading r = read();
    EXPECT_EQ(failedMessages(), 1);
    EXPECT_FALSE(r.mac.has_value());
    EXPECT_EQ(port.commands(), kAllReads);
    EXPECT_EQ(r.baudCode, 3);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(log.text().contains(QStringLiteral("Lmx001122334455\r\n\r\nLbr3")));
}

TEST_F(NetkeelReadSequenceTest, SilenceOnTheFirstStepEndsTheSequenceWithThePortOpen)
{
    port.silence("rrm");
    const ModuleReading r = read();
    EXPECT_EQ(failedMessages(), 1);
    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(log.text(), QStringLiteral("Error! No respond\r\n"));
    EXPECT_EQ(port.written, QByteArrayList{"rrm\r\n"});
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(r.complete);
    EXPECT_FALSE(r.multiChannel.has_value());
}

TEST_F(NetkeelReadSequenceTest, SilenceLaterKeepsWhatEarlierStepsRead)
{
    port.silence("rdi");
    const ModuleReading r = read();
    EXPECT_EQ(port.commands(), kAllReads.mid(0, 5));
    EXPECT_EQ(r.moduleIp, QStringLiteral("192.168.1.100"));
    EXPECT_FALSE(r.replyIp.has_value());
    EXPECT_FALSE(r.modulePort.has_value());
}

TEST_F(NetkeelReadSequenceTest, APartialAnswerIsLoggedAndTheSequenceGoesOn)
{
    port.answer("rma", {"Lma0011"});
    const ModuleReading r = read();
    EXPECT_EQ(failedMessages(), 1);
    EXPECT_FALSE(r.mac.has_value());
    EXPECT_EQ(port.commands(), kAllReads);
    EXPECT_TRUE(log.text().contains(QStringLiteral("\r\nLma0011\r\nLbr3")));
}

TEST_F(NetkeelReadSequenceTest, AnAnswerLateForOneStepCountsTowardsTheNext)
{
    // Most of the answer to rpn comes after its wait and pause; it is what
    // the wait for rdp finds, so rdp's check sees the wrong prefix.
    port.answer("rpn", {"Lp", "", "", "n1973\r\n"});
    port.silence("rdp");
    const ModuleReading r = read();
    EXPECT_EQ(failedMessages(), 2);
    EXPECT_EQ(port.commands(), kAllReads);
    EXPECT_FALSE(r.modulePort.has_value());
    EXPECT_FALSE(r.destPort.has_value());
    EXPECT_TRUE(log.text().contains(QStringLiteral("Lp\r\nn1973\r\n\r\nLgi")));
}

TEST_F(NetkeelReadSequenceTest, ValuesAFieldCannotTakeLeaveItUnchanged)
{
    const struct
    {
        QByteArray code;
        QByteArray value;
        bool taken;
    } cases[] = {
        {"rm", "0", true},   {"rm", "1", true},     {"rm", "2", false},  {"rm", "-1", false},
        {"rm", "x", true},   {"br", "0", true},     {"br", "7", true},   {"br", "8", false},
        {"br", "-1", false}, {"br", "9600", false}, {"br", "6.6", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.code + "=" + c.value).constData());
        port.values[c.code] = c.value;
        prompter.clear();
        const ModuleReading r = read();
        port.values = FakeModulePort().values;
        const bool taken = c.code == "rm" ? r.multiChannel.has_value() : r.baudCode.has_value();
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(failedMessages(), c.taken ? 0 : 1);
        EXPECT_EQ(r.complete, c.taken);
    }
}

TEST_F(NetkeelReadSequenceTest, TextValuesComeWithoutTheirLineEnd)
{
    port.answer("rip", {"Lip10.0.0.9\r\n"});
    port.answer("rpn", {"Lpn502\n\r"});
    const ModuleReading r = read();
    EXPECT_EQ(r.moduleIp, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(r.modulePort, QStringLiteral("502"));
}
