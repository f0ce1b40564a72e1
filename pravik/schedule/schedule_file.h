#pragma once

#include "schedule.h"

#include "common/failure.h"

#include <QStringList>

namespace pravik::schedule {

// A schedule that cannot be used: the service starts nothing.
inline constexpr int kUnusableSchedule = 2;

// The schedule of the text, one rule a line with # comments; a failure
// "line N: ..." for the first line that is wrong.
common::Expected<Schedule> parseSchedule(const QString &text);

// The same from a UTF-8 file; the failure names the file.
common::Expected<Schedule> readScheduleFile(const QString &path);

// Whether every board the rules name is a board of the fleet.
common::Status checkBoardNames(const Schedule &schedule, const QStringList &fleetBoardNames);

} // namespace pravik::schedule
