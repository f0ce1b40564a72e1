#include "board_link.h"

#include "link_messages.h"
#include "serial_link.h"

#include "common/serial_port_names.h"

namespace pravik::link {

BoardLink::BoardLink(const document::BoardSettings &settings, SerialLink &serial, DatagramLink &udp,
                     Clock &clock, TickWaiter &tickWaiter)
    : m_settings(settings), m_serial(serial), m_udp(udp), m_clock(clock), m_tickWaiter(tickWaiter),
      m_deviceForPort(common::serialDeviceForPort)
{
}

QList<common::Failure> BoardLink::openLink()
{
    QList<common::Failure> failures;
    const auto note = [&failures](const common::Status &status) {
        if (status)
            failures << *status;
    };
    if (!m_settings.isEthernet()) {
        // Closing a port that is not open is no failure.
        m_serial.close();
        const QString device = m_deviceForPort(m_settings.port);
        if (device.isEmpty()) {
            failures << deviceUnavailable();
        } else {
            note(m_serial.configure(device, m_settings.baud));
            note(m_serial.open());
        }
    } else {
        m_udp.setRemote(m_settings.ipAddress, m_settings.ipPort);
        if (m_udp.localPort() != m_settings.ipPort)
            note(m_udp.setLocalPort(m_settings.ipPort));
        // A serial port left open by an earlier serial board is released.
        m_serial.close();
    }
    m_linkOpened = true;
    return failures;
}

bool BoardLink::serialPortOpen() const
{
    return m_serial.isOpen();
}

common::Status BoardLink::exchangePacket(QByteArray &buffer, int checksumIndex)
{
    Transport &transport = m_settings.isEthernet() ? static_cast<Transport &>(m_udp)
                                                   : static_cast<Transport &>(m_serial);
    const ExchangeContext context{m_settings.busAddress(), m_settings.feedback != 0, m_clock,
                                  m_tickWaiter};
    return link::exchangePacket(transport, context, buffer, checksumIndex);
}

} // namespace pravik::link
