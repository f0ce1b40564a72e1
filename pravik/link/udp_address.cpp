#include "udp_address.h"

#include "link_messages.h"

#include "common/dotted_address.h"

namespace pravik::link {

common::Expected<QHostAddress> boardAddress(const QString &text)
{
    const QString address = common::canonicalDottedQuad(text.trimmed());
    QHostAddress parsed;
    if ((address.contains(u':') || common::isDottedQuad(address)) && parsed.setAddress(address))
        return parsed;
    return linkFailure(QStringLiteral("IP 地址无效: %1").arg(text));
}

common::Status checkUdpPort(std::int32_t port)
{
    if (port >= 0 && port <= 65535)
        return {};
    return linkFailure(QStringLiteral("IP 端口无效: %1").arg(port));
}

} // namespace pravik::link
