#include "exchange.h"

#include "clock.h"
#include "frame.h"
#include "link_messages.h"
#include "tick_waiter.h"
#include "transport.h"

#include "common/numbers.h"
#include "common/prompter.h"

#include <algorithm>

namespace pravik::link {
namespace {

constexpr std::int64_t kMsecsPerSecond = 1000;

ExchangeResult linkFailed(const ExchangeContext &context, const LinkFailure &failure)
{
    reportLinkFailure(context.prompter, failure);
    return ExchangeResult::LinkFailed;
}

} // namespace

ExchangeResult exchangePacket(Transport &transport, const ExchangeContext &context,
                              QByteArray &buffer, int checksumIndex)
{
    // A fast board answers within one slice: the window then gets its turn
    // once a frame, and decides itself how often it needs it.
    if (context.keepAlive)
        context.keepAlive();
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
            if (const LinkResult failure = transport.discardInput())
                return linkFailed(context, *failure);
        }
        if (const LinkResult failure = transport.send(frame))
            return linkFailed(context, *failure);

        if (!context.feedback) {
            context.tickWaiter.waitOneTick();
            return ExchangeResult::Ok;
        }

        bool resend = false;
        while (!resend) {
            const std::int64_t remaining = giveUpAt - context.clock.monotonicMsecs();
            bool dataWaiting = false;
            if (remaining > 0) {
                const std::int64_t wait =
                    context.keepAlive ? std::min<std::int64_t>(remaining, kKeepAliveSliceMsecs)
                                      : remaining;
                if (const LinkResult failure =
                        transport.waitForData(static_cast<int>(wait), dataWaiting))
                    return linkFailed(context, *failure);
            }
            if (!dataWaiting) {
                if (context.clock.monotonicMsecs() < giveUpAt) {
                    if (context.keepAlive)
                        context.keepAlive();
                    continue;
                }
                ++retries;
                context.prompter.tell(QStringLiteral("请检查线路"), QStringLiteral("超时"),
                                      common::MessageIcon::Information);
                return ExchangeResult::NoEcho;
            }

            QByteArray answer;
            if (const LinkResult failure = transport.readWaiting(answer))
                return linkFailed(context, *failure);
            if (answer.isEmpty())
                continue;
            // Only the first byte counts; the rest of a reading is ignored.
            const auto echo = static_cast<std::uint8_t>(answer[0]);
            if (echo == checksum)
                return ExchangeResult::Ok;
            if (++retries > 1) {
                context.prompter.tell(QStringLiteral("SEND ") + common::signPosition(checksum) +
                                          QStringLiteral("  RETURN ") + common::signPosition(echo),
                                      QStringLiteral("校验错误"), common::MessageIcon::None);
                return ExchangeResult::WrongEcho;
            }
            resend = true;
        }
    }
}

} // namespace pravik::link
