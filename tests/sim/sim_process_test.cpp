// Drives the built ledboard-sim over a pseudo-terminal and over UDP, the way
// the programs that talk to boards do.

#include "ledboard_sim_process.h"
#include "pty_line.h"
#include "test_files.h"
#include "wire_builder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

using WireBuilder::frame;
using WireBuilder::payload;

namespace {

constexpr int waitMs = 3000; // upper bound for anything the simulator should do at once

// The clock for Sunday 3 October 2004 14:05:30; its checksum is 0x83.
const QByteArray clockPayload = payload(
    21,
    {{0, 3}, {12, 0x30}, {13, 0x05}, {14, 0x14}, {15, 0x03}, {16, 0x10}, {19, 0x20}, {20, 0x04}});

QByteArray one(int byte)
{
    return QByteArray(1, static_cast<char>(byte));
}

class UdpSender
{
public:
    UdpSender() { bindLocal(QHostAddress::LocalHost, 0); }
    explicit UdpSender(const QString &endpoint)
    {
        bindLocal(QHostAddress::LocalHost, 0);
        setBoard(endpoint);
    }

    // Like the sending program: its own port number is the board's, shared.
    bool bindLocal(const QHostAddress &address, quint16 port)
    {
        m_socket.close();
        return m_socket.bind(address, port,
                             QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    }

    void setBoard(const QString &endpoint)
    {
        const int colon = endpoint.lastIndexOf(u':');
        m_board = QHostAddress(endpoint.left(colon));
        m_port = endpoint.mid(colon + 1).toUShort();
    }

    void send(const QByteArray &datagram) { m_socket.writeDatagram(datagram, m_board, m_port); }

    // The next datagram from the board, empty when none comes within timeoutMs.
    QByteArray read(int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_socket.hasPendingDatagrams() && timer.elapsed() < timeoutMs)
            m_socket.waitForReadyRead(static_cast<int>(timeoutMs - timer.elapsed()));
        if (!m_socket.hasPendingDatagrams())
            return {};
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        return datagram.data();
    }

    quint16 localPort() const { return m_socket.localPort(); }

private:
    QUdpSocket m_socket;
    QHostAddress m_board;
    quint16 m_port = 0;
};

} // namespace

TEST(SimOverPty, EchoesChecksumsAndLogsEveryFrame)
{
    LedboardSim sim({QStringLiteral("--pty")});
    const QString path = sim.endpoint();
    ASSERT_TRUE(path.startsWith(QStringLiteral("/dev/"))) << path.toStdString();
    PtyLine port(path);
    ASSERT_TRUE(port.isOpen());

    // Noise before a header is skipped; the frame behind it is answered.
    port.write(WireBuilder::fromHex("0102") + frame(1, clockPayload));
    EXPECT_EQ(port.read(waitMs).toHex(), "83");

    // Payload and checksum 0xFA, escaped on the wire.
    port.write(frame(1, payload(21, {{0, 0xFA}})));
    EXPECT_EQ(port.read(waitMs).toHex(), "fa");

    // A frame that arrives in two pieces.
    const QByteArray split = frame(1, payload(21, {{0, 1}, {5, 2}, {6, 3}}));
    port.write(split.left(7));
    EXPECT_TRUE(port.read(30).isEmpty());
    port.write(split.mid(7));
    EXPECT_EQ(port.read(waitMs).toHex(), "06");

    // A damaged checksum is answered with the sum the board computed.
    QByteArray damaged = frame(1, payload(21, {{0, 3}}));
    damaged[damaged.size() - 1] = 0x07;
    port.write(damaged);
    EXPECT_EQ(port.read(waitMs).toHex(), "03");

    const QList<QJsonObject> log = sim.waitForFrames(5);
    ASSERT_EQ(log.size(), 5);
    EXPECT_EQ(log[0][u"kind"].toString(), QStringLiteral("garbage"));
    EXPECT_EQ(log[0][u"raw"].toString(), QStringLiteral("01 02"));
    EXPECT_FALSE(log[0][u"well_formed"].toBool());

    EXPECT_TRUE(log[1][u"well_formed"].toBool());
    EXPECT_EQ(log[1][u"command"].toInt(), 3);
    EXPECT_EQ(log[1][u"raw"].toString(), QString::fromLatin1(frame(1, clockPayload).toHex(' ')));
    EXPECT_EQ(log[1][u"fields"].toObject()[u"time"].toString(),
              QStringLiteral("2004-10-03T14:05:30"));
    EXPECT_EQ(log[1][u"reply"].toString(), QStringLiteral("83"));
    EXPECT_EQ(log[1][u"transport"].toString(), QStringLiteral("pty"));

    EXPECT_EQ(log[3][u"command_name"].toString(), QStringLiteral("display-range"));
    EXPECT_EQ(log[3][u"fields"].toObject()[u"count"].toInt(), 3);

    EXPECT_FALSE(log[4][u"well_formed"].toBool());
    EXPECT_EQ(log[4][u"status"].toString(), QStringLiteral("checksum-error"));
    EXPECT_FALSE(log[4][u"error"].toString().isEmpty());
    EXPECT_TRUE(sim.stop());
}

