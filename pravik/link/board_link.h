#pragma once

#include "exchange.h"
#include "transport.h"

#include "pravik/document/board_settings.h"

#include <QList>
#include <QString>
#include <functional>

namespace pravik::link {

class Clock;
class DatagramLink;
class SerialLink;
class TickWaiter;

// The link to the board: the serial port and the UDP socket, set up from the
// board settings by openLink, and the packet exchange over whichever of the
// two the settings choose. It lives and is used on one thread.
class BoardLink
{
public:
    using DeviceForPort = std::function<QString(int portNumber)>;

    BoardLink(const document::BoardSettings &settings, SerialLink &serial, DatagramLink &udp,
              Clock &clock, TickWaiter &tickWaiter);

    // Which device a COM number opens; the COM name mapping unless told otherwise.
    void setDeviceForPort(DeviceForPort deviceForPort)
    {
        m_deviceForPort = std::move(deviceForPort);
    }

    // Prepares the serial port or the UDP socket from the settings. Every step
    // is tried; the failures of those that failed come back in order.
    QList<common::Failure> openLink();
    bool linkOpened() const { return m_linkOpened; }
    bool serialPortOpen() const;

    // The exchange over the link the settings choose (port 0: UDP).
    common::Status exchangePacket(QByteArray &buffer, int checksumIndex);

    Clock &clock() { return m_clock; }
    const document::BoardSettings &settings() const { return m_settings; }

private:
    const document::BoardSettings &m_settings;
    SerialLink &m_serial;
    DatagramLink &m_udp;
    Clock &m_clock;
    TickWaiter &m_tickWaiter;
    DeviceForPort m_deviceForPort;
    bool m_linkOpened = false;
};

} // namespace pravik::link
