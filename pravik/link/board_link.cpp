#include "board_link.h"

#include "link_messages.h"
#include "serial_link.h"

#include "common/serial_port_names.h"

namespace pravik::link {

BoardLink::BoardLink(const document::BoardSettings &settings, SerialLink &serial,
                     DatagramLink &udp, common::Prompter &prompter, Clock &clock,
                     TickWaiter &tickWaiter)
    : m_settings(settings), m_serial(serial), m_udp(udp), m_prompter(prompter), m_clock(clock),
      m_tickWaiter(tickWaiter), m_deviceForPort(common::serialDeviceForPort)
{
}

void BoardLink::report(const LinkResult &result)
{
    if (result)
        reportLinkFailure(m_prompter, *result);
}

void BoardLink::openLink()
{
    if (!m_settings.isEthernet()) {
        // Closing a port that is not open is no failure.
        m_serial.close();
        const QString device = m_deviceForPort(m_settings.port);
        if (device.isEmpty()) {
            report(LinkFailure{LinkFailure::Kind::DeviceUnavailable, QString()});
        } else {
            report(m_serial.configure(device, m_settings.baud));
            report(m_serial.open());
        }
    } else {
        m_udp.setRemote(m_settings.ipAddress, m_settings.ipPort);
        if (m_udp.localPort() != m_settings.ipPort)
            report(m_udp.setLocalPort(m_settings.ipPort));
        // A serial port left open by an earlier serial board is released.
        m_serial.close();
    }
    m_linkOpened = true;
}

bool BoardLink::serialPortOpen() const
{
    return m_serial.isOpen();
}

ExchangeResult BoardLink::exchangePacket(QByteArray &buffer, int checksumIndex)
{
    const TransferScope transfer(*this);
    Transport &transport = m_settings.isEthernet() ? static_cast<Transport &>(m_udp)
                                                   : static_cast<Transport &>(m_serial);
    ExchangeContext context{m_settings.busAddress(), m_settings.feedback != 0, m_prompter,
                            m_clock, m_tickWaiter};
    if (m_activity)
        context.keepAlive = [this] { m_activity->keepAlive(); };
    return link::exchangePacket(transport, context, buffer, checksumIndex);
}

void BoardLink::setActivity(LinkActivity *activity)
{
    m_activity = activity;
    m_serial.setKeepAlive(activity ? std::function<void()>([activity] { activity->keepAlive(); })
                                   : std::function<void()>());
}

BoardLink::TransferScope::TransferScope(BoardLink &link) : m_link(link)
{
    if (m_link.m_transferDepth++ == 0 && m_link.m_activity)
        m_link.m_activity->transferStarted();
}

BoardLink::TransferScope::~TransferScope()
{
    if (--m_link.m_transferDepth == 0 && m_link.m_activity)
        m_link.m_activity->transferEnded();
}

} // namespace pravik::link