TEST(SimOverPty, FaultsOnRequest)
{
    struct Case
    {
        const char *name;
        QStringList options;
        QList<QByteArray> replies; // to three frames of checksum 0x83
    };
    const QList<Case> cases = {
        {"wrong echo on frame 2",
         {QStringLiteral("--wrong-echo"), QStringLiteral("2")},
         {one(0x83), one(0x83 ^ 0xFF), one(0x83)}},
        {"silent after one frame",
         {QStringLiteral("--silent-after"), QStringLiteral("1")},
         {one(0x83), {}, {}}},
        {"frames for another address",
         {QStringLiteral("--address"), QStringLiteral("2")},
         {{}, {}, {}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LedboardSim sim(QStringList{QStringLiteral("--pty")} + c.options);
        PtyLine port(sim.endpoint());
        ASSERT_TRUE(port.isOpen());
        for (int i = 0; i < c.replies.size(); ++i) {
            port.write(frame(1, clockPayload));
            // The log line is written as the frame is judged; an answer that
            // has not come by then and a little after will not come.
            sim.waitForFrames(i + 1);
            const int timeout = c.replies[i].isEmpty() ? 100 : waitMs;
            EXPECT_EQ(port.read(timeout).toHex(), c.replies[i].toHex()) << "frame " << i + 1;
        }
        const QList<QJsonObject> log = sim.waitForFrames(3);
        ASSERT_EQ(log.size(), 3);
        EXPECT_EQ(log[2][u"for_me"].toBool(), !c.options.contains(QStringLiteral("--address")));
    }
}

TEST(SimOverPty, HangsUpAfterFramesAndExits)
{
    LedboardSim sim(
        {QStringLiteral("--pty"), QStringLiteral("--hangup-after"), QStringLiteral("2")});
    PtyLine port(sim.endpoint());
    ASSERT_TRUE(port.isOpen());
    port.write(frame(1, clockPayload));
    EXPECT_EQ(port.read(waitMs).toHex(), "83");
    port.write(frame(1, clockPayload));
    // A sender that is slow to read still gets the last echo before the line drops.
    QThread::msleep(200);
    EXPECT_EQ(port.read(waitMs).toHex(), "83");
    EXPECT_TRUE(port.hungUp(waitMs));
    EXPECT_TRUE(sim.endsWithin(waitMs));
    const QList<QJsonObject> log = sim.waitForFrames(2);
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[1][u"hang_up"].toBool());
}

TEST(SimOverPty, PacesBytesLikeASerialLine)
{
    LedboardSim sim({QStringLiteral("--pty"), QStringLiteral("--baud"), QStringLiteral("9600")});
    PtyLine port(sim.endpoint());
    ASSERT_TRUE(port.isOpen());
    const QByteArray packet = frame(1, WireBuilder::picture(0, 0, 0, {}));
    QElapsedTimer timer;
    timer.start();
    port.write(packet);
    EXPECT_EQ(port.read(waitMs).size(), 1);
    // The frame and the echo take 10 bit times a byte at 9600 baud.
    EXPECT_GE(timer.elapsed(), (packet.size() + 1) * 10 * 1000 / 9600 - 2);
}

TEST(SimOverUdp, EchoesToTheSenderAfterTheDelay)
{
    LedboardSim sim({QStringLiteral("--udp"), QStringLiteral("127.0.0.1:0"),
                    QStringLiteral("--echo-delay-ms"), QStringLiteral("80"),
                    QStringLiteral("--garbage-after"), QStringLiteral("1")});
    const QString endpoint = sim.endpoint();
    ASSERT_TRUE(endpoint.startsWith(QStringLiteral("127.0.0.1:"))) << endpoint.toStdString();
    ASSERT_NE(endpoint, QStringLiteral("127.0.0.1:0"));
    UdpSender sender(endpoint);

    QElapsedTimer timer;
    timer.start();
    sender.send(frame(9, clockPayload));
    EXPECT_EQ(sender.read(waitMs).toHex(), "83");
    EXPECT_GE(timer.elapsed(), 75);

    // After one frame the board answers with noise whose first byte is wrong.
    sender.send(frame(9, clockPayload));
    const QByteArray noise = sender.read(waitMs);
    ASSERT_GT(noise.size(), 1);
    EXPECT_NE(static_cast<quint8>(noise.at(0)), 0x83);

    // A datagram is one frame: a short one is logged as truncated, unanswered.
    sender.send(frame(9, clockPayload).left(10));
    EXPECT_TRUE(sender.read(100).isEmpty());

    const QList<QJsonObject> log = sim.waitForFrames(3);
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0][u"peer"].toString(), QStringLiteral("127.0.0.1:%1").arg(sender.localPort()));
    EXPECT_EQ(log[0][u"address"].toInt(), 9);
    EXPECT_EQ(log[1][u"reply_kind"].toString(), QStringLiteral("garbage"));
    EXPECT_EQ(log[2][u"status"].toString(), QStringLiteral("truncated"));
    EXPECT_TRUE(sim.stop());
}

