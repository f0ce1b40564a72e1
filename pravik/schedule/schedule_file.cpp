#include "schedule_file.h"

#include "rule_fields.h"

#include "common/line_comments.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace pravik::schedule {
namespace {

// What follows the first `words` words of a trimmed line: a path may hold
// spaces.
QString restAfter(const QString &line, int words)
{
    static const QRegularExpression wordThenSpace(QStringLiteral("^\\S+\\s+"));
    QString rest = line;
    for (int i = 0; i < words; ++i)
        rest.remove(wordThenSpace);
    return rest;
}

common::Expected<Rule> parseDefault(const QString &line, const QStringList &fields)
{
    if (fields.size() < 3)
        return wrongWord(QStringLiteral("write default BOARDS PATH"), line);
    const common::Expected<QStringList> boards = parseBoards(fields[1]);
    if (!boards)
        return boards.failure();
    Rule rule;
    rule.kind = RuleKind::Default;
    rule.boards = *boards;
    rule.file = restAfter(line, 2);
    if (const common::Status wrong = checkPath(rule.file))
        return *wrong;
    return rule;
}

common::Expected<Rule> parseWindow(const QString &line, const QStringList &fields)
{
    const common::Failure usage = wrongWord(
        QStringLiteral("write window BOARDS DAYS TIMES file PATH or range START COUNT"), line);
    if (fields.size() < 6)
        return usage;
    const common::Expected<QStringList> boards = parseBoards(fields[1]);
    if (!boards)
        return boards.failure();
    const common::Expected<DaySet> days = parseDays(fields[2]);
    if (!days)
        return days.failure();
    const common::Expected<WindowTimes> times = parseTimes(fields[3]);
    if (!times)
        return times.failure();
    Rule rule{0, RuleKind::Window, *boards, *days, times->startMinute, times->endMinute, {}, {}};
    const QString what = fields[4].toLower();
    if (what == QStringLiteral("file")) {
        rule.file = restAfter(line, 5);
        if (const common::Status wrong = checkPath(rule.file))
            return *wrong;
        return rule;
    }
    if (what != QStringLiteral("range"))
        return wrongWord(QStringLiteral("a window shows file PATH or range START COUNT"),
                         fields[4]);
    if (fields.size() != 7)
        return usage;
    const common::Expected<DisplayRange> range = parseRange(fields[5], fields[6]);
    if (!range)
        return range.failure();
    rule.range = *range;
    return rule;
}

common::Expected<Rule> parseRule(const QString &line, const QStringList &fields)
{
    const QString keyword = fields[0].toLower();
    if (keyword == QStringLiteral("default"))
        return parseDefault(line, fields);
    if (keyword == QStringLiteral("window"))
        return parseWindow(line, fields);
    return wrongWord(QStringLiteral("a rule is clock, default or window"), fields[0]);
}

} // namespace

common::Expected<Schedule> parseSchedule(const QString &text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    Schedule schedule;
    int clockLine = 0;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = common::withoutComment(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const int number = int(i + 1);
        const auto atLine = [number](const common::Failure &failure) {
            common::Failure located = failure;
            located.text = QStringLiteral("line %1: %2").arg(number).arg(failure.text);
            return located;
        };
        const QStringList fields = line.split(space);
        if (fields[0].toLower() == QStringLiteral("clock")) {
            if (fields.size() != 2)
                return atLine(wrongWord(QStringLiteral("write clock HH:MM"), line));
            if (clockLine != 0)
                return atLine(wrongWord(
                    QStringLiteral("the clock time is set on line %1 already").arg(clockLine),
                    fields[1]));
            const common::Expected<QTime> clock = parseClockTime(fields[1]);
            if (!clock)
                return atLine(clock.failure());
            schedule.clockTime = *clock;
            clockLine = number;
            continue;
        }
        common::Expected<Rule> rule = parseRule(line, fields);
        if (!rule)
            return atLine(rule.failure());
        rule->line = number;
        schedule.rules << *rule;
    }
    return schedule;
}

common::Expected<Schedule> readScheduleFile(const QString &path)
{
    const auto naming = [&path](const QString &text) {
        return unusable(path + QStringLiteral(": ") + text);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return naming(file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(file.readAll());
    if (utf8.hasError())
        return naming(QStringLiteral("the schedule is not UTF-8 text"));
    common::Expected<Schedule> schedule = parseSchedule(text);
    if (!schedule)
        return naming(schedule.failure().text);
    return schedule;
}

common::Status checkBoardNames(const Schedule &schedule, const QStringList &fleetBoardNames)
{
    for (const Rule &rule : schedule.rules) {
        for (const QString &board : rule.boards) {
            if (!fleetBoardNames.contains(board))
                return unusable(QStringLiteral("line %1: no board named '%2' in the fleet")
                                    .arg(rule.line)
                                    .arg(board));
        }
    }
    return std::nullopt;
}

} // namespace pravik::schedule
