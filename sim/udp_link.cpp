#include "udp_link.h"

#include <QNetworkDatagram>

namespace LedBoardSim {

UdpLink::UdpLink(const QString &host, quint16 port, QObject *parent)
    : Link(parent), m_host(host), m_port(port)
{
}

bool UdpLink::open(QString *error)
{
    QHostAddress address;
    if (m_host == QLatin1String("localhost"))
        address = QHostAddress::LocalHost;
    else if (!address.setAddress(m_host)) {
        *error = QStringLiteral("not an IP address: %1").arg(m_host);
        return false;
    }
    // The sending program binds its own local port to the board's port number,
    // so on one machine both sockets share the port on different addresses.
    if (!m_socket.bind(address, m_port,
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(m_host)
                     .arg(m_port)
                     .arg(m_socket.errorString());
        return false;
    }
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpLink::readDatagrams);
    return true;
}

QString UdpLink::endpoint() const
{
    return QStringLiteral("%1:%2")
        .arg(m_socket.localAddress().toString())
        .arg(m_socket.localPort());
}

void UdpLink::readDatagrams()
{
    while (m_socket.state() == QAbstractSocket::BoundState && m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.isValid())
            return; // a pending socket error, not data
        emit received(datagram.data(), LinkPeer{datagram.senderAddress(),
                                                static_cast<quint16>(datagram.senderPort())});
    }
}

void UdpLink::send(const QByteArray &bytes, const LinkPeer &peer)
{
    if (m_socket.state() == QAbstractSocket::BoundState)
        m_socket.writeDatagram(bytes, peer.address, peer.port);
}

void UdpLink::close()
{
    m_socket.close();
}

} // namespace LedBoardSim
