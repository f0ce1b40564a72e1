#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace pravikd {

// "2026-10-25 02:30+02:00": the wall-clock time in the zone with its offset
// from UTC, so that the hour repeated when the clocks go back reads right;
// "-" for no time.
QString localTimeText(const QDateTime &instant, const QTimeZone &zone);

} // namespace pravikd
