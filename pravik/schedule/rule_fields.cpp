#include "rule_fields.h"

#include "schedule_file.h"

#include <QRegularExpression>

namespace pravik::schedule {
namespace {

constexpr int kDayMinutes = 24 * 60;
constexpr int kBoardScreens = 239;

const QStringList &weekdayNames()
{
    static const QStringList names{
        QStringLiteral("mon"), QStringLiteral("tue"), QStringLiteral("wed"), QStringLiteral("thu"),
        QStringLiteral("fri"), QStringLiteral("sat"), QStringLiteral("sun")};
    return names;
}

// Bit 0 for Monday; nothing for a word that is not a weekday.
std::optional<int> weekdayIndex(const QString &word)
{
    const qsizetype index = weekdayNames().indexOf(word.toLower());
    return index < 0 ? std::nullopt : std::optional<int>(int(index));
}

std::optional<QDate> date(const QString &word)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(word);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day(match.captured(1).toInt(), match.captured(2).toInt(),
                    match.captured(3).toInt());
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

// Minutes after midnight of HH:MM; 24:00 only where the end of a day is meant.
std::optional<int> minuteOfDay(const QString &word, bool endOfDayAllowed)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(word);
    if (!match.hasMatch())
        return std::nullopt;
    const int minute = match.captured(1).toInt() * 60 + match.captured(2).toInt();
    if (match.captured(2).toInt() > 59 || minute > kDayMinutes ||
        (minute == kDayMinutes && !endOfDayAllowed))
        return std::nullopt;
    return minute;
}

// One item of a day list into the set; false when it is not one.
bool addDays(const QString &item, DaySet &days)
{
    if (item.compare(QStringLiteral("daily"), Qt::CaseInsensitive) == 0) {
        days.weekdays = 0x7F;
        return true;
    }
    if (const std::optional<int> day = weekdayIndex(item)) {
        days.weekdays |= quint8(1u << *day);
        return true;
    }
    const QStringList weekdayEnds = item.split(u'-');
    if (weekdayEnds.size() == 2) {
        const std::optional<int> first = weekdayIndex(weekdayEnds[0]);
        const std::optional<int> last = weekdayIndex(weekdayEnds[1]);
        if (first && last) {
            for (int day = *first;; day = (day + 1) % 7) {
                days.weekdays |= quint8(1u << day);
                if (day == *last)
                    break;
            }
            return true;
        }
    }
    const qsizetype dots = item.indexOf(QStringLiteral(".."));
    const std::optional<QDate> first = date(dots < 0 ? item : item.left(dots));
    const std::optional<QDate> last = dots < 0 ? first : date(item.mid(dots + 2));
    if (!first || !last)
        return false;
    days.dates << DateSpan{*first, *last};
    return true;
}

} // namespace

common::Failure unusable(const QString &text)
{
    return common::Failure{kUnusableSchedule, QStringLiteral("schedule"), text};
}

common::Failure wrongWord(const QString &what, const QString &word)
{
    return unusable(QStringLiteral("%1, not '%2'").arg(what, word));
}

common::Expected<QStringList> parseBoards(const QString &field)
{
    if (field == QStringLiteral("*"))
        return QStringList();
    const QStringList names = field.split(u',');
    for (const QString &name : names) {
        if (name.isEmpty() || name == QStringLiteral("*"))
            return wrongWord(QStringLiteral("the boards are * or names separated by commas"),
                             field);
    }
    return names;
}

common::Expected<DaySet> parseDays(const QString &field)
{
    DaySet days;
    for (const QString &item : field.split(u',')) {
        if (!addDays(item, days))
            return wrongWord(QStringLiteral("a day is daily, mon to sun, a range such as mon-fri, "
                                            "a date 2026-12-24 or dates 2026-12-24..2026-12-26"),
                             item);
        if (!days.dates.isEmpty() && days.dates.last().first > days.dates.last().last)
            return wrongWord(QStringLiteral("dates run from the earlier to the later"), item);
    }
    return days;
}

common::Expected<WindowTimes> parseTimes(const QString &field)
{
    if (field.compare(QStringLiteral("all-day"), Qt::CaseInsensitive) == 0)
        return WindowTimes{0, kDayMinutes};
    const QStringList ends = field.split(u'-');
    const std::optional<int> start = ends.size() == 2 ? minuteOfDay(ends[0], false) : std::nullopt;
    const std::optional<int> end = ends.size() == 2 ? minuteOfDay(ends[1], true) : std::nullopt;
    if (!start || !end)
        return wrongWord(QStringLiteral("the times are HH:MM-HH:MM (up to 24:00) or all-day"),
                         field);
    if (*start == *end)
        return wrongWord(QStringLiteral("a window that ends when it begins is empty"), field);
    return WindowTimes{*start, *end};
}

common::Expected<QTime> parseClockTime(const QString &field)
{
    const std::optional<int> minute = minuteOfDay(field, false);
    if (!minute)
        return wrongWord(QStringLiteral("the clock time is HH:MM from 00:00 to 23:59"), field);
    return QTime(*minute / 60, *minute % 60);
}

common::Expected<DisplayRange> parseRange(const QString &start, const QString &count)
{
    bool startOk = false;
    bool countOk = false;
    const DisplayRange range{start.toInt(&startOk), count.toInt(&countOk)};
    if (!startOk || range.start < 0 || range.start >= kBoardScreens)
        return wrongWord(QStringLiteral("the first screen is 0 to 238"), start);
    if (!countOk || range.count < 1 || range.count > kBoardScreens)
        return wrongWord(QStringLiteral("the number of screens is 1 to 239"), count);
    if (range.start + range.count > kBoardScreens)
        return wrongWord(QStringLiteral("the range ends past screen 238"), start + u' ' + count);
    return range;
}

common::Status checkPath(const QString &path)
{
    if (path.isEmpty())
        return wrongWord(QStringLiteral("a path names a file in the content folder"), path);
    if (path.contains(u'\\'))
        return wrongWord(QStringLiteral("folders are separated by /"), path);
    if (path.startsWith(u'/'))
        return wrongWord(QStringLiteral("the path is relative to the content folder"), path);
    if (path.split(u'/').contains(QStringLiteral("..")))
        return wrongWord(QStringLiteral("the path stays inside the content folder"), path);
    return std::nullopt;
}

} // namespace pravik::schedule