TEST(SimOverUdp, SharesItsPortNumberWithTheSender)
{
    // On one machine the sender holds port P on every address and the board
    // listens on another loopback address with the same P.
    UdpSender sender;
    ASSERT_TRUE(sender.bindLocal(QHostAddress::AnyIPv4, 0));
    const QString port = QString::number(sender.localPort());
    LedboardSim sim({QStringLiteral("--udp"), QStringLiteral("127.0.0.2:") + port});
    const QString endpoint = sim.endpoint();
    ASSERT_EQ(endpoint, QStringLiteral("127.0.0.2:") + port);
    sender.setBoard(endpoint);
    sender.send(frame(1, clockPayload));
    EXPECT_EQ(sender.read(waitMs).toHex(), "83");
    EXPECT_TRUE(sim.stop());
}

TEST(SimOverUdp, WritesScreensOnPropertiesAndWhenStopped)
{
    LedboardSim board({QStringLiteral("--udp"), QStringLiteral("127.0.0.1:0"),
                      QStringLiteral("--type"), QStringLiteral("2"), QStringLiteral("--width"),
                      QStringLiteral("16"), QStringLiteral("--height"), QStringLiteral("2")});
    UdpSender sender(board.endpoint());
    auto exchange = [&sender](const QByteArray &payloadBytes) {
        sender.send(frame(1, payloadBytes));
        return sender.read(waitMs).size() == 1;
    };
    // Screen 0: red at (0,0), green at (9,1), yellow at (15,0).
    ASSERT_TRUE(
        exchange(WireBuilder::picture(0, 0, 0, WireBuilder::bytes({0x00, 0x01, 0x00, 0x40}))));
    ASSERT_TRUE(exchange(WireBuilder::picture(0, 1, 0, WireBuilder::bytes({0x80, 0x01}))));
    ASSERT_TRUE(exchange(payload(21, {{0, 4}, {1, 0}, {3, 0xFE}})));

    const QString first = board.outDir() + QStringLiteral("/screen-000.png");
    ASSERT_TRUE(QFile::exists(first));
    const QImage shown(first);
    ASSERT_EQ(shown.size(), QSize(16, 2));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(9, 1), qRgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(15, 0), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(1, 0), qRgb(0, 0, 0));

    // Screen 1 gets a picture but no properties: it is written at the end.
    ASSERT_TRUE(exchange(WireBuilder::picture(1, 0, 0, WireBuilder::bytes({0x80}))));
    EXPECT_FALSE(QFile::exists(board.outDir() + QStringLiteral("/screen-001.png")));
    EXPECT_TRUE(board.stop());
    const QImage last(board.outDir() + QStringLiteral("/screen-001.png"));
    ASSERT_FALSE(last.isNull());
    EXPECT_EQ(last.pixel(0, 0), qRgb(0, 255, 0));
}

TEST(SimProgram, ExplainsItsOptionsAndRefusesBadOnes)
{
    const ProgramRun help = runProgram(QStringLiteral(LEDBOARD_SIM_PATH), {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *option :
         {"--pty", "--udp", "--address", "--log", "--out", "--width", "--height", "--type",
          "--wrong-echo", "--wrong-echo-rate", "--seed", "--silent-after", "--echo-delay-ms",
          "--garbage-after", "--hangup-after", "--baud"})
        EXPECT_TRUE(help.out.contains(option)) << option;

    const ProgramRun bad =
        runProgram(QStringLiteral(LEDBOARD_SIM_PATH), {"--pty", "--width", "7"}, {}, waitMs);
    EXPECT_EQ(bad.status, 2);
    EXPECT_FALSE(bad.err.isEmpty());
}
