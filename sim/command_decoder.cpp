#include "command_decoder.h"

#include <QDate>

#include <array>
#include <bit>

namespace LedBoardSim {

namespace {

quint8 byteAt(const QByteArray &payload, int index)
{
    return index < payload.size() ? static_cast<quint8>(payload.at(index)) : 0;
}

// Bytes the board ignores are sent as 0; anything else hints at a packing slip.
void checkZero(const QByteArray &payload, int from, int to, DecodedCommand &command)
{
    QStringList set;
    for (int i = from; i <= to; ++i) {
        if (byteAt(payload, i) != 0)
            set << QString::number(i);
    }
    if (!set.isEmpty())
        command.notes << QStringLiteral("reserved bytes not zero: %1").arg(set.join(u','));
}

int bcdField(const QByteArray &payload, int index, DecodedCommand &command)
{
    const quint8 raw = byteAt(payload, index);
    const int value = fromBcd(raw);
    if (value < 0)
        command.notes << QStringLiteral("byte %1 is not BCD: 0x%2")
                             .arg(index)
                             .arg(raw, 2, 16, QLatin1Char('0'));
    return value;
}

void decodeDisplayRange(const QByteArray &p, DecodedCommand &c)
{
    c.name = QStringLiteral("display-range");
    c.fields[u"start"] = byteAt(p, 5);
    c.fields[u"count"] = byteAt(p, 6);
    checkZero(p, 1, 4, c);
    checkZero(p, 7, 20, c);
}

void decodeClockFromComputer(const QByteArray &p, DecodedCommand &c)
{
    c.name = QStringLiteral("clock");
    const int second = bcdField(p, 12, c);
    const int minute = bcdField(p, 13, c);
    const int hour = bcdField(p, 14, c);
    const int day = bcdField(p, 15, c);
    const int month = bcdField(p, 16, c);
    const int weekday = bcdField(p, 18, c);
    const int century = bcdField(p, 19, c);
    const int yearInCentury = bcdField(p, 20, c);
    const int year = century < 0 || yearInCentury < 0 ? -1 : century * 100 + yearInCentury;
    c.fields[u"second"] = second;
    c.fields[u"minute"] = minute;
    c.fields[u"hour"] = hour;
    c.fields[u"day"] = day;
    c.fields[u"month"] = month;
    c.fields[u"weekday"] = weekday;
    c.fields[u"year"] = year;
    checkZero(p, 1, 11, c);
    checkZero(p, 17, 17, c);

    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 ||
        second < 0) {
        c.notes << QStringLiteral("not a valid date and time");
        return;
    }
    c.fields[u"time"] = QStringLiteral("%1T%2:%3:%4")
                            .arg(date.toString(Qt::ISODate))
                            .arg(hour, 2, 10, QLatin1Char('0'))
                            .arg(minute, 2, 10, QLatin1Char('0'))
                            .arg(second, 2, 10, QLatin1Char('0'));
    // The board counts weekdays from Sunday = 0.
    if (date.dayOfWeek() % 7 != weekday)
        c.notes << QStringLiteral("weekday %1 does not match the date (expected %2)")
                       .arg(weekday)
                       .arg(date.dayOfWeek() % 7);
}

void decodeClockFromFields(const QByteArray &p, DecodedCommand &c)
{
    c.name = QStringLiteral("clock-from-fields");
    // The segment number is a plain byte, unlike the BCD fields around it.
    c.fields[u"segment"] = byteAt(p, 3);
    const int century = bcdField(p, 4, c);
    const int yearInCentury = bcdField(p, 5, c);
    c.fields[u"year"] = century < 0 || yearInCentury < 0 ? -1 : century * 100 + yearInCentury;
    c.fields[u"month"] = bcdField(p, 6, c);
    c.fields[u"day"] = bcdField(p, 7, c);
    c.fields[u"hour"] = bcdField(p, 8, c);
    c.fields[u"minute"] = bcdField(p, 9, c);
    c.fields[u"second"] = bcdField(p, 10, c);
    const int zone = bcdField(p, 11, c);
    c.fields[u"time_zone_index"] = zone;
    c.fields[u"time_zone"] = timeZoneName(zone);
    checkZero(p, 1, 2, c);
    checkZero(p, 12, 20, c);
}

void decodeScreenProperties(const QByteArray &p, DecodedCommand &c)
{
    c.name = QStringLiteral("screen-properties");
    c.fields[u"screen"] = byteAt(p, 1);
    c.fields[u"entry_effect"] = byteAt(p, 4);
    c.fields[u"entry_effect_name"] = effectName(byteAt(p, 4));
    c.fields[u"entry_speed"] = byteAt(p, 5);
    c.fields[u"exit_effect"] = byteAt(p, 6);
    c.fields[u"exit_effect_name"] = effectName(byteAt(p, 6));
    c.fields[u"exit_speed"] = byteAt(p, 7);
    c.fields[u"stay_mode"] = byteAt(p, 8);
    c.fields[u"stay_mode_name"] = stayModeName(byteAt(p, 8));
    c.fields[u"stay_time"] = byteAt(p, 9);
    checkZero(p, 2, 2, c);
    if (byteAt(p, 3) != 0xFE)
        c.notes << QStringLiteral("byte 3 is 0x%1, not 0xfe")
                       .arg(byteAt(p, 3), 2, 16, QLatin1Char('0'));
    checkZero(p, 10, 20, c);
}

void decodePictureData(const QByteArray &p, int boardType, DecodedCommand &c)
{
    c.name = QStringLiteral("picture-data");
    const int line = byteAt(p, 2);
    c.fields[u"screen"] = byteAt(p, 1);
    c.fields[u"line"] = line;
    c.fields[u"band"] = line / 2;
    c.fields[u"block"] = byteAt(p, 3) / 2;
    c.fields[u"half"] = byteAt(p, 3) % 2;
    // Even lines carry the single plane (or green), odd lines the red plane.
    QString plane = line % 2 == 0 ? QStringLiteral("green") : QStringLiteral("red");
    if (boardType == 1)
        plane = line % 2 == 0 ? QStringLiteral("single") : QStringLiteral("unexpected-odd");
    c.fields[u"plane"] = plane;
    int lit = 0;
    for (int i = 4; i < p.size(); ++i)
        lit += std::popcount(static_cast<quint8>(p.at(i)));
    c.fields[u"lit_leds"] = lit;
    if (boardType == 1 && line % 2 != 0)
        c.notes << QStringLiteral("odd line number on a single-colour board");
}

} // namespace

