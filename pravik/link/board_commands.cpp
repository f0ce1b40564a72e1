#include "board_commands.h"

#include "common/numbers.h"

#include <array>

namespace pravik::link {
namespace {

char byte(int value)
{
    return static_cast<char>(static_cast<std::uint8_t>(value));
}

std::int64_t fieldValue(const QString &text)
{
    return common::roundHalfEven(common::leadingNumber(text));
}

} // namespace

std::uint8_t toBcd(int number)
{
    if (number > 99 || number < 0)
        return 0;
    return static_cast<std::uint8_t>((number / 10) * 16 + number % 10);
}

QByteArray commandBuffer(CommandCode code)
{
    QByteArray buffer(kCommandChecksumIndex + 1, '\0');
    buffer[0] = static_cast<char>(code);
    return buffer;
}

QByteArray displayRangePayload(int startScreen, int screenCount)
{
    QByteArray buffer = commandBuffer(CommandCode::DisplayRange);
    buffer[5] = byte(startScreen % 256);
    buffer[6] = byte(screenCount % 256);
    return buffer;
}

QByteArray clockPayload(const QDateTime &when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QByteArray buffer = commandBuffer(CommandCode::ClockFromComputer);
    buffer[12] = byte(toBcd(time.second()));
    buffer[13] = byte(toBcd(time.minute()));
    buffer[14] = byte(toBcd(time.hour()));
    buffer[15] = byte(toBcd(date.day()));
    buffer[16] = byte(toBcd(date.month()));
    // Qt counts Monday as 1 and Sunday as 7; the board counts Sunday as 0.
    buffer[18] = byte(toBcd(date.dayOfWeek() % 7));
    buffer[19] = byte(toBcd(date.year() / 100));
    buffer[20] = byte(toBcd(date.year() % 100));
    return buffer;
}

std::optional<QByteArray> fieldsClockPayload(const ClockFields &fields)
{
    const std::array<std::int64_t, 7> values{
        fieldValue(fields.section), fieldValue(fields.year),   fieldValue(fields.month),
        fieldValue(fields.day),     fieldValue(fields.hour),   fieldValue(fields.minute),
        fieldValue(fields.second),
    };
    for (const std::int64_t value : values) {
        if (value < 0)
            return std::nullopt;
    }
    if (fields.timeZoneIndex < 0)
        return std::nullopt;
    const auto [section, year, month, day, hour, minute, second] = values;

    QByteArray buffer = commandBuffer(CommandCode::ClockFromFields);
    buffer[3] = byte(static_cast<int>(section % 16)); // a plain number, not BCD
    buffer[4] = byte(toBcd(static_cast<int>(year % 10000 / 100)));
    buffer[5] = byte(toBcd(static_cast<int>(year % 10000 % 100)));
    // December and the 31st leave as 0x12 and 0x31, as in the clock taken from
    // the computer; larger values wrap like the hour and minute do.
    buffer[6] = byte(toBcd(static_cast<int>(month > 12 ? month % 12 : month)));
    buffer[7] = byte(toBcd(static_cast<int>(day > 31 ? day % 31 : day)));
    buffer[8] = byte(toBcd(static_cast<int>(hour % 24)));
    buffer[9] = byte(toBcd(static_cast<int>(minute % 60)));
    buffer[10] = byte(toBcd(static_cast<int>(second % 60)));
    buffer[11] = byte(toBcd(fields.timeZoneIndex % 32));
    return buffer;
}

} // namespace pravik::link
