#include "board_identity.h"

#include "pravik/document/board_settings.h"

#include "common/dotted_address.h"
#include "common/serial_port_names.h"

namespace pravik::link {

QString linkIdentity(const document::BoardSettings &settings, const QString &serialDevice)
{
    if (settings.isEthernet())
        return QStringLiteral("udp:%1:%2")
            .arg(common::canonicalDottedQuad(settings.ipAddress.trimmed()))
            .arg(settings.ipPort);
    return QStringLiteral("serial:") +
           (serialDevice.isEmpty() ? common::serialDeviceForPort(settings.port) : serialDevice);
}

QString boardIdentity(const document::BoardSettings &settings, const QString &serialDevice)
{
    return linkIdentity(settings, serialDevice) +
           QStringLiteral(" address %1").arg(settings.busAddress());
}

} // namespace pravik::link
