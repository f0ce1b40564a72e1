#pragma once

#include "job_context.h"

namespace pravik::jobs {

// Send All: every screen of the list in order, picture then properties, and
// on the operator's yes the display command for screens 0 to N - 1. With a
// compare file set, only the compare-file check runs and nothing is sent.
JobResult sendAll(JobContext &context);

// Sends the screen in list row `row` (1 for the first screen): its picture,
// then its properties; no display command, no message on success.
JobResult sendSpecifiedPicture(JobContext &context, int row);

// Resends the properties of every screen, without pictures, then "发送成功".
JobResult sendAllProperties(JobContext &context);

// Tells the board to show `count` screens from `start` (one 22-byte command),
// unless its record says it does already; the record learns what the board
// acknowledged.
JobResult sendDisplayRange(JobContext &context, int start, int count);

} // namespace pravik::jobs
