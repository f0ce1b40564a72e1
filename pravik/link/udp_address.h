#pragma once

#include "common/failure.h"

#include <QHostAddress>
#include <QString>
#include <cstdint>

namespace pravik::link {

// The board's address as the settings write it: four dotted decimal numbers,
// zero-padded octets read as decimal ("127.000.000.002" is 127.0.0.2), or an
// IPv6 literal. Anything else is refused with "IP 地址无效: ...". Every UDP
// link takes the same addresses, a board alone or one of a fleet.
common::Expected<QHostAddress> boardAddress(const QString &text);

// A UDP port 0..65535; anything else is refused with "IP 端口无效: ...".
common::Status checkUdpPort(std::int32_t port);

} // namespace pravik::link
