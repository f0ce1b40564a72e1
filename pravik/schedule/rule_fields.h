#pragma once

#include "schedule.h"

#include "common/failure.h"

#include <QString>
#include <QStringList>

namespace pravik::schedule {

// The fields of a schedule line. Each gives its value or a failure whose text
// says what is wrong and quotes the word: "<what is wrong>, not '<word>'".

// A failure of the schedule with this text.
common::Failure unusable(const QString &text);

common::Failure wrongWord(const QString &what, const QString &word);

// "*" (an empty list: every board) or names separated by commas.
common::Expected<QStringList> parseBoards(const QString &field);

// daily; mon ... sun, ranges mon-fri (wrapping fri-mon), dates 2026-12-24 and
// date ranges 2026-12-24..2026-12-26, separated by commas.
common::Expected<DaySet> parseDays(const QString &field);

struct WindowTimes
{
    int startMinute = 0;
    int endMinute = 0;
};

// HH:MM-HH:MM (the end may be 24:00) or all-day.
common::Expected<WindowTimes> parseTimes(const QString &field);

// HH:MM from 00:00 to 23:59.
common::Expected<QTime> parseClockTime(const QString &field);

// START COUNT within the board's 239 screens.
common::Expected<DisplayRange> parseRange(const QString &start, const QString &count);

// A path inside the content folder, by its spelling; links are the service's
// to check when it opens the file.
common::Status checkPath(const QString &path);

} // namespace pravik::schedule
