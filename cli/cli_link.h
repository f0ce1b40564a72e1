#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/link/board_link.h"
#include "pravik/link/clock.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/tick_waiter.h"
#include "pravik/link/udp_transport.h"

#include <QTimer>
#include <memory>
#include <optional>

namespace common {
class Prompter;
}

namespace pravik::cli {

// Where --link sends the commands instead of the display file's own link:
// "udp:HOST:PORT", or "serial:DEVICE[@BAUD]" with a device path or a COMn name.
struct LinkOverride
{
    bool udp = false;
    QString host;
    int port = 0;
    QString device;
    double baud = 0; // 0: the display file's baud rate
};

std::optional<LinkOverride> parseLinkOverride(const QString &text, QString &error);

// Applies an override to the settings: the link kind, address and port, or
// serial device and baud rate. Returns the device a serial override names.
QString applyLinkOverride(const LinkOverride &linkOverride, document::BoardSettings &settings);

// The board link of the terminal tools: the real serial port and UDP socket,
// the system clock and a 10 ms tick timer of its own.
class CliLink
{
public:
    CliLink(const document::BoardSettings &settings, common::Prompter &prompter);
    void useSerialDevice(const QString &device);
    link::BoardLink &link() { return m_link; }

private:
    link::SerialTransport m_serial;
    link::UdpTransport m_udp;
    link::SystemClock m_clock;
    QTimer m_tickTimer;
    link::TimerTickWaiter m_tickWaiter{m_tickTimer};
    link::BoardLink m_link;
};

} // namespace pravik::cli
