// The module commands over a fake serial port: the exact lines sent, the wait
// thresholds, the reactions to silence and short answers, the rules for
// opening and closing the port, and the nine-step read sequence with the
// fields it yields.

#include "fake_module_port.h"

#include "netkeel/module/module_protocol.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace netkeel;

namespace {

const LinkTarget kCom2{QStringLiteral("COM2"), QStringLiteral("/dev/fake2")};
const QString kNoRespondLine = QStringLiteral("Error! No respond\r\n");
const QStringList kToldFailed{QStringLiteral("错误|设置失败")};
const QByteArrayList kAllReads = {"rrm", "rma", "rbr", "rip", "rdi", "rpn", "rdp", "rgi", "rnm"};

class NetkeelProtocolTest : public ::testing::Test
{
protected:
    ModuleReading read() { return protocol.readSettings(kCom1); }
    qsizetype failedMessages() const { return prompter.titledTexts().count(kToldFailed[0]); }

    FakeModulePort port;
    StringLog log;
    QStringList logWhenTold; // the log as it stood when each message was shown
    common::RecordingPrompter prompter{[this](const common::Message &) {
        logWhenTold << log.text();
        return common::MessageAnswer::Ok;
    }};
    ModuleProtocol protocol{port, prompter, log, ModuleTiming{1000, 100, 20}};
};
using NetkeelReadSequenceTest = NetkeelProtocolTest;

} // namespace

TEST_F(NetkeelProtocolTest, AWriteIsAnsweredOnlyBeyondItsThresholdAndTimeOutsAreToldOrLogged)
{
    // The answer arrives in chunks, one per wait; an empty chunk is a wait
    // that runs out. A told time-out shows its message before the log line.
    const struct
    {
        WriteSetting setting;
        const char *value;
        QByteArrayList answer; // empty: silence
        const char *line;
        WriteResult result;
        bool told;
        QString log;
    } cases[] = {
        {WriteSetting::Mac, "001122334455", {"Lma0011223344556"}, "Wma001122334455\r\n",
         WriteResult::TimedOut, true, "Lma0011223344556\r\n"},
        {WriteSetting::Mac, "001122334455", {"Lma001122334455\r\n"}, "Wma001122334455\r\n",
         WriteResult::Answered, false, "Lma001122334455\r\n\r\n"},
        // The rest of a late answer arrives within the pause and is logged with it.
        {WriteSetting::Mac, "001122334455", {"Lma00", "", "1122334455\r\n"},
         "Wma001122334455\r\n", WriteResult::TimedOut, true, "Lma001122334455\r\n\r\n"},
        {WriteSetting::ModuleIp, "10.0.0.5", {}, "Wip10.0.0.5\r\n", WriteResult::TimedOut, true,
         kNoRespondLine},
        {WriteSetting::ModuleIp, "10.0.0.5", {"Lip"}, "Wip10.0.0.5\r\n", WriteResult::TimedOut,
         true, "Lip\r\n"},
        // Baud, multi-channel and store only log a time-out, short answer or none.
        {WriteSetting::Baud, "-1", {"Lbr-"}, "Wbr-1\r\n", WriteResult::TimedOut, false,
         kNoRespondLine},
        {WriteSetting::Baud, "5", {"Lbr5\r"}, "Wbr5\r\n", WriteResult::Answered, false,
         "Lbr5\r\r\n"},
        {WriteSetting::Store, "", {}, "Wfs\r\n", WriteResult::TimedOut, false, kNoRespondLine},
        {WriteSetting::NetMask, "255.255.255.0", {"Lnm255.255.255.0\r\n"},
         "Wnm255.255.255.0\r\n", WriteResult::Answered, false, "Lnm255.255.255.0\r\n\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const QString logBefore = log.text();
        port.written.clear();
        prompter.clear();
        logWhenTold.clear();
        port.answer(QByteArray(c.line).left(3), c.answer);
        EXPECT_EQ(protocol.write(kCom1, c.setting, QString::fromLatin1(c.value)), c.result);
        EXPECT_EQ(port.written, QByteArrayList{c.line});
        EXPECT_EQ(prompter.titledTexts(), c.told ? kToldFailed : QStringList());
        EXPECT_EQ(logWhenTold, c.told ? QStringList{logBefore} : QStringList());
        EXPECT_EQ(log.text().mid(logBefore.size()), c.log);
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(NetkeelProtocolTest, PortCommandsSendBothValuesReportEitherTimeOutAndLeaveThePortOpen)
{
    const std::pair<QByteArray, QString> cases[] = {{"Wpn", kNoRespondLine + "Ldp503\r\n\r\n"},
                                                    {"Wdp", "Lpn502\r\n\r\n" + kNoRespondLine}};
    for (const auto &[silent, logged] : cases) {
        SCOPED_TRACE(silent.constData());
        const QString logBefore = log.text();
        port.written.clear();
        port.openedDevices.clear();
        prompter.clear();
        port.script.clear();
        port.silence(silent);
        EXPECT_EQ(protocol.writePorts(kCom1, QStringLiteral("502"), QStringLiteral("503")),
                  WriteResult::TimedOut);
        EXPECT_EQ(port.written, (QByteArrayList{"Wpn502\r\n", "Wdp503\r\n"}));
        EXPECT_EQ(prompter.titledTexts(), kToldFailed);
        EXPECT_EQ(log.text().mid(logBefore.size()), logged);
        EXPECT_TRUE(port.isOpen());

        // The next command finds the port open and uses it as it is.
        EXPECT_EQ(protocol.write(kCom1, WriteSetting::Store, {}), WriteResult::Answered);
        EXPECT_EQ(port.openedDevices, QStringList{QStringLiteral("/dev/fake1")});
        EXPECT_FALSE(port.isOpen());
    }
    // Left open on another link, the port is reopened on the new one.
    protocol.writePorts(kCom1, QStringLiteral("1973"), QStringLiteral("1973"));
    protocol.write(kCom2, WriteSetting::Store, {});
    EXPECT_EQ(port.openedDevices.last(), QStringLiteral("/dev/fake2"));
}

TEST_F(NetkeelProtocolTest, APortThatCannotBeUsedIsToldOnceWithItsReasonAndNothingIsLogged)
{
    // A link that is no serial port sends nothing, whatever the command.
    const LinkTarget etherNet = linkForListText(QStringLiteral("EtherNet"));
    EXPECT_EQ(protocol.write(etherNet, WriteSetting::Store, {}), WriteResult::PortUnusable);
    EXPECT_EQ(protocol.writePorts(etherNet, QStringLiteral("1"), QStringLiteral("1")),
              WriteResult::PortUnusable);
    EXPECT_FALSE(protocol.readSettings(etherNet).complete);
    EXPECT_EQ(prompter.titledTexts(),
              QStringList(3, QStringLiteral("错误|通讯口 EtherNet 不是串口，网络模块只能通过串口设置。"
                                            "请选择 COM1 至 COM8。")));
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Error);
    EXPECT_TRUE(port.openedDevices.isEmpty());

    prompter.clear();
    port.openError = QStringLiteral("Permission denied");
    EXPECT_EQ(protocol.writePorts(kCom1, QStringLiteral("1"), QStringLiteral("1")),
              WriteResult::PortUnusable);
    port.openError.clear();
    port.failNextWait = true; // the device fails during the wait; the port is closed
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::ModuleIp, QStringLiteral("1.2.3.4")),
              WriteResult::PortUnusable);
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("串口 COM1 (/dev/fake1) 打不开：Permission denied"),
                           QStringLiteral("串口 COM1 (/dev/fake1) 操作失败：device gone")}));
    EXPECT_EQ(port.written, QByteArrayList{"Wip1.2.3.4\r\n"});
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(log.text().isEmpty());
}

