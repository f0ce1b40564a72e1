#include "udp_transport.h"

#include "link_messages.h"
#include "udp_address.h"
#include "udp_port_holders.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>

namespace pravik::link {

UdpTransport::UdpTransport() : m_remoteAddress(boardAddress(QString())) {}

void UdpTransport::setRemote(const QString &host, std::int32_t port)
{
    const bool ipv6Before =
        m_remoteAddress && m_remoteAddress->protocol() == QAbstractSocket::IPv6Protocol;
    m_remoteAddress = boardAddress(host);
    m_remotePort = port;
    // The socket is bound for the board's address family.
    const bool ipv6 =
        m_remoteAddress && m_remoteAddress->protocol() == QAbstractSocket::IPv6Protocol;
    if (ipv6 != ipv6Before && m_socket.state() == QAbstractSocket::BoundState)
        m_socket.close();
}

common::Status UdpTransport::setLocalPort(std::int32_t port)
{
    m_localPort = port;
    if (m_socket.state() == QAbstractSocket::BoundState)
        m_socket.close();
    return bindLocalPort();
}

common::Status UdpTransport::bindLocalPort()
{
    if (common::Status refused = checkUdpPort(m_localPort))
        return refused;
    const bool ipv6 =
        m_remoteAddress && m_remoteAddress->protocol() == QAbstractSocket::IPv6Protocol;
    // The board answers to the port it was sent from, which is the board's own
    // port number; another program on this computer may share it on an address
    // of its own, as the board simulator does on 127.0.0.2.
    if (!m_socket.bind(ipv6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4,
                       static_cast<quint16>(m_localPort),
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return linkFailure(m_socket.errorString());
    // Sharing also lets a second program bind the port on every address, and
    // the kernel then hands the board's answers to one of the two only. Give
    // the port back at once rather than take answers meant for the other.
    if (udpPortHeldByAnother({m_socket.socketDescriptor()}, m_socket.localPort())) {
        m_socket.close();
        return linkFailure(kUdpPortInUseText.arg(m_localPort));
    }
    m_waiting.clear();
    m_hasWaiting = false;
    return {};
}

common::Status UdpTransport::send(const QByteArray &frame)
{
    if (!m_remoteAddress)
        return m_remoteAddress.failure();
    if (common::Status refused = checkUdpPort(m_remotePort))
        return refused;
    if (m_socket.state() != QAbstractSocket::BoundState) {
        if (common::Status failed = bindLocalPort())
            return failed;
    }
    // What waits answered an earlier frame too late: it is not this one's.
    m_hasWaiting = false;
    m_waiting.clear();
    while (m_socket.hasPendingDatagrams())
        m_socket.receiveDatagram();
    if (m_socket.writeDatagram(frame, *m_remoteAddress, static_cast<quint16>(m_remotePort)) !=
        frame.size())
        return linkFailure(m_socket.errorString());
    return {};
}

// Takes the first datagram from the board out of the socket; others are
// dropped. True when one is waiting.
bool UdpTransport::dropStrayDatagrams()
{
    while (!m_hasWaiting && m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (m_remoteAddress && datagram.senderAddress().isEqual(
                                   *m_remoteAddress, QHostAddress::ConvertV4MappedToIPv4)) {
            m_waiting = datagram.data();
            m_hasWaiting = true;
        }
    }
    return m_hasWaiting;
}

common::Status UdpTransport::waitForData(int msecs, bool &dataWaiting)
{
    const QDeadlineTimer deadline(msecs);
    dataWaiting = dropStrayDatagrams();
    while (!dataWaiting && !deadline.hasExpired()) {
        if (m_socket.state() != QAbstractSocket::BoundState)
            return linkFailure(m_socket.errorString());
        // An ICMP port-unreachable wakes the wait with nothing to read; the
        // board may still answer within the time-out, so keep waiting.
        m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        dataWaiting = dropStrayDatagrams();
    }
    return {};
}

common::Status UdpTransport::readWaiting(QByteArray &data)
{
    dropStrayDatagrams();
    data = m_hasWaiting ? m_waiting : QByteArray();
    m_waiting.clear();
    m_hasWaiting = false;
    return {};
}

} // namespace pravik::link
