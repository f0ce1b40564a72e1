#include "direct_commands.h"

#include "board_link.h"
#include "clock.h"

#include "pravik/document/program_texts.h"

#include "common/numbers.h"
#include "common/prompter.h"

namespace pravik::link {

std::optional<ExchangeResult> sendClockFromComputer(BoardLink &link)
{
    QByteArray buffer = clockPayload(link.clock().currentDateTime());
    const ExchangeResult result = link.exchangePacket(buffer, kCommandChecksumIndex);
    if (result == ExchangeResult::Ok)
        link.prompter().tell(kSentText, QStringLiteral("Success"), common::MessageIcon::Question);
    return result;
}

std::optional<ExchangeResult> sendClockFromFields(BoardLink &link, const ClockFields &fields)
{
    std::optional<QByteArray> buffer = fieldsClockPayload(fields);
    if (!buffer) {
        link.prompter().tell(QStringLiteral("时钟的各项不能是负数，时钟没有发送。"), kProgramTitle,
                             common::MessageIcon::Error);
        return std::nullopt;
    }
    const ExchangeResult result = link.exchangePacket(*buffer, kCommandChecksumIndex);
    if (result == ExchangeResult::Ok)
        link.prompter().tell(kSentText, QStringLiteral("Success"), common::MessageIcon::Question);
    return result;
}

std::optional<ExchangeResult> sendDisplayRange(BoardLink &link, const QString &start,
                                               const QString &count)
{
    const std::int64_t first = common::roundHalfEven(common::leadingNumber(start));
    const std::int64_t screens = common::roundHalfEven(common::leadingNumber(count));
    if (first < 0 || screens < 0) {
        link.prompter().tell(QStringLiteral("起始幕和显示幕数不能是负数，没有发送。"), kProgramTitle,
                             common::MessageIcon::Error);
        return std::nullopt;
    }
    // On a serial line whose port did not open there is nothing to send through.
    if (!link.settings().isEthernet() && !link.serialPortOpen()) {
        link.prompter().tell(kSetUpPortText, kProgramTitle, common::MessageIcon::Error);
        return std::nullopt;
    }
    QByteArray buffer =
        displayRangePayload(static_cast<int>(first % 256), static_cast<int>(screens % 256));
    const ExchangeResult result = link.exchangePacket(buffer, kCommandChecksumIndex);
    if (result == ExchangeResult::Ok)
        link.prompter().tell(kSentText, kProgramTitle, common::MessageIcon::None);
    return result;
}

} // namespace pravik::link
