#include "exchange.h"

#include "clock.h"
#include "frame.h"
#include "tick_waiter.h"
#include "transport.h"

#include "common/numbers.h"

namespace pravik::link {
namespace {

constexpr std::int64_t kMsecsPerSecond = 1000;

common::Failure noEcho()
{
    return {static_cast<int>(ExchangeResult::NoEcho), QStringLiteral("超时"),
            QStringLiteral("请检查线路"), common::MessageIcon::Information};
}

common::Failure wrongEcho(std::uint8_t sent, std::uint8_t returned)
{
    return {static_cast<int>(ExchangeResult::WrongEcho), QStringLiteral("校验错误"),
            QStringLiteral("SEND ") + common::signPosition(sent) + QStringLiteral("  RETURN ") +
                common::signPosition(returned),
            common::MessageIcon::None};
}

} // namespace

ExchangeResult exchangeResultOf(const common::Status &status)
{
    if (!status)
        return ExchangeResult::Ok;
    switch (status->code) {
    case static_cast<int>(ExchangeResult::WrongEcho):
        return ExchangeResult::WrongEcho;
    case static_cast<int>(ExchangeResult::NoEcho):
        return ExchangeResult::NoEcho;
    default:
        return ExchangeResult::LinkFailed;
    }
}

common::Status exchangePacket(Transport &transport, const ExchangeContext &context,
                              QByteArray &buffer, int checksumIndex)
{
    const std::uint8_t checksum = payloadChecksum(buffer, checksumIndex);
    buffer[checksumIndex] = static_cast<char>(checksum);
    const QByteArray frame = buildFrame(context.busAddress, buffer, checksumIndex);
    const LinkTraits traits = transport.traits();

    // The time-out counts whole seconds from the first send and is not renewed
    // by the resend: the echo is given up once the whole-second count has moved
    // on by more than the link's limit. A monotonic clock keeps that rule
    // across midnight and clock changes.
    const std::int64_t startSecond = context.clock.monotonicMsecs() / kMsecsPerSecond;
    const std::int64_t giveUpAt = (startSecond + traits.timeoutSeconds + 1) * kMsecsPerSecond;

    int retries = 0;
    for (;;) {
        if (traits.discardBeforeSend) {
            if (common::Status failed = transport.discardInput())
                return failed;
        }
        if (common::Status failed = transport.send(frame))
            return failed;

        if (!context.feedback) {
            context.tickWaiter.waitOneTick();
            return {};
        }

        bool resend = false;
        while (!resend) {
            const std::int64_t remaining = giveUpAt - context.clock.monotonicMsecs();
            bool dataWaiting = false;
            if (remaining > 0) {
                if (common::Status failed =
                        transport.waitForData(static_cast<int>(remaining), dataWaiting))
                    return failed;
            }
            if (!dataWaiting) {
                if (context.clock.monotonicMsecs() < giveUpAt)
                    continue;
                return noEcho();
            }

            QByteArray answer;
            if (common::Status failed = transport.readWaiting(answer))
                return failed;
            if (answer.isEmpty())
                continue;
            // Only the first byte counts; the rest of a reading is ignored.
            const auto echo = static_cast<std::uint8_t>(answer[0]);
            if (echo == checksum)
                return {};
            if (++retries > 1)
                return wrongEcho(checksum, echo);
            resend = true;
        }
    }
}

} // namespace pravik::link
