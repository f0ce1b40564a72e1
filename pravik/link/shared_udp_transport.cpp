#include "shared_udp_transport.h"

#include "common/dotted_address.h"

namespace pravik::link {
namespace {

bool isUdpPort(std::int32_t port)
{
    return port >= 0 && port <= 65535;
}

LinkFailure otherFailure(const QString &description)
{
    return LinkFailure{LinkFailure::Kind::Other, description};
}

} // namespace

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
    m_remoteHost = host;
    // Four dotted decimal numbers name a board, zero-padded octets too; the
    // shared socket speaks IPv4 only.
    const QString address = common::canonicalDottedQuad(host.trimmed());
    m_remoteAddress = common::isDottedQuad(address) ? QHostAddress(address) : QHostAddress();
    m_remotePort = port;
}

LinkResult SharedUdpTransport::setLocalPort(std::int32_t port)
{
    closeMailbox();
    m_socket.reset();
    m_localPort = port;
    if (!isUdpPort(port))
        return otherFailure(QStringLiteral("IP 端口无效: %1").arg(port));
    LinkResult failure;
    m_socket = m_sockets.socketFor(static_cast<quint16>(port), failure);
    return failure;
}

LinkResult SharedUdpTransport::send(const QByteArray &frame)
{
    if (m_remoteAddress.isNull())
        return otherFailure(QStringLiteral("IP 地址无效: %1").arg(m_remoteHost));
    if (!isUdpPort(m_remotePort))
        return otherFailure(QStringLiteral("IP 端口无效: %1").arg(m_remotePort));
    if (!m_socket) {
        if (const LinkResult failure = setLocalPort(m_localPort))
            return failure;
    }
    // Open before the frame leaves, so that no echo can come first.
    if (!m_mailbox)
        m_mailbox = m_socket->openMailbox(m_remoteAddress);
    return m_socket->send(frame, m_remoteAddress, static_cast<quint16>(m_remotePort));
}

LinkResult SharedUdpTransport::waitForData(int msecs, bool &dataWaiting)
{
    if (!m_mailbox)
        return otherFailure(QStringLiteral("UDP 端口 %1 未打开").arg(m_localPort));
    dataWaiting = m_mailbox->wait(msecs);
    return std::nullopt;
}

LinkResult SharedUdpTransport::readWaiting(QByteArray &data)
{
    data = m_mailbox ? m_mailbox->take() : QByteArray();
    return std::nullopt;
}

} // namespace pravik::link