int fromBcd(quint8 byte)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9)
        return -1;
    return high * 10 + low;
}

QString effectName(int code)
{
    static const std::array<const char *, 15> names = {
        "unfold right",   "unfold left",   "unfold to centre",    "unfold to edges",
        "unfold down",    "unfold up",     "move right",          "move left",
        "move to centre", "move to edges", "move down",           "move up",
        "show at once",   "random",        "animation/continuous"};
    if (code >= 0 && code < static_cast<int>(names.size()))
        return QString::fromLatin1(names[static_cast<size_t>(code)]);
    if (code >= 15 && code <= 31)
        return QStringLiteral("spare %1").arg(code - 14);
    return QStringLiteral("unknown");
}

QString stayModeName(int code)
{
    static const std::array<const char *, 11> names = {"picture stays",
                                                       "blink on/off",
                                                       "blink normal/inverse",
                                                       "continuous display",
                                                       "random",
                                                       "random",
                                                       "random",
                                                       "random",
                                                       "show the time",
                                                       "special screen 1",
                                                       "special screen 2"};
    if (code >= 0 && code < static_cast<int>(names.size()))
        return QString::fromLatin1(names[static_cast<size_t>(code)]);
    return QStringLiteral("unknown");
}

QString timeZoneName(int index)
{
    if (index >= 0 && index <= 10)
        return QStringLiteral("UCT%1").arg(index - 11);
    if (index == 11)
        return QStringLiteral("UTC");
    if (index >= 12 && index <= 24)
        return QStringLiteral("UTC+%1").arg(index - 11);
    return QStringLiteral("unknown");
}

DecodedCommand decodeCommand(const QByteArray &payload, int boardType)
{
    DecodedCommand command;
    command.code = byteAt(payload, 0);
    switch (command.code) {
    case DisplayRange:
        decodeDisplayRange(payload, command);
        break;
    case ClockFromComputer:
        decodeClockFromComputer(payload, command);
        break;
    case ScreenProperties:
        decodeScreenProperties(payload, command);
        break;
    case ClockFromFields:
        decodeClockFromFields(payload, command);
        break;
    case PictureData:
        decodePictureData(payload, boardType, command);
        break;
    default:
        command.name = QStringLiteral("unknown");
        command.notes << QStringLiteral("unknown command code 0x%1")
                             .arg(command.code, 2, 16, QLatin1Char('0'));
        break;
    }
    return command;
}

} // namespace LedBoardSim
