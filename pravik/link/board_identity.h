#pragma once

#include <QString>

namespace pravik::document {
struct BoardSettings;
}

namespace pravik::link {

// The link a board is reached by, whatever the spelling of its settings:
// "udp:192.168.1.50:1973" or "serial:/dev/ttyUSB0". A serial board is named by
// the device its COM number opens, unless the device is given. Boards with
// the same link take turns on it.
QString linkIdentity(const document::BoardSettings &settings, const QString &serialDevice = {});

// A board: its link and its bus address, "udp:192.168.1.50:1973 address 1".
// Two boards of one name are one board: a fleet refuses them, and the record
// of what a board holds is kept under this name.
QString boardIdentity(const document::BoardSettings &settings, const QString &serialDevice = {});

} // namespace pravik::link
