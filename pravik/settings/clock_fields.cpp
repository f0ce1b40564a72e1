#include "clock_fields.h"

#include "common/numbers.h"

#include <cmath>

namespace pravik::settings {

QStringList timeZoneNames()
{
    QStringList names;
    for (int offset = -11; offset <= -1; ++offset)
        names << QStringLiteral("UCT%1").arg(offset);
    names << QStringLiteral("UTC");
    for (int offset = 1; offset <= 13; ++offset)
        names << QStringLiteral("UTC+%1").arg(offset);
    return names;
}

QString normalisedText(const QString &text)
{
    const double value = std::fabs(std::floor(common::leadingNumber(text)));
    return QString::number(value, 'f', 0);
}

QString limitedText(const QString &text, int most)
{
    const QString normalised = normalisedText(text);
    return common::leadingNumber(normalised) > most ? QStringLiteral("0") : normalised;
}

MonthAndDay checkedMonthAndDay(const QString &month, const QString &day)
{
    const double m = common::leadingNumber(month);
    const double d = common::leadingNumber(day);
    double daysInMonth = 0;
    if (m == 1 || m == 3 || m == 5 || m == 7 || m == 8 || m == 10 || m == 12)
        daysInMonth = 31;
    else if (m == 4 || m == 6 || m == 9 || m == 11)
        daysInMonth = 30;
    else if (m == 2)
        daysInMonth = 29;
    else
        return {QStringLiteral("1"), day};
    return {month, d > daysInMonth ? QStringLiteral("1") : day};
}

} // namespace pravik::settings
