// The module commands over a fake serial port: the exact lines sent, the wait
// thresholds, the reactions to silence and short answers, and the rules for
// opening and closing the port.

#include "fake_module_port.h"
#include "string_log.h"

#include "netkeel/module/module_messages.h"
#include "netkeel/module/module_protocol.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace netkeel;

namespace {

const LinkTarget kCom1{QStringLiteral("COM1"), QStringLiteral("/dev/fake1")};
const LinkTarget kCom2{QStringLiteral("COM2"), QStringLiteral("/dev/fake2")};
const QString kNoRespondLine = QStringLiteral("Error! No respond\r\n");

class NetkeelProtocolTest : public ::testing::Test
{
protected:
    NetkeelProtocolTest()
        : prompter([this](const common::Message &) {
              logWhenTold << log.text();
              return common::MessageAnswer::Ok;
          }),
          protocol(port, prompter, log, ModuleTiming{1000, 100, 20})
    {
    }

    void expectOneFailedMessage()
    {
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("设置失败"));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("错误"));
        EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::Ok);
    }

    FakeModulePort port;
    StringLog log;
    QStringList logWhenTold; // the log as it stood when each message was shown
    common::RecordingPrompter prompter;
    ModuleProtocol protocol;
};

struct WriteCase
{
    WriteSetting setting;
    const char *value;
    const char *line;
    int threshold;
    bool messageOnTimeOut;
};

const WriteCase kWrites[] = {
    {WriteSetting::NetMask, "255.255.255.0", "Wnm255.255.255.0\r\n", 11, true},
    {WriteSetting::Gateway, "210...", "Wgi210...\r\n", 11, true},
    {WriteSetting::ModuleIp, "192.168.1.21", "Wip192.168.1.21\r\n", 11, true},
    {WriteSetting::ReplyIp, "192.168.1.20", "Wdi192.168.1.20\r\n", 11, true},
    {WriteSetting::Mac, "001122334455", "Wma001122334455\r\n", 16, true},
    {WriteSetting::ModulePort, "1973", "Wpn1973\r\n", 5, true},
    {WriteSetting::DestPort, "1973", "Wdp1973\r\n", 5, true},
    {WriteSetting::Baud, "5", "Wbr5\r\n", 4, false},
    {WriteSetting::Baud, "-1", "Wbr-1\r\n", 4, false},
    {WriteSetting::MultiChannel, "1", "Wrm1\r\n", 5, false},
    {WriteSetting::Store, "", "Wfs\r\n", 6, false},
};

} // namespace

TEST_F(NetkeelProtocolTest, WriteSendsTheLineLogsTheAnswerAndClosesThePort)
{
    for (const WriteCase &c : kWrites) {
        SCOPED_TRACE(c.line);
        port.written.clear();
        port.answer(QByteArray(c.line).left(3), {"Lxx-answer-long-enough\r\n"});
        StringLog caseLog;
        ModuleProtocol fresh(port, prompter, caseLog);
        EXPECT_EQ(fresh.write(kCom1, c.setting, QString::fromLatin1(c.value)),
                  WriteResult::Answered);
        EXPECT_EQ(port.written, QByteArrayList{c.line});
        EXPECT_EQ(caseLog.text(), QStringLiteral("Lxx-answer-long-enough\r\n\r\n"));
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(NetkeelProtocolTest, WriteNeedsMoreCharactersThanItsThreshold)
{
    for (const WriteCase &c : kWrites) {
        SCOPED_TRACE(c.line);
        const QByteArray command = QByteArray(c.line).left(3);
        port.answer(command, {QByteArray(c.threshold, 'L')});
        EXPECT_EQ(protocol.write(kCom1, c.setting, QString::fromLatin1(c.value)),
                  WriteResult::TimedOut);
        port.answer(command, {QByteArray(c.threshold + 1, 'L')});
        EXPECT_EQ(protocol.write(kCom1, c.setting, QString::fromLatin1(c.value)),
                  WriteResult::Answered);
    }
}

TEST_F(NetkeelProtocolTest, SilenceOnAWriteIsLoggedAndToldWhereTheCommandSaysSo)
{
    for (const WriteCase &c : kWrites) {
        SCOPED_TRACE(c.line);
        prompter.clear();
        StringLog caseLog;
        ModuleProtocol fresh(port, prompter, caseLog);
        port.silence(QByteArray(c.line).left(3));
        EXPECT_EQ(fresh.write(kCom1, c.setting, QString::fromLatin1(c.value)),
                  WriteResult::TimedOut);
        EXPECT_EQ(caseLog.text(), kNoRespondLine);
        EXPECT_EQ(prompter.messages().size(), c.messageOnTimeOut ? 1 : 0);
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(NetkeelProtocolTest, AShortAnswerToWipIsLoggedAfterTheMessage)
{
    port.answer("Wip", {"Lip"});
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::ModuleIp, QStringLiteral("10.0.0.5")),
              WriteResult::TimedOut);
    expectOneFailedMessage();
    EXPECT_EQ(logWhenTold, QStringList{QString()});
    EXPECT_EQ(log.text(), QStringLiteral("Lip\r\n"));
}

TEST_F(NetkeelProtocolTest, AShortAnswerToALogOnlyWriteIsNotShown)
{
    port.answer("Wbr", {"Lb"});
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::Baud, QStringLiteral("5")),
              WriteResult::TimedOut);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(log.text(), kNoRespondLine);
}

