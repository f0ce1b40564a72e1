#pragma once

#include "job_context.h"

namespace pravik::jobs {

// The preview captions: the link and the row on the wire. Send All names the
// board's IP address, sending one screen its bus address.
QString sendAllCaption(const document::BoardSettings &settings, int row);
QString oneScreenCaption(const document::BoardSettings &settings, int row);

// Shows the drawn canvas of list row `row` with `caption` and sends it as
// screen row - 1, then its properties. Failed at the first failure, cancelled
// before the first frame after a stop request. A part the ledger says the
// board holds already is left out; a screen left out whole is not shown. A
// picture that goes out is always followed by its own properties, as the
// board has only ever seen them; properties alone may go out by themselves.
JobResult transferScreen(JobContext &context, int row, const QString &caption);

} // namespace pravik::jobs
