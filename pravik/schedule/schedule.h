#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QtGlobal>
#include <optional>

namespace pravik::schedule {

// A display range as the board takes it: `count` screens from screen `start`,
// counted from 0.
struct DisplayRange
{
    int start = 0;
    int count = 0;
    friend bool operator==(const DisplayRange &, const DisplayRange &) = default;
};

// A wall-clock minute in the schedule's zone: the local date as a Julian day
// and the minutes after its midnight.
struct LocalMinute
{
    qint64 day = 0;
    int minute = 0;
};

// Dates from `first` to `last`, both included.
struct DateSpan
{
    QDate first;
    QDate last;
    friend bool operator==(const DateSpan &, const DateSpan &) = default;
};

// The days on which a window begins: weekdays, dates, or both.
struct DaySet
{
    quint8 weekdays = 0; // bit 0 Monday ... bit 6 Sunday
    QList<DateSpan> dates;

    bool contains(qint64 julianDay) const;
    friend bool operator==(const DaySet &, const DaySet &) = default;
};

enum class RuleKind { Default, Window };

// One `default` or `window` line of the schedule file.
struct Rule
{
    int line = 0;
    RuleKind kind = RuleKind::Window;
    QStringList boards; // empty: every board of the fleet (*)
    // Windows: the days they begin on and their wall-clock times in minutes
    // after midnight. An end at or before the start is on the next day.
    DaySet days;
    int startMinute = 0;
    int endMinute = 0; // 1 ... 1440
    // A default or a `file` window names a display file; a `range` window
    // names a range of whatever file the board shows beneath it.
    QString file;
    std::optional<DisplayRange> range;

    bool appliesTo(const QString &board) const;
    bool crossesMidnight() const { return endMinute <= startMinute; }
    bool inForce(LocalMinute at) const;
    friend bool operator==(const Rule &, const Rule &) = default;
};

// The schedule file: when the boards' clocks are set and what they show.
struct Schedule
{
    QTime clockTime{4, 0};
    QList<Rule> rules; // in file order: later rules win
};

// What a board shows: a display file (all of its screens, or a range of
// them). An empty file with no range is nothing: the board is left alone. An
// empty file with a range is a range of whatever file the board holds.
struct Showing
{
    QString file;
    std::optional<DisplayRange> range;
    int line = 0; // the rule that decided it; 0 for none. Not compared.

    bool isNothing() const { return file.isEmpty() && !range; }
    friend bool operator==(const Showing &a, const Showing &b)
    {
        return a.file == b.file && a.range == b.range;
    }
};

} // namespace pravik::schedule