TEST_F(NetkeelProtocolTest, TheWaitEndsAsSoonAsTheThresholdIsPassed)
{
    // "Lrm" + "1\r\n" is six characters, one more than the threshold of rrm;
    // the third chunk comes during the pause and belongs to the answer.
    port.answer("rrm", {"Lrm", "1\r\n", "+"});
    port.silence("rma");
    protocol.readSettings(kCom1);
    ASSERT_GE(port.waits.size(), 4);
    EXPECT_GT(port.waits[0], 100); // waiting for "Lrm"
    EXPECT_GT(port.waits[1], 100); // waiting for "1\r\n"
    EXPECT_LE(port.waits[2], 20);  // the short pause of rrm takes "+"
    EXPECT_LE(port.waits[3], 20);
    EXPECT_TRUE(log.text().startsWith(QStringLiteral("Lrm1\r\n+\r\n")));
}

TEST(NetkeelLinkTargets, NameTheSerialDevice)
{
    qputenv("COM3", "/dev/ttyFAKE3");
    EXPECT_EQ(linkForListText(QStringLiteral("COM3")).device, QStringLiteral("/dev/ttyFAKE3"));
    EXPECT_EQ(linkForPortArgument(QStringLiteral("COM3")).device, QStringLiteral("/dev/ttyFAKE3"));
    EXPECT_EQ(linkForPortArgument(QStringLiteral("/dev/pts/7")).device,
              QStringLiteral("/dev/pts/7"));
    qunsetenv("COM3");
    for (const char *none : {"EtherNet", "", "COM", "COM0", "COM17", "ttyS0", "COM1x"})
        EXPECT_FALSE(linkForListText(QString::fromLatin1(none)).isSerial()) << none;
}

TEST_F(NetkeelReadSequenceTest, ReadsTheNineSettingsInOrderOnOneOpening)
{
    port.values["rm"] = "1";
    port.values["dp"] = "503";
    port.answer("rpn", {"Lpn502\n\r"}); // either order of the line end is cut off
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

TEST_F(NetkeelReadSequenceTest, AWrongPrefixOrAPartialAnswerLeavesTheFieldAndTheSequenceGoesOn)
{
    port.answer("rma", {"Lmx001122334455\r\n"});
    port.answer("rip", {"Lip10"});
    const ModuleReading r = read();
    EXPECT_EQ(failedMessages(), 2);
    EXPECT_EQ(port.commands(), kAllReads);
    EXPECT_FALSE(r.mac.has_value());
    EXPECT_FALSE(r.moduleIp.has_value());
    EXPECT_EQ(r.baudCode, 3);
    EXPECT_EQ(r.replyIp, QStringLiteral("192.168.1.20"));
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(log.text().contains(QStringLiteral("Lmx001122334455\r\n\r\nLbr3")));
    EXPECT_TRUE(log.text().contains(QStringLiteral("\r\nLip10\r\nLdi")));
}

TEST_F(NetkeelReadSequenceTest, SilenceEndsTheSequenceWithThePortOpenKeepingWhatWasRead)
{
    port.silence("rdi");
    const ModuleReading r = read();
    EXPECT_EQ(prompter.titledTexts(), kToldFailed);
    EXPECT_TRUE(log.text().endsWith(QStringLiteral("\r\n\r\nError! No respond\r\n")));
    EXPECT_EQ(port.commands(), kAllReads.mid(0, 5));
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.moduleIp, QStringLiteral("192.168.1.100"));
    EXPECT_FALSE(r.replyIp.has_value());
    EXPECT_FALSE(r.modulePort.has_value());
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
