#pragma once

#include "pravik/document/board_settings.h"

#include "common/failure.h"

#include <QString>

namespace pravik::link {

// A link named instead of the display file's own: "udp:HOST:PORT", or
// "serial:DEVICE[@BAUD]" with a device path or a COMn name. pravik-cli's
// --link and every line of a fleet file name one.
struct LinkOverride
{
    bool udp = false;
    QString host;
    int port = 0;
    QString device;
    double baud = 0; // 0: the display file's baud rate
};

common::Expected<LinkOverride> parseLinkOverride(const QString &text);

// Applies an override to the settings: the link kind, address and port, or
// serial device and baud rate. Returns the device a serial override names.
QString applyLinkOverride(const LinkOverride &linkOverride, document::BoardSettings &settings);

} // namespace pravik::link
