// The UDP transport on the loopback network, with real sockets.
#include "pravik/link/shared_udp_transport.h"
#include "pravik/link/udp_transport.h"

#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QUdpSocket>
#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

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

// A board that answers twice before its transfer reads (a late echo and the
// next one) is read in the order it answered, or every echo after it is
// taken for the wrong frame.
TEST(SharedUdpTransport, HandsOutABoardsAnswersInTheOrderTheyCame)
{
    Peer board("127.0.0.2");
    Peer other("127.0.0.3");
    ASSERT_TRUE(board.bound && other.bound);
    const quint16 ourPort = freePort();
    SharedUdpSockets sockets;
    SharedUdpTransport toBoard(sockets);
    SharedUdpTransport toOther(sockets);
    toBoard.setRemote(QStringLiteral("127.0.0.2"), board.socket.localPort());
    toOther.setRemote(QStringLiteral("127.0.0.3"), other.socket.localPort());
    ASSERT_FALSE(toBoard.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(toOther.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(toBoard.send("1").has_value());
    ASSERT_FALSE(toOther.send("2").has_value());

    for (const char *answer : {"a", "b", "c"})
        board.socket.writeDatagram(answer, QHostAddress::LocalHost, ourPort);
    // The socket sorts datagrams in the order they arrive: once the other
    // board's answer, sent last, is in its mailbox, all three are in ours.
    other.socket.writeDatagram("z", QHostAddress::LocalHost, ourPort);
    bool waiting = false;
    ASSERT_FALSE(toOther.waitForData(2000, waiting).has_value());
    ASSERT_TRUE(waiting);

    QByteArray answers;
    for (int i = 0; i < 3; ++i) {
        QByteArray answer;
        EXPECT_FALSE(toBoard.waitForData(2000, waiting).has_value());
        EXPECT_FALSE(toBoard.readWaiting(answer).has_value());
        answers += answer;
    }
    EXPECT_EQ(answers, QByteArray("abc"));
}

// A program holding the board's port on "::" with a dual-stack socket takes
// IPv4 answers too, so the link gives the port back as for 0.0.0.0.
TEST(UdpTransport, PortHeldOnEveryIpv6AddressByAnotherProgramIsRefused)
{
#ifndef Q_OS_LINUX
    GTEST_SKIP() << "only Linux tells who holds a port";
#else
    const int otherProgram = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (otherProgram < 0)
        GTEST_SKIP() << "no IPv6 on this computer";
    const auto closeOther = qScopeGuard([otherProgram] { ::close(otherProgram); });
    const int yes = 1;
    const int no = 0;
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    any.sin6_addr = in6addr_any;
    socklen_t size = sizeof any;
    ASSERT_EQ(::setsockopt(otherProgram, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes), 0);
    ASSERT_EQ(::setsockopt(otherProgram, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no), 0);
    if (::bind(otherProgram, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0)
        GTEST_SKIP() << "no IPv6 on this computer";
    ASSERT_EQ(::getsockname(otherProgram, reinterpret_cast<sockaddr *>(&any), &size), 0);
    const quint16 port = ntohs(any.sin6_port);

    UdpTransport udp;
    const common::Status failure = udp.setLocalPort(port);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->text,
              QStringLiteral("UDP 端口 %1 已被另一个程序占用，请先关闭它").arg(port));
#endif
}

// A board alone and a board of a fleet take and refuse the same addresses,
// with the same texts, and both reach a board on IPv6.
TEST(UdpTransports, OneBoardAndAFleetTakeTheSameAddresses)
{
    const char *addresses[] = {"127.0.0.2", "127.000.000.002", " 127.0.0.2 ",
                               "::1",       "192.168.1",       "board.local",
                               "",          "1.2.3.4.5"};
    for (const char *address : addresses) {
        SCOPED_TRACE(address);
        UdpTransport alone;
        SharedUdpSockets sockets;
        SharedUdpTransport inFleet(sockets);
        QStringList told;
        for (DatagramLink *link :
             {static_cast<DatagramLink *>(&alone), static_cast<DatagramLink *>(&inFleet)}) {
            link->setRemote(QString::fromLatin1(address), 9);
            common::Status refused = link->setLocalPort(freePort());
            if (!refused)
                refused = link->send("x");
            told << (refused ? refused->text : QStringLiteral("sent"));
        }
        EXPECT_EQ(told[0], told[1]);
    }

    QUdpSocket board;
    if (!board.bind(QHostAddress::LocalHostIPv6, 0))
        GTEST_SKIP() << "no IPv6 loopback on this computer";
    SharedUdpSockets sockets;
    SharedUdpTransport inFleet(sockets);
    inFleet.setRemote(QStringLiteral("::1"), board.localPort());
    ASSERT_FALSE(inFleet.setLocalPort(freePort()).has_value());
    ASSERT_FALSE(inFleet.send("\x01").has_value());
    ASSERT_TRUE(board.waitForReadyRead(2000));
    const QNetworkDatagram frame = board.receiveDatagram();
    board.writeDatagram("\x01", frame.senderAddress(), static_cast<quint16>(frame.senderPort()));
    bool waiting = false;
    QByteArray echo;
    EXPECT_FALSE(inFleet.waitForData(2000, waiting).has_value());
    EXPECT_FALSE(inFleet.readWaiting(echo).has_value());
    EXPECT_EQ(echo, QByteArray("\x01"));
}

// An answer that came after its frame's exchange had ended is not taken for
// the next frame's, by a board alone or in a fleet: every answer after it
// would be one frame behind, and every frame sent twice.
TEST(UdpTransports, AnAnswerThatCameTooLateIsNotTheNextFramesEcho)
{
    Peer board("127.0.0.2");
    ASSERT_TRUE(board.bound);
    UdpTransport alone;
    SharedUdpSockets sockets;
    SharedUdpTransport inFleet(sockets);
    for (DatagramLink *link : {static_cast<DatagramLink *>(&alone), static_cast<DatagramLink *>(&inFleet)}) {
        const quint16 ourPort = freePort();
        link->setRemote(QStringLiteral("127.0.0.2"), board.socket.localPort());
        ASSERT_FALSE(link->setLocalPort(ourPort).has_value());
        bool waiting = false;
        QByteArray answer;
        for (const char *frame : {"1", "2"}) {
            ASSERT_FALSE(link->send(frame).has_value());
            ASSERT_TRUE(board.socket.waitForReadyRead(2000));
            EXPECT_EQ(board.socket.receiveDatagram().data(), QByteArray(frame));
            // The first frame's answer comes when its exchange has ended.
            board.socket.writeDatagram(frame == std::string("1") ? "late" : "b",
                                       QHostAddress::LocalHost, ourPort);
            ASSERT_FALSE(link->waitForData(2000, waiting).has_value());
            ASSERT_TRUE(waiting);
        }
        EXPECT_FALSE(link->readWaiting(answer).has_value());
        EXPECT_EQ(answer, QByteArray("b"));
    }
}

// Should the shared socket's receiving thread end on an error, every board
// waiting on it learns that error at once instead of timing out.
TEST(SharedUdpTransport, AReceiverThatEndsFailsItsBoardsWithItsError)
{
    Peer board("127.0.0.2");
    ASSERT_TRUE(board.bound);
    SharedUdpSockets sockets;
    SharedUdpTransport transport(sockets);
    transport.setRemote(QStringLiteral("127.0.0.2"), board.socket.localPort());
    const quint16 ourPort = freePort();
    ASSERT_FALSE(transport.setLocalPort(ourPort).has_value());
    ASSERT_FALSE(transport.send("1").has_value());
    common::Status failure;
    std::shared_ptr<SharedUdpSocket> socket =
        sockets.socketFor(ourPort, QAbstractSocket::IPv4Protocol, failure);
    ASSERT_TRUE(socket);
    // What is no socket any more cannot be read: the receiver's next read fails.
    const int notASocket = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(::dup2(notASocket, static_cast<int>(socket->descriptor())), 0);
    ::close(notASocket);
    board.socket.writeDatagram("x", QHostAddress::LocalHost, ourPort);

    // A wait that ran out would return no failure.
    bool waiting = false;
    const common::Status failed = transport.waitForData(10'000, waiting);
    ASSERT_TRUE(failed.has_value());
    EXPECT_FALSE(waiting);
    EXPECT_EQ(failed->code, 5);
    EXPECT_EQ(failed->text, qt_error_string(ENOTSOCK));
}
