#pragma once

#include <QJsonObject>

namespace netkeel {
struct ModuleReading;
}

namespace netkeel::cli {

// multi (0 or 1), mac, baud (the rate), ip, reply, gateway, mask, port and
// destPort; a field the read sequence did not get is left out.
QJsonObject readingToJson(const ModuleReading &reading);

} // namespace netkeel::cli
