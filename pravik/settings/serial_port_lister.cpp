#include "serial_port_lister.h"

#include "common/serial_port_names.h"

#include <QDir>
#include <QSerialPortInfo>
#include <algorithm>

namespace pravik::settings {
namespace {

// Where the system keeps its list of serial devices; when that list cannot be
// read, the enumeration has failed.
bool deviceListReadable()
{
#if defined(Q_OS_LINUX)
    return QDir(QStringLiteral("/sys/class/tty")).isReadable();
#else
    return true;
#endif
}

} // namespace

std::optional<QList<int>> SystemSerialPortLister::comNumbers() const
{
    if (!deviceListReadable())
        return std::nullopt;
    QList<int> numbers;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (const int number = common::comNumberForDevice(port.systemLocation()); number > 0)
            numbers << number;
    }
    for (int number = common::kFirstComPort; number <= common::kLastComPort; ++number) {
        if (qEnvironmentVariableIsSet(common::comPortName(number).toLatin1().constData()))
            numbers << number;
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers.mid(0, common::kLastComPort);
}

} // namespace pravik::settings
