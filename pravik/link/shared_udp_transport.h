#pragma once

#include "serial_link.h"
#include "shared_udp_socket.h"

#include <memory>

namespace pravik::link {

// The board link over UDP for one of many boards sent to at the same time:
// frames leave through the socket shared by every board on the local port,
// and answers are taken from this board's mailbox only, so they come from the
// board's own address as on a socket of its own. It takes and refuses the
// same addresses as the link of a board alone.
class SharedUdpTransport : public DatagramLink
{
public:
    explicit SharedUdpTransport(SharedUdpSockets &sockets);
    ~SharedUdpTransport() override;

    LinkTraits traits() const override { return {false, 5}; }
    common::Status discardInput() override { return {}; }
    common::Status send(const QByteArray &frame) override;
    common::Status waitForData(int msecs, bool &dataWaiting) override;
    common::Status readWaiting(QByteArray &data) override;

    void setRemote(const QString &host, std::int32_t port) override;
    std::int32_t localPort() const override { return m_localPort; }
    common::Status setLocalPort(std::int32_t port) override;

private:
    void closeMailbox();
    common::Status takeSocket();

    SharedUdpSockets &m_sockets;
    std::shared_ptr<SharedUdpSocket> m_socket;
    std::shared_ptr<SharedUdpSocket::Mailbox> m_mailbox;
    common::Expected<QHostAddress> m_remoteAddress;
    std::int32_t m_remotePort = 1973;
    std::int32_t m_localPort = 1973;
};

} // namespace pravik::link
