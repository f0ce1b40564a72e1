#pragma once

#include "serial_link.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace pravik::link {

// The board link over UDP. Only datagrams from the board's address count as
// answers; anything else is dropped unread, so a stray sender on the network
// cannot acknowledge a packet.
class UdpTransport : public DatagramLink
{
public:
    UdpTransport();

    LinkTraits traits() const override { return {false, 5}; }
    common::Status discardInput() override { return {}; }
    common::Status send(const QByteArray &frame) override;
    common::Status waitForData(int msecs, bool &dataWaiting) override;
    common::Status readWaiting(QByteArray &data) override;

    void setRemote(const QString &host, std::int32_t port) override;
    std::int32_t localPort() const override { return m_localPort; }
    common::Status setLocalPort(std::int32_t port) override;

private:
    common::Status bindLocalPort();
    bool dropStrayDatagrams();

    QUdpSocket m_socket;
    common::Expected<QHostAddress> m_remoteAddress;
    std::int32_t m_remotePort = 1973;
    std::int32_t m_localPort = 1973;
    QByteArray m_waiting;
    bool m_hasWaiting = false;
};

} // namespace pravik::link
