#pragma once

#include "job_context.h"

namespace pravik::jobs {

// Whether list row `row` names an existing picture file; when it does not,
// the operator is told `missingText` followed by the name the row gives.
bool requirePictureFile(JobContext &context, int row, const QString &missingText);

// Draws the source of list row `row` on the canvas. A missing file is told
// with `missingText` followed by its name, a file that is no picture with its
// own description under "系统错误". False when nothing was drawn.
bool drawScreenSource(JobContext &context, int row, const QString &missingText);

// The preview captions: the link and the row on the wire. Send All names the
// board's IP address, sending one screen its bus address.
QString sendAllCaption(const document::BoardSettings &settings, int row);
QString oneScreenCaption(const document::BoardSettings &settings, int row);

// Shows the drawn canvas of list row `row` with `caption` and sends it as
// screen row - 1, then its properties. Stopped at the first failure, cancelled
// before the first frame after a stop request. A part the ledger says the
// board holds already is left out; a screen left out whole is not shown.
JobResult transferScreen(JobContext &context, int row, const QString &caption);

} // namespace pravik::jobs
