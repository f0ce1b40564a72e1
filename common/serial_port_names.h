#pragma once

#include <QString>

// Boards are addressed as COM1 ... COM16 in display files and dialogs. On
// Windows that is the device's own name. Elsewhere the name is mapped to a
// device file: an environment variable of the port's name (COM3=/dev/ttyUSB0)
// wins; otherwise COMn is /dev/ttyUSB(n-1) when that adapter is present, else
// the built-in port /dev/ttyS(n-1).
namespace common {

inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 16;

QString comPortName(int number);

// The device to open for COMn, or an empty text for a number outside 1..16.
QString serialDeviceForPort(int number);

// The COM number a device goes by (the reverse of the mapping above), or 0
// when the device has no COM name.
int comNumberForDevice(const QString &device);

} // namespace common
