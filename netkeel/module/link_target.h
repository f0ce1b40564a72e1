#pragma once

#include <QString>

namespace netkeel {

// The serial port a command goes to: its name for messages and the device to
// open. An empty device means the link names no serial port.
struct LinkTarget
{
    QString name;
    QString device;

    bool isSerial() const { return !device.isEmpty(); }
};

// The link list's text: "COM1" ... is a serial port; "EtherNet" and anything
// else typed there is none.
LinkTarget linkForListText(const QString &text);

// A terminal's --port: a COM name or a device path.
LinkTarget linkForPortArgument(const QString &argument);

} // namespace netkeel
