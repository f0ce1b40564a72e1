#pragma once

#include "schedule.h"

#include <QDateTime>
#include <QTimeZone>

namespace pravik::schedule {

// What the board shows at the instant, by the wall-clock time in the zone.
Showing showingAt(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                  const QDateTime &instant);

// The same for rules already narrowed to one board, at a local minute.
Showing showingAt(const QList<const Rule *> &boardRules, LocalMinute at);

// The rules that apply to the board, in file order.
QList<const Rule *> rulesFor(const Schedule &schedule, const QString &board);

} // namespace pravik::schedule
