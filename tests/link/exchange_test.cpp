#include "link_fakes.h"

#include "pravik/link/exchange.h"
#include "pravik/link/frame.h"
#include "pravik/link/link_messages.h"

#include <gtest/gtest.h>

using namespace pravik::link;
using common::MessageIcon;

namespace {

constexpr LinkTraits kSerial{true, 2};
constexpr LinkTraits kEthernet{false, 5};
const QString kTimeOut = QStringLiteral("超时|请检查线路");

struct Case
{
    const char *behaviour;
    LinkTraits traits;
    std::int64_t start; // the monotonic clock at the first send
    std::deque<FakeTransport::Reply> replies;
    ExchangeResult result;
    int sent;             // frames sent, all the same
    int discards;         // input discarded before a send
    QList<int> waits;     // the msecs of each wait for the echo
    QString message = {}; // "title|text" of the one message; empty: none
    MessageIcon icon = MessageIcon::None;
    int checksum = 0x40;
    bool feedback = true;
    common::Status failOnSend = {};
};

constexpr auto kOk = ExchangeResult::Ok;
constexpr auto kNoEcho = ExchangeResult::NoEcho;
constexpr auto kInformation = MessageIcon::Information;

// The echo is given up once the whole-second count has moved on by more than
// 2 (serial) or 5 (Ethernet) from the second of the first send.
// clang-format off
const Case kCases[] = {
    {"the echo of the checksum ends the exchange",
     kSerial, 10'000, {{bytes({0x40})}}, kOk, 1, 1, {3000}},
    {"only the first byte of an answer counts",
     kSerial, 10'000, {{bytes({0x40, 0x55, 0x66})}}, kOk, 1, 1, {3000}},
    {"one wrong echo sends the same frame again",
     kSerial, 10'000, {{bytes({0x11})}, {bytes({0x40})}}, kOk, 2, 2, {3000, 2995}},
    {"a second wrong echo is a checksum error",
     kSerial, 10'000, {{bytes({17})}, {bytes({17})}, {bytes({200})}}, ExchangeResult::WrongEcho,
     2, 2, {3000, 2995}, QStringLiteral("校验错误|SEND  200  RETURN  17"), MessageIcon::None, 200},
    {"a wrong echo then silence times out",
     kSerial, 10'000, {{bytes({0x99})}, {}}, kNoEcho, 2, 2, {3000, 2995}, kTimeOut, kInformation},
    {"serial silence",
     kSerial, 10'000, {}, kNoEcho, 1, 1, {3000}, kTimeOut, kInformation},
    {"serial silence late in a second",
     kSerial, 10'900, {}, kNoEcho, 1, 1, {2100}, kTimeOut, kInformation},
    {"Ethernet silence",
     kEthernet, 10'000, {}, kNoEcho, 1, 0, {6000}, kTimeOut, kInformation},
    {"Ethernet silence later in a second",
     kEthernet, 10'400, {}, kNoEcho, 1, 0, {5600}, kTimeOut, kInformation},
    {"the resent frame gets only the rest of the time-out",
     kSerial, 20'000, {{bytes({0x99}), 2'600}, {}}, kNoEcho, 2, 2, {3000, 400}, kTimeOut,
     kInformation},
    {"Ethernet judges what was waiting and discards nothing",
     kEthernet, 10'000, {{bytes({0x40}), 1'000}}, kOk, 1, 0, {6000}},
    {"feedback off waits one tick and reads nothing",
     kSerial, 10'000, {{bytes({0x77})}}, kOk, 1, 1, {}, {}, MessageIcon::None, 0x40, false},
    {"a vanished device is told as such",
     kSerial, 10'000, {}, ExchangeResult::LinkFailed, 0, 1, {},
     QStringLiteral(" COM Error|当前串口操作失败，请重新设置!"), MessageIcon::Question, 0x40, true,
     deviceUnavailable()},
    {"any other port failure is told with its description",
     kSerial, 10'000, {}, ExchangeResult::LinkFailed, 0, 1, {},
     QStringLiteral("系统错误|串口 /dev/ttyS0 没有打开"), MessageIcon::Question, 0x40, true,
     linkFailure(QStringLiteral("串口 /dev/ttyS0 没有打开"))},
};
// clang-format on

} // namespace

TEST(ExchangeTest, EchoesTimeOutsAndFailures)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.behaviour);
        FakeClock clock;
        clock.msecs = c.start;
        CountingTickWaiter ticks;
        FakeTransport line(clock, c.traits);
        line.replies = c.replies;
        line.failOnSend = c.failOnSend;
        QByteArray buffer = commandStartingWith({c.checksum});

        const ExchangeContext context{1, c.feedback, clock, ticks};
        const common::Status failure = exchangePacket(line.transport(), context, buffer, 21);
        EXPECT_EQ(exchangeResultOf(failure), c.result);
        if (failure) {
            EXPECT_EQ(failure->code, static_cast<int>(c.result));
        }
        EXPECT_EQ(static_cast<std::uint8_t>(buffer[21]), c.checksum);
        EXPECT_EQ(line.sent, QList<QByteArray>(c.sent, buildFrame(1, buffer, 21)));
        EXPECT_EQ(line.discards, c.discards);
        EXPECT_EQ(line.waits, c.waits);
        EXPECT_EQ(ticks.ticks, c.feedback ? 0 : 1);
        EXPECT_EQ(failure ? failure->title + u'|' + failure->text : QString(), c.message);
        if (failure) {
            EXPECT_EQ(failure->icon, c.icon);
        }
    }
}
