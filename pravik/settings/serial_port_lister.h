#pragma once

#include <QList>
#include <optional>

namespace pravik::settings {

// Which serial ports the computer has, as COM numbers, for the dialog's link
// list. Nothing means the ports could not be enumerated at all; the dialog
// then offers the fixed list COM1 ... COM8.
class SerialPortLister
{
public:
    virtual ~SerialPortLister() = default;
    virtual std::optional<QList<int>> comNumbers() const = 0;
};

// The serial ports the system reports, each under its COM name (see
// common/serial_port_names.h), in ascending order, at most 16. A port set up
// through a COMn environment variable is listed too: a pseudo-terminal or an
// unusual device is never reported by the system, yet the operator named it.
class SystemSerialPortLister : public SerialPortLister
{
public:
    std::optional<QList<int>> comNumbers() const override;
};

} // namespace pravik::settings
