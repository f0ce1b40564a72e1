#include "direct_commands.h"

#include "board_link.h"
#include "clock.h"

#include "pravik/document/program_texts.h"

#include "common/numbers.h"

namespace pravik::link {
namespace {

common::Failure refused(const QString &text, common::MessageIcon icon = common::MessageIcon::Error)
{
    return {common::kRefusedCode, kProgramTitle, text, icon};
}

// Sends the command; "发送成功" under `title` once the board echoed it.
CommandResult sent(BoardLink &link, QByteArray &buffer, const QString &title,
                   common::MessageIcon icon)
{
    if (common::Status failed = link.exchangePacket(buffer, kCommandChecksumIndex))
        return *failed;
    return common::Message{kSentText, title, icon, common::MessageButtons::Ok};
}

} // namespace

CommandResult sendClockFromComputer(BoardLink &link)
{
    QByteArray buffer = clockPayload(link.clock().currentDateTime());
    return sent(link, buffer, QStringLiteral("Success"), common::MessageIcon::Question);
}

CommandResult sendClockFromFields(BoardLink &link, const ClockFields &fields)
{
    std::optional<QByteArray> buffer = fieldsClockPayload(fields);
    if (!buffer)
        return refused(QStringLiteral("时钟的各项不能是负数，时钟没有发送。"));
    return sent(link, *buffer, QStringLiteral("Success"), common::MessageIcon::Question);
}

CommandResult sendDisplayRange(BoardLink &link, const QString &start, const QString &count)
{
    const std::int64_t first = common::roundHalfEven(common::leadingNumber(start));
    const std::int64_t screens = common::roundHalfEven(common::leadingNumber(count));
    if (first < 0 || screens < 0)
        return refused(QStringLiteral("起始幕和显示幕数不能是负数，没有发送。"));
    // On a serial line whose port did not open there is nothing to send through.
    if (!link.settings().isEthernet() && !link.serialPortOpen())
        return refused(kSetUpPortText);
    QByteArray buffer =
        displayRangePayload(static_cast<int>(first % 256), static_cast<int>(screens % 256));
    return sent(link, buffer, kProgramTitle, common::MessageIcon::None);
}

} // namespace pravik::link
