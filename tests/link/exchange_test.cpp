#include "link_fakes.h"

#include "pravik/link/exchange.h"
#include "pravik/link/frame.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace pravik::link;

namespace {

constexpr LinkTraits kSerial{true, 2};
constexpr LinkTraits kEthernet{false, 5};

QByteArray one(int value)
{
    return QByteArray(1, static_cast<char>(value));
}

class ExchangeTest : public ::testing::Test
{
protected:
    ExchangeResult exchange(FakeTransport &transport, QByteArray &buffer, bool feedback = true)
    {
        const ExchangeContext context{1, feedback, prompter, clock, ticks};
        return exchangePacket(transport.transport(), context, buffer, 21);
    }

    // A command whose checksum is `checksum`.
    static QByteArray commandSumming(int checksum)
    {
        QByteArray buffer(22, '\0');
        buffer[0] = static_cast<char>(checksum);
        return buffer;
    }

    void expectOneMessage(const QString &text, const QString &title, common::MessageIcon icon)
    {
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, text);
        EXPECT_EQ(prompter.messages()[0].title, title);
        EXPECT_EQ(prompter.messages()[0].icon, icon);
    }

    FakeClock clock;
    CountingTickWaiter ticks;
    common::RecordingPrompter prompter;
};

} // namespace

TEST_F(ExchangeTest, EchoOfTheChecksumEndsTheExchange)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x03)}};
    QByteArray buffer = commandSumming(0x03);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::Ok);
    EXPECT_EQ(buffer[21], 0x03);
    ASSERT_EQ(line.sent.size(), 1);
    EXPECT_EQ(line.sent[0], buildFrame(1, buffer, 21));
    EXPECT_EQ(line.discards, 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(ExchangeTest, OnlyTheFirstByteOfAnAnswerCounts)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x03) + one(0x55) + one(0x66)}};
    QByteArray buffer = commandSumming(0x03);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::Ok);
}

TEST_F(ExchangeTest, OneWrongEchoSendsTheSameFrameAgain)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x11)}, {one(0x40)}};
    QByteArray buffer = commandSumming(0x40);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::Ok);
    ASSERT_EQ(line.sent.size(), 2);
    EXPECT_EQ(line.sent[0], line.sent[1]);
    EXPECT_EQ(line.discards, 2);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(ExchangeTest, TwoWrongEchoesAreAChecksumError)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(17)}, {one(17)}, {one(200)}};
    QByteArray buffer = commandSumming(200);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::WrongEcho);
    EXPECT_EQ(line.sent.size(), 2);
    expectOneMessage(QStringLiteral("SEND  200  RETURN  17"), QStringLiteral("校验错误"),
                     common::MessageIcon::None);
}

TEST_F(ExchangeTest, WrongEchoThenSilenceTimesOut)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x99)}, {QByteArray()}};
    QByteArray buffer = commandSumming(0x40);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::NoEcho);
    EXPECT_EQ(line.sent.size(), 2);
    expectOneMessage(QStringLiteral("请检查线路"), QStringLiteral("超时"),
                     common::MessageIcon::Information);
}

TEST_F(ExchangeTest, SilenceGivesUpAfterMoreThanTheLinksWholeSeconds)
{
    struct Case
    {
        LinkTraits traits;
        std::int64_t start;
        std::int64_t givenUp;
    };
    // The whole-second count must move on by more than 2 (serial) or 5
    // (Ethernet): from 10.000 s that is 13.000 s, from 10.900 s also 13.000 s.
    const Case cases[] = {{kSerial, 10'000, 13'000},
                          {kSerial, 10'900, 13'000},
                          {kEthernet, 10'000, 16'000},
                          {kEthernet, 10'400, 16'000}};
    for (const Case &c : cases) {
        clock.msecs = c.start;
        prompter.clear();
        FakeTransport line(clock, c.traits);
        QByteArray buffer = commandSumming(0x40);
        EXPECT_EQ(exchange(line, buffer), ExchangeResult::NoEcho);
        EXPECT_EQ(clock.msecs, c.givenUp) << c.start;
        EXPECT_EQ(line.sent.size(), 1);
        EXPECT_EQ(prompter.messages().size(), 1);
    }
}

TEST_F(ExchangeTest, ResentFrameGetsOnlyTheRestOfTheTimeOut)
{
    clock.msecs = 20'000;
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x99), 2'600}, {QByteArray()}};
    QByteArray buffer = commandSumming(0x40);
    EXPECT_EQ(exchange(line, buffer), ExchangeResult::NoEcho);
    EXPECT_EQ(clock.msecs, 23'000);
    ASSERT_EQ(line.waits.size(), 2);
    EXPECT_EQ(line.waits[1], 400);
}

TEST_F(ExchangeTest, EthernetJudgesWhatWasWaitingAndDiscardsNothing)
{
    FakeTransport udp(clock, kEthernet);
    udp.replies = {{one(0x40), 1'000}};
    QByteArray buffer = commandSumming(0x40);
    EXPECT_EQ(exchange(udp, buffer), ExchangeResult::Ok);
    EXPECT_EQ(udp.discards, 0);
}

TEST_F(ExchangeTest, FeedbackOffWaitsOneTickAndReadsNothing)
{
    FakeTransport line(clock, kSerial);
    line.replies = {{one(0x77)}};
    QByteArray buffer = commandSumming(0x40);
    EXPECT_EQ(exchange(line, buffer, false), ExchangeResult::Ok);
    EXPECT_EQ(ticks.ticks, 1);
    EXPECT_TRUE(line.waits.isEmpty());
    EXPECT_EQ(line.sent.size(), 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(ExchangeTest, PortFailuresAreReportedOnce)
{
    struct Case
    {
        LinkFailure failure;
        QString text;
        QString title;
    };
    const Case cases[] = {
        {{LinkFailure::Kind::DeviceUnavailable, QStringLiteral("Resource error")},
         QStringLiteral("当前串口操作失败，请重新设置!"), QStringLiteral(" COM Error")},
        {{LinkFailure::Kind::Other, QStringLiteral("串口 /dev/ttyS0 没有打开")},
         QStringLiteral("串口 /dev/ttyS0 没有打开"), QStringLiteral("系统错误")},
    };
    for (const Case &c : cases) {
        prompter.clear();
        FakeTransport line(clock, kSerial);
        line.failOnSend = c.failure;
        QByteArray buffer = commandSumming(0x40);
        EXPECT_EQ(exchange(line, buffer), ExchangeResult::LinkFailed);
        expectOneMessage(c.text, c.title, common::MessageIcon::Question);
    }
}
