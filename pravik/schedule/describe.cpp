#include "describe.h"

namespace pravik::schedule {
namespace {

QString screens(const DisplayRange &range)
{
    return range.count == 1 ? QStringLiteral("screen %1").arg(range.start)
                            : QStringLiteral("screens %1-%2")
                                  .arg(range.start)
                                  .arg(range.start + range.count - 1);
}

QString clockText(int minute)
{
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

// The days as the service understood them: weekdays in runs from Monday,
// then the dates.
QString daysText(const DaySet &days)
{
    static const char *const names[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    QStringList items;
    if (days.weekdays == 0x7F)
        items << QStringLiteral("daily");
    for (int day = 0; day < 7 && days.weekdays != 0x7F; ++day) {
        if (!(days.weekdays & (1u << day)))
            continue;
        int last = day;
        while (last + 1 < 7 && (days.weekdays & (1u << (last + 1))))
            ++last;
        items << (last == day ? QString::fromLatin1(names[day])
                              : QStringLiteral("%1-%2").arg(QLatin1String(names[day]),
                                                            QLatin1String(names[last])));
        day = last;
    }
    for (const DateSpan &span : days.dates) {
        const QString first = span.first.toString(Qt::ISODate);
        items << (span.first == span.last
                      ? first
                      : first + QStringLiteral("..") + span.last.toString(Qt::ISODate));
    }
    return items.join(u',');
}

QString whenText(const Rule &rule)
{
    if (rule.kind == RuleKind::Default)
        return QStringLiteral("default");
    if (rule.startMinute == 0 && rule.endMinute == 24 * 60)
        return daysText(rule.days) + QStringLiteral(" all day");
    return QStringLiteral("%1 %2-%3%4")
        .arg(daysText(rule.days), clockText(rule.startMinute), clockText(rule.endMinute),
             rule.crossesMidnight() ? QStringLiteral(" (next day)") : QString());
}

} // namespace

QString describe(const Showing &showing)
{
    if (!showing.range)
        return showing.file.isEmpty() ? QStringLiteral("nothing") : showing.file;
    if (showing.file.isEmpty())
        return screens(*showing.range) + QStringLiteral(" of the file on the board");
    return showing.file + QStringLiteral(", ") + screens(*showing.range);
}

QString describe(const Rule &rule)
{
    return QStringLiteral("line %1: %2: %3: %4")
        .arg(QString::number(rule.line),
             rule.boards.isEmpty() ? QStringLiteral("every board")
                                   : rule.boards.join(QStringLiteral(", ")),
             whenText(rule), rule.range ? screens(*rule.range) : rule.file);
}

} // namespace pravik::schedule
