#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace LedBoardSim {

// Command codes: the first payload byte of every frame.
enum CommandCode : quint8 {
    DisplayRange = 0x01,
    ClockFromComputer = 0x03,
    ScreenProperties = 0x04,
    ClockFromFields = 0x05,
    PictureData = 0x12,
};

struct DecodedCommand
{
    int code = -1;
    QString name;       // "display-range", "clock", ... or "unknown"
    QJsonObject fields; // the command's values, named
    QStringList notes;  // things a board would not expect (reserved bytes set, bad BCD, ...)
};

// A packed BCD byte as a number, or -1 when a nibble is above 9.
int fromBcd(quint8 byte);

// boardType only names the plane of a picture packet (single, green or red).
DecodedCommand decodeCommand(const QByteArray &payload, int boardType);

QString effectName(int code);
QString stayModeName(int code);
QString timeZoneName(int index);

} // namespace LedBoardSim
