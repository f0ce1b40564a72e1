#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// The board's command payloads. Every command is 21 payload bytes whose first
// byte is the command code, in a 22-byte buffer whose last byte receives the
// checksum; picture data packets are larger (132 bytes).
namespace pravik::link {

enum class CommandCode : std::uint8_t {
    DisplayRange = 0x01,
    ClockFromComputer = 0x03,
    ScreenProperties = 0x04,
    ClockFromFields = 0x05,
    PictureData = 0x12,
};

inline constexpr int kCommandChecksumIndex = 21;

// A number 0..99 as a packed BCD byte (45 -> 0x45); larger numbers give 0.
std::uint8_t toBcd(int number);

// A fresh command buffer: the code at index 0, zeros up to the checksum byte.
QByteArray commandBuffer(CommandCode code);

QByteArray displayRangePayload(int startScreen, int screenCount);

// The board's clock set from a date and time of day.
QByteArray clockPayload(const QDateTime &when);

// The texts of the settings dialog's clock group.
struct ClockFields
{
    QString section; // "段"
    QString year;
    QString month;
    QString day;
    QString hour;
    QString minute;
    QString second;
    int timeZoneIndex = 19;
};

// The clock payload from the dialog's fields, or nothing when a field holds a
// negative number, which the board's bytes cannot carry.
std::optional<QByteArray> fieldsClockPayload(const ClockFields &fields);

} // namespace pravik::link
