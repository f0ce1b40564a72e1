// The UDP transport on the loopback network, with real sockets.
#include "pravik/link/shared_udp_transport.h"
#include "pravik/link/udp_transport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace pravik::link;

namespace {

// A socket standing for the board or for a stranger on the network.
struct Peer
{
    explicit Peer(const char *address)
    {
        bound = socket.bind(QHostAddress(QString::fromLatin1(address)), 0);
    }
    QUdpSocket socket;
    bool bound = false;
};

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

} // namespace

TEST(UdpTransport, SendsFromTheLocalPortSetLastAndTakesAnswersOnlyFromTheBoard)
{
    Peer board("127.0.0.2");
    Peer stranger("127.0.0.3");
    ASSERT_TRUE(board.bound && stranger.bound);
    const quint16 ourPort = freePort();

    UdpTransport udp;
    // Zero-padded, as network modules show their addresses: decimal octets.
    udp.setRemote(QStringLiteral("127.000.000.002"), board.socket.localPort());
    ASSERT_FALSE(udp.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(udp.send(QByteArray("\xFA\xFA\x01\x03", 4)).has_value());

    ASSERT_TRUE(board.socket.waitForReadyRead(2000));
    const QNetworkDatagram frame = board.socket.receiveDatagram();
    EXPECT_EQ(frame.data(), QByteArray("\xFA\xFA\x01\x03", 4));
    EXPECT_EQ(frame.senderPort(), ourPort);

    // A stranger answers first, with the very byte the board would send.
    stranger.socket.writeDatagram(QByteArray(1, 0x03), QHostAddress::LocalHost, ourPort);
    bool waiting = true;
    EXPECT_FALSE(udp.waitForData(150, waiting).has_value());
    EXPECT_FALSE(waiting);

    board.socket.writeDatagram(QByteArray("\x03\x44", 2), frame.senderAddress(), ourPort);
    EXPECT_FALSE(udp.waitForData(2000, waiting).has_value());
    EXPECT_TRUE(waiting);
    QByteArray answer;
    EXPECT_FALSE(udp.readWaiting(answer).has_value());
    EXPECT_EQ(answer, QByteArray("\x03\x44", 2));

    // Aimed at another local port, the live socket moves there.
    const quint16 newPort = freePort();
    ASSERT_FALSE(udp.setLocalPort(newPort).has_value());
    ASSERT_FALSE(udp.send("\x01").has_value());
    ASSERT_TRUE(board.socket.waitForReadyRead(2000));
    EXPECT_EQ(board.socket.receiveDatagram().senderPort(), newPort);
}

TEST(UdpTransport, AddressThatIsNoAddressIsReported)
{
    UdpTransport udp;
    udp.setRemote(QStringLiteral("192.168.1"), 1973);
    const common::Status failure = udp.send(QByteArray(4, 'x'));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->code, 5);
    EXPECT_EQ(failure->text, QStringLiteral("IP 地址无效: 192.168.1"));
}

TEST(UdpTransport, PortHeldOnEveryAddressByAnotherProgramIsRefused)
{
#ifndef Q_OS_LINUX
    GTEST_SKIP() << "only Linux tells who holds a port";
#endif
    const quint16 port = freePort();
    const auto shared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    QUdpSocket simulator;
    ASSERT_TRUE(simulator.bind(QHostAddress(QStringLiteral("127.0.0.2")), port, shared));
    QUdpSocket otherProgram;
    ASSERT_TRUE(otherProgram.bind(QHostAddress::AnyIPv4, port, shared));

    UdpTransport udp;
    const common::Status failure = udp.setLocalPort(port);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->title, QStringLiteral("系统错误"));
    EXPECT_EQ(failure->text,
              QStringLiteral("UDP 端口 %1 已被另一个程序占用，请先关闭它").arg(port));

    // The simulator's socket on an address of its own is no hindrance.
    otherProgram.close();
    EXPECT_FALSE(udp.setLocalPort(port).has_value());
}

// Boards answering on one port share one socket: each board's transport
// takes the answers from its own board only, whoever answers first.
TEST(SharedUdpTransport, SortsTheAnswersOnOnePortByTheSendersAddress)
{
    Peer first("127.0.0.2");
    Peer second("127.0.0.3");
    Peer stranger("127.0.0.4");
    ASSERT_TRUE(first.bound && second.bound && stranger.bound);
    const quint16 ourPort = freePort();
    SharedUdpSockets sockets;
    SharedUdpTransport toFirst(sockets);
    SharedUdpTransport toSecond(sockets);
    toFirst.setRemote(QStringLiteral("127.0.0.2"), first.socket.localPort());
    toSecond.setRemote(QStringLiteral("127.0.0.3"), second.socket.localPort());
    ASSERT_FALSE(toFirst.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(toSecond.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(toFirst.send("1").has_value());
    ASSERT_FALSE(toSecond.send("2").has_value());
    for (Peer *board : {&first, &second}) {
        ASSERT_TRUE(board->socket.waitForReadyRead(2000));
        EXPECT_EQ(board->socket.receiveDatagram().senderPort(), ourPort);
    }

    stranger.socket.writeDatagram("x", QHostAddress::LocalHost, ourPort);
    second.socket.writeDatagram("b", QHostAddress::LocalHost, ourPort);
    first.socket.writeDatagram("a", QHostAddress::LocalHost, ourPort);
    for (auto [transport, expected] : {std::pair{&toFirst, "a"}, std::pair{&toSecond, "b"}}) {
        bool waiting = false;
        QByteArray answer;
        EXPECT_FALSE(transport->waitForData(2000, waiting).has_value());
        EXPECT_FALSE(transport->readWaiting(answer).has_value());
        EXPECT_EQ(answer, QByteArray(expected));
        EXPECT_FALSE(transport->waitForData(100, waiting).has_value());
        EXPECT_FALSE(waiting); // the stranger's datagram went nowhere
    }
}
