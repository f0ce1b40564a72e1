#include "link_fakes.h"

#include "pravik/link/board_link.h"
#include "pravik/link/direct_commands.h"
#include "pravik/link/link_messages.h"

#include <gtest/gtest.h>

using namespace pravik::link;
using pravik::document::BoardSettings;

namespace {

class BoardLinkTest : public ::testing::Test
{
protected:
    BoardLinkTest()
    {
        settings.port = 3;
        settings.baud = 9600;
        link.setDeviceForPort([](int n) { return QStringLiteral("/dev/fake%1").arg(n); });
    }

    BoardSettings settings;
    FakeClock clock;
    CountingTickWaiter ticks;
    FakeTransport serial{clock, {true, 2}};
    FakeTransport udp{clock, {false, 5}};
    BoardLink link{settings, serial, udp, clock, ticks};
};

} // namespace

TEST_F(BoardLinkTest, OpeningSetsUpTheSerialPortOrTheSocket)
{
    EXPECT_TRUE(link.openLink().isEmpty());
    EXPECT_TRUE(link.openLink().isEmpty());
    EXPECT_EQ(serial.calls, (QStringList{"close", "configure /dev/fake3 9600", "open", "close",
                                         "configure /dev/fake3 9600", "open"}));
    EXPECT_TRUE(link.serialPortOpen());
    EXPECT_TRUE(link.linkOpened());

    // Ethernet sets the remote and releases the serial port. The local port
    // already is 1973: it is left alone.
    serial.calls.clear();
    settings.port = 0; // Ethernet
    settings.ipAddress = QStringLiteral("192.168.0.200");
    settings.ipPort = 1973;
    link.openLink();
    EXPECT_EQ(udp.calls, QStringList{"remote 192.168.0.200:1973"});
    EXPECT_EQ(serial.calls, QStringList{"close"});
    EXPECT_FALSE(link.serialPortOpen());

    settings.ipPort = 2000;
    udp.calls.clear();
    EXPECT_TRUE(link.openLink().isEmpty());
    EXPECT_EQ(udp.calls, (QStringList{"remote 192.168.0.200:2000", "local 2000"}));
}

TEST_F(BoardLinkTest, FailingStepsAreReportedAndTheRestStillRuns)
{
    serial.failOnConfigure = badLinkSettings();
    serial.failOnOpen = linkFailure(QStringLiteral("Permission denied"));
    const QList<common::Failure> failures = link.openLink();
    EXPECT_EQ(serial.calls.last(), QStringLiteral("open"));
    QStringList told;
    for (const common::Failure &failure : failures) {
        told << failure.title + u'|' + failure.text;
        EXPECT_EQ(failure.icon, common::MessageIcon::Question);
        EXPECT_EQ(failure.code, 5);
    }
    EXPECT_EQ(told, (QStringList{"系统错误|INI File Error", "系统错误|Permission denied"}));
    EXPECT_TRUE(link.linkOpened());
}

TEST_F(BoardLinkTest, ExchangeGoesOverTheLinkTheSettingsChoose)
{
    link.openLink();
    serial.replies = {{bytes({0x03})}};
    QByteArray buffer = commandBuffer(CommandCode::ClockFromComputer);
    EXPECT_EQ(link.exchangePacket(buffer, kCommandChecksumIndex), std::nullopt);
    EXPECT_EQ(serial.sent.size(), 1);
    EXPECT_TRUE(udp.sent.isEmpty());

    // The same buffer again, its checksum slot now filled, on another link.
    settings.port = 0;
    settings.ipAddress = QStringLiteral("10.0.0.9");
    settings.setBusAddress(0x22);
    udp.replies = {{bytes({0x03})}};
    EXPECT_EQ(link.exchangePacket(buffer, kCommandChecksumIndex), std::nullopt);
    ASSERT_EQ(udp.sent.size(), 1);
    EXPECT_EQ(udp.sent[0][2], 0x22);
}

TEST_F(BoardLinkTest, RefusedCommandsSendNothing)
{
    // The serial port never opened: the range has no way to the board.
    serial.failOnOpen = linkFailure(QStringLiteral("busy"));
    link.openLink();
    const auto refusal = [](const CommandResult &result) {
        return result ? QString() : result.failure().title + u'|' + result.failure().text;
    };
    EXPECT_EQ(refusal(sendDisplayRange(link, QStringLiteral("0"), QStringLiteral("3"))),
              QStringLiteral("Pravik|请设置通讯端口"));
    EXPECT_EQ(refusal(sendDisplayRange(link, QStringLiteral("-1"), QStringLiteral("3"))),
              QStringLiteral("Pravik|起始幕和显示幕数不能是负数，没有发送。"));
    const CommandResult clock = sendClockFromFields(link, {"", "2004", "", "", "-3", "", "", 19});
    EXPECT_EQ(refusal(clock), QStringLiteral("Pravik|时钟的各项不能是负数，时钟没有发送。"));
    EXPECT_EQ(clock.failure().code, 2);
    EXPECT_TRUE(serial.sent.isEmpty());
}
