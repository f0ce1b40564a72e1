#include "udp_transport.h"

#include "common/dotted_address.h"
#include "link_messages.h"
#include "udp_port_holders.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>

namespace pravik::link {
namespace {

// Only four dotted numbers name a board (see isDottedQuad), zero-padded
// octets read as decimal; an IPv6 literal is taken as it is.
QHostAddress boardAddress(const QString &text)
{
    const QString address = common::canonicalDottedQuad(text.trimmed());
    if (address.contains(u':') || common::isDottedQuad(address))
        return QHostAddress(address);
    return QHostAddress();
}

bool isUdpPort(std::int32_t port)
{
    return port >= 0 && port <= 65535;
}

LinkFailure otherFailure(const QString &description)
{
    return LinkFailure{LinkFailure::Kind::Other, description};
}

} // namespace

UdpTransport::UdpTransport() = default;

void UdpTransport::setRemote(const QString &host, std::int32_t port)
{
    m_remoteHost = host;
    m_remoteAddress = boardAddress(host);
    m_remotePort = port;
}

LinkResult UdpTransport::setLocalPort(std::int32_t port)
{
    m_localPort = port;
    if (m_socket.state() == QAbstractSocket::BoundState)
        m_socket.close();
    return bindLocalPort();
}

LinkResult UdpTransport::bindLocalPort()
{
    if (!isUdpPort(m_localPort))
        return otherFailure(QStringLiteral("IP 端口无效: %1").arg(m_localPort));
    // The board answers to the port it was sent from, which is the board's own
    // port number; another program on this computer may share it on an address
    // of its own, as the board simulator does on 127.0.0.2.
    if (!m_socket.bind(QHostAddress::AnyIPv4, static_cast<quint16>(m_localPort),
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return otherFailure(m_socket.errorString());
    // Sharing also lets a second program bind the port on every address, and
    // the kernel then hands the board's answers to one of the two only. Give
    // the port back at once rather than take answers meant for the other.
    if (udpPortHeldByAnother(m_socket.socketDescriptor(), m_socket.localPort())) {
        m_socket.close();
        return otherFailure(kUdpPortInUseText.arg(m_localPort));
    }
    m_waiting.clear();
    m_hasWaiting = false;
    return std::nullopt;
}

LinkResult UdpTransport::send(const QByteArray &frame)
{
    if (m_remoteAddress.isNull())
        return otherFailure(QStringLiteral("IP 地址无效: %1").arg(m_remoteHost));
    if (!isUdpPort(m_remotePort))
        return otherFailure(QStringLiteral("IP 端口无效: %1").arg(m_remotePort));
    if (m_socket.state() != QAbstractSocket::BoundState) {
        if (const LinkResult failure = bindLocalPort())
            return failure;
    }
    if (m_socket.writeDatagram(frame, m_remoteAddress, static_cast<quint16>(m_remotePort)) !=
        frame.size())
        return otherFailure(m_socket.errorString());
    return std::nullopt;
}

// Takes the first datagram from the board out of the socket; others are
// dropped. True when one is waiting.
bool UdpTransport::dropStrayDatagrams()
{
    while (!m_hasWaiting && m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (datagram.senderAddress().isEqual(m_remoteAddress,
                                             QHostAddress::ConvertV4MappedToIPv4)) {
            m_waiting = datagram.data();
            m_hasWaiting = true;
        }
    }
    return m_hasWaiting;
}

LinkResult UdpTransport::waitForData(int msecs, bool &dataWaiting)
{
    const QDeadlineTimer deadline(msecs);
    dataWaiting = dropStrayDatagrams();
    while (!dataWaiting && !deadline.hasExpired()) {
        if (m_socket.state() != QAbstractSocket::BoundState)
            return otherFailure(m_socket.errorString());
        // An ICMP port-unreachable wakes the wait with nothing to read; the
        // board may still answer within the time-out, so keep waiting.
        m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        dataWaiting = dropStrayDatagrams();
    }
    return std::nullopt;
}

LinkResult UdpTransport::readWaiting(QByteArray &data)
{
    dropStrayDatagrams();
    data = m_hasWaiting ? m_waiting : QByteArray();
    m_waiting.clear();
    m_hasWaiting = false;
    return std::nullopt;
}

} // namespace pravik::link
