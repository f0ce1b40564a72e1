#include "shared_udp_transport.h"

#include "link_messages.h"
#include "udp_address.h"

namespace pravik::link {

SharedUdpTransport::SharedUdpTransport(SharedUdpSockets &sockets)
    : m_sockets(sockets), m_remoteAddress(boardAddress(QString()))
{
}

SharedUdpTransport::~SharedUdpTransport()
{
    closeMailbox();
}

void SharedUdpTransport::closeMailbox()
{
    if (m_socket && m_mailbox)
        m_socket->closeMailbox(m_mailbox);
    m_mailbox.reset();
}

void SharedUdpTransport::setRemote(const QString &host, std::int32_t port)
{
    closeMailbox();
    m_socket.reset(); // the socket follows the address family
    m_remoteAddress = boardAddress(host);
    m_remotePort = port;
}

common::Status SharedUdpTransport::setLocalPort(std::int32_t port)
{
    closeMailbox();
    m_socket.reset();
    m_localPort = port;
    return takeSocket();
}

common::Status SharedUdpTransport::takeSocket()
{
    if (common::Status refused = checkUdpPort(m_localPort))
        return refused;
    const QAbstractSocket::NetworkLayerProtocol family =
        m_remoteAddress ? m_remoteAddress->protocol() : QAbstractSocket::IPv4Protocol;
    common::Status failure;
    m_socket = m_sockets.socketFor(static_cast<quint16>(m_localPort), family, failure);
    return failure;
}

common::Status SharedUdpTransport::send(const QByteArray &frame)
{
    if (!m_remoteAddress)
        return m_remoteAddress.failure();
    if (common::Status refused = checkUdpPort(m_remotePort))
        return refused;
    if (!m_socket) {
        if (common::Status failed = takeSocket())
            return failed;
    }
    // Open before the frame leaves, so that no echo can come first. What
    // waits already answered an earlier frame too late (or a service killed
    // mid-frame): taken for this frame's echo, it would put every answer
    // after it one frame behind.
    if (!m_mailbox)
        m_mailbox = m_socket->openMailbox(*m_remoteAddress);
    m_mailbox->discard();
    return m_socket->send(frame, *m_remoteAddress, static_cast<quint16>(m_remotePort));
}

common::Status SharedUdpTransport::waitForData(int msecs, bool &dataWaiting)
{
    if (!m_mailbox)
        return linkFailure(QStringLiteral("UDP 端口 %1 未打开").arg(m_localPort));
    return m_mailbox->wait(msecs, dataWaiting);
}

common::Status SharedUdpTransport::readWaiting(QByteArray &data)
{
    data = m_mailbox ? m_mailbox->take() : QByteArray();
    return {};
}

} // namespace pravik::link