TEST_F(NetkeelProtocolTest, TheRestOfAnAnswerArrivingInThePauseIsLoggedWithIt)
{
    // "Lma00" crosses no threshold in time; the rest comes during the pause.
    port.answer("Wma", {"Lma00", "", "1122334455\r\n"});
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::Mac, QStringLiteral("001122334455")),
              WriteResult::TimedOut);
    expectOneFailedMessage();
    EXPECT_EQ(log.text(), QStringLiteral("Lma001122334455\r\n\r\n"));
}

TEST_F(NetkeelProtocolTest, PortCommandsSendBothValuesAndLeaveThePortOpen)
{
    port.silence("Wpn");
    EXPECT_EQ(protocol.writePorts(kCom1, QStringLiteral("502"), QStringLiteral("503")),
              WriteResult::TimedOut);
    EXPECT_EQ(port.written, (QByteArrayList{"Wpn502\r\n", "Wdp503\r\n"}));
    expectOneFailedMessage();
    EXPECT_EQ(log.text(), kNoRespondLine + QStringLiteral("Ldp503\r\n\r\n"));
    EXPECT_TRUE(port.isOpen());

    // The next command finds the port open and uses it as it is.
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::Store, {}), WriteResult::Answered);
    EXPECT_EQ(port.openedDevices, QStringList{QStringLiteral("/dev/fake1")});
    EXPECT_FALSE(port.isOpen());
}

TEST_F(NetkeelProtocolTest, APortLeftOpenOnAnotherLinkIsReopenedOnTheNewOne)
{
    protocol.writePorts(kCom1, QStringLiteral("1973"), QStringLiteral("1973"));
    protocol.write(kCom2, WriteSetting::Store, {});
    EXPECT_EQ(port.openedDevices,
              (QStringList{QStringLiteral("/dev/fake1"), QStringLiteral("/dev/fake2")}));
}

TEST_F(NetkeelProtocolTest, ALinkWithoutSerialPortIsToldAndNothingIsSent)
{
    const LinkTarget etherNet = linkForListText(QStringLiteral("EtherNet"));
    EXPECT_FALSE(etherNet.isSerial());
    EXPECT_EQ(protocol.write(etherNet, WriteSetting::Store, {}), WriteResult::PortUnusable);
    EXPECT_EQ(protocol.writePorts(etherNet, QStringLiteral("1"), QStringLiteral("1")),
              WriteResult::PortUnusable);
    EXPECT_FALSE(protocol.readSettings(etherNet).complete);

    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(port.openedDevices.isEmpty());
    ASSERT_EQ(prompter.messages().size(), 3);
    for (const common::Message &message : prompter.messages()) {
        EXPECT_EQ(message.text, noSerialPortText(etherNet));
        EXPECT_TRUE(message.text.contains(u"EtherNet"));
        EXPECT_EQ(message.title, QStringLiteral("错误"));
        EXPECT_EQ(message.icon, common::MessageIcon::Error);
    }
    EXPECT_TRUE(log.text().isEmpty());
}

TEST_F(NetkeelProtocolTest, APortThatWillNotOpenIsToldOnceWithItsReason)
{
    port.openError = QStringLiteral("Permission denied");
    EXPECT_EQ(protocol.writePorts(kCom1, QStringLiteral("1"), QStringLiteral("1")),
              WriteResult::PortUnusable);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("串口 COM1 (/dev/fake1) 打不开：Permission denied"));
    EXPECT_TRUE(port.written.isEmpty());
}

TEST_F(NetkeelProtocolTest, ADeviceFailingDuringTheWaitIsToldAndThePortClosed)
{
    port.failNextWait = true;
    port.silence("Wip");
    EXPECT_EQ(protocol.write(kCom1, WriteSetting::ModuleIp, QStringLiteral("1.2.3.4")),
              WriteResult::PortUnusable);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text, portFailedText(kCom1, QStringLiteral("device gone")));
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
