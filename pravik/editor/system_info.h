#pragma once

#include "pravik/document/board_settings.h"

#include <QString>

namespace pravik::editor {

inline const QString kSystemInfoTitle = QStringLiteral("系统信息");

// The text of the system information box: board geometry, capacity estimate,
// bus address, version, build and contact line.
QString systemInfoText(const document::BoardSettings &settings);

} // namespace pravik::editor
