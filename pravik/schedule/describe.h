#pragma once

#include "schedule.h"

namespace pravik::schedule {

// What a board shows, for the service's state and log: "lobby/normal.lt",
// "lobby/normal.lt, screens 0-1", "nothing".
QString describe(const Showing &showing);

// A rule as the service understood it, one line for a check of the file:
// "line 8: every board: mon-fri 07:00-09:00: lobby/morning.lt".
QString describe(const Rule &rule);

} // namespace pravik::schedule
