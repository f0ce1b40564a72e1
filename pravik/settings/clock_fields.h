#pragma once

#include <QString>
#include <QStringList>

// The rules of the dialog's clock fields, kept apart from the widgets: their
// start texts, the time zone list, and the corrections a field makes when
// the operator leaves it.
namespace pravik::settings {

// The texts the clock fields start with each time the dialog opens; they are
// not taken from the computer's clock.
inline const QString kStartYear = QStringLiteral("2004");
inline const QString kStartMonth = QStringLiteral("10");
inline const QString kStartDay = QStringLiteral("1");
inline const QString kStartTime = QStringLiteral("0"); // hour, minute, second
inline const QString kStartSegment = QStringLiteral("0");

// "UTC+8"; the board takes the list index, not the text.
inline constexpr int kDefaultTimeZoneIndex = 19;

inline constexpr int kLastHour = 23;
inline constexpr int kLastMinute = 60; // as the board's fields allow, 60 stays
inline constexpr int kLastSegment = 16;

// The 25 entries of ComTzone: "UCT-11" ... "UCT-1", "UTC", "UTC+1" ... "UTC+13".
QStringList timeZoneNames();

// The whole number a field holds: the absolute value of the largest whole
// number not above the text's leading number, so -3.7 gives "4", 12.9 gives
// "12" and letters give "0".
QString normalisedText(const QString &text);

// The normalised text, or "0" when that is above `most`.
QString limitedText(const QString &text, int most);

struct MonthAndDay
{
    QString month;
    QString day;
};

// The month check made when the month or the day is left: a day beyond the
// month's length becomes "1" (February has 29 days in every year), a month
// that is none of 1..12 becomes "1" and the day then stays.
MonthAndDay checkedMonthAndDay(const QString &month, const QString &day);

} // namespace pravik::settings
