#include "serial_port_names.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace common {
namespace {

bool isComNumber(int number)
{
    return number >= kFirstComPort && number <= kLastComPort;
}

QString overrideFor(int number)
{
    return qEnvironmentVariable(comPortName(number).toLatin1().constData());
}

} // namespace

QString comPortName(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

QString serialDeviceForPort(int number)
{
    if (!isComNumber(number))
        return {};
#ifdef Q_OS_WIN
    return comPortName(number);
#else
    if (const QString configured = overrideFor(number); !configured.isEmpty())
        return configured;
    const QString usbAdapter = QStringLiteral("/dev/ttyUSB%1").arg(number - 1);
    if (QFileInfo::exists(usbAdapter))
        return usbAdapter;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

int comNumberForDevice(const QString &device)
{
#ifdef Q_OS_WIN
    static const QRegularExpression name(QStringLiteral("^COM(\\d+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = name.match(device);
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    return isComNumber(number) ? number : 0;
#else
    for (int number = kFirstComPort; number <= kLastComPort; ++number) {
        if (overrideFor(number) == device)
            return number;
    }
    for (int number = kFirstComPort; number <= kLastComPort; ++number) {
        if (overrideFor(number).isEmpty() && serialDeviceForPort(number) == device)
            return number;
    }
    return 0;
#endif
}

} // namespace common
