#include "link_override.h"

#include "common/serial_port_names.h"

#include <QRegularExpression>

namespace pravik::link {

common::Expected<LinkOverride> parseLinkOverride(const QString &text)
{
    static const QRegularExpression udp(QStringLiteral("^udp:(.+):(\\d{1,5})$"));
    static const QRegularExpression serial(QStringLiteral("^serial:([^@]+)(?:@(\\d+))?$"));
    const auto refused = [](const QString &why) {
        return common::Failure{common::kRefusedCode, QString(), why, common::MessageIcon::Error};
    };
    LinkOverride result;
    if (const auto match = udp.match(text); match.hasMatch()) {
        result.udp = true;
        result.host = match.captured(1);
        result.port = match.captured(2).toInt();
        if (result.port > 65535)
            return refused(QStringLiteral("--link: %1 is no UDP port").arg(result.port));
        return result;
    }
    if (const auto match = serial.match(text); match.hasMatch()) {
        result.device = match.captured(1);
        result.baud = match.captured(2).toDouble();
        return result;
    }
    return refused(
        QStringLiteral("--link takes udp:HOST:PORT or serial:DEVICE[@BAUD], not '%1'").arg(text));
}

QString applyLinkOverride(const LinkOverride &linkOverride, document::BoardSettings &settings)
{
    if (linkOverride.udp) {
        settings.port = 0;
        settings.ipAddress = linkOverride.host;
        settings.ipPort = linkOverride.port;
        return {};
    }
    static const QRegularExpression comName(QStringLiteral("^COM(\\d+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString device = linkOverride.device;
    int port = settings.isEthernet() ? 1 : settings.port;
    if (const auto match = comName.match(device); match.hasMatch()) {
        port = match.captured(1).toInt();
        device = common::serialDeviceForPort(port);
    }
    settings.port = static_cast<std::int16_t>(port);
    if (linkOverride.baud > 0)
        settings.baud = linkOverride.baud;
    return device;
}

} // namespace pravik::link
