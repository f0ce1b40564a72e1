// Drives the built ledboard-sim over a pseudo-terminal and over UDP, the way
// the programs that talk to boards do.

#include "ledboard_sim_process.h"
#include "pty_line.h"
#include "wire_builder.h"

#include <QImage>
#include <QNetworkDatagram>
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

// Like the sending program: bound on every address, its port number shared
// so that a board on another loopback address may use the same number.
class UdpSender
{
public:
    UdpSender()
    {
        EXPECT_TRUE(
            m_socket.bind(QHostAddress::AnyIPv4, 0,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    }

    void setBoard(const QString &endpoint)
    {
        m_board = QHostAddress(endpoint.section(u':', 0, 0));
        m_port = endpoint.section(u':', 1).toUShort();
    }

    void send(const QByteArray &datagram) { m_socket.writeDatagram(datagram, m_board, m_port); }

    // The next datagram from the board, empty when none comes within timeoutMs.
    QByteArray read(int timeoutMs)
    {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(timeoutMs))
            return {};
        return m_socket.receiveDatagram().data();
    }

    QString localPort() const { return QString::number(m_socket.localPort()); }

private:
    QUdpSocket m_socket;
    QHostAddress m_board;
    quint16 m_port = 0;
};

} // namespace

TEST(SimOverPty, EchoesAtTheLinesPaceLogsEveryFrameAndHangsUp)
{
    LedboardSim sim({"--pty", "--baud", "9600", "--hangup-after", "3"});
    ASSERT_TRUE(sim.endpoint().startsWith(u"/dev/")) << sim.endpoint().toStdString();
    PtyLine port(sim.endpoint());
    ASSERT_TRUE(port.isOpen());

    // Noise before a header is skipped; the frame behind it is answered, the
    // frame and the echo taking 10 bit times a byte at 9600 baud.
    const QByteArray noiseAndClock = WireBuilder::fromHex("0102") + frame(1, clockPayload);
    QElapsedTimer timer;
    timer.start();
    port.write(noiseAndClock);
    EXPECT_EQ(port.read(waitMs).toHex(), "83");
    EXPECT_GE(timer.elapsed(), (noiseAndClock.size() + 1) * 10 * 1000 / 9600 - 2);

    // A frame that arrives in two pieces.
    const QByteArray split = frame(1, payload(21, {{0, 1}, {5, 2}, {6, 3}}));
    port.write(split.left(7));
    EXPECT_TRUE(port.read(30).isEmpty());
    port.write(split.mid(7));
    EXPECT_EQ(port.read(waitMs).toHex(), "06");

    // A damaged checksum is answered with the sum the board computed. It is
    // the third frame, after which the board hangs up; a sender that is slow
    // to read still gets the echo before the line drops.
    QByteArray damaged = frame(1, payload(21, {{0, 3}}));
    damaged[damaged.size() - 1] = 0x07;
    port.write(damaged);
    QThread::msleep(200);
    EXPECT_EQ(port.read(waitMs).toHex(), "03");
    EXPECT_TRUE(port.hungUp(waitMs));
    EXPECT_TRUE(sim.endsWithin(waitMs));

    const QList<QJsonObject> log = sim.frames();
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[0]["kind"].toString(), QStringLiteral("garbage"));
    EXPECT_EQ(log[0]["raw"].toString(), QStringLiteral("01 02"));
    EXPECT_FALSE(log[0]["well_formed"].toBool());

    EXPECT_TRUE(log[1]["well_formed"].toBool());
    EXPECT_EQ(log[1]["command"].toInt(), 3);
    EXPECT_EQ(log[1]["raw"].toString(), QString::fromLatin1(frame(1, clockPayload).toHex(' ')));
    EXPECT_EQ(log[1]["fields"]["time"].toString(), QStringLiteral("2004-10-03T14:05:30"));
    EXPECT_EQ(log[1]["reply"].toString(), QStringLiteral("83"));
    EXPECT_EQ(log[1]["transport"].toString(), QStringLiteral("pty"));

    EXPECT_EQ(log[2]["command_name"].toString(), QStringLiteral("display-range"));
    EXPECT_EQ(log[2]["fields"]["count"].toInt(), 3);

    EXPECT_FALSE(log[3]["well_formed"].toBool());
    EXPECT_EQ(log[3]["status"].toString(), QStringLiteral("checksum-error"));
    EXPECT_FALSE(log[3]["error"].toString().isEmpty());
    EXPECT_TRUE(log[3]["hang_up"].toBool());
}

TEST(SimOverUdp, EchoesToTheSenderOnItsPortNumberAndWritesTheScreens)
{
    // On one machine the sender holds port P on every address and the board
    // listens on another loopback address with the same P.
    UdpSender sender;
    LedboardSim sim({"--udp", "127.0.0.2:" + sender.localPort(), "--type", "2", "--width", "16",
                     "--height", "2", "--echo-delay-ms", "80", "--garbage-after", "4"});
    ASSERT_EQ(sim.endpoint(), "127.0.0.2:" + sender.localPort());
    sender.setBoard(sim.endpoint());
    const auto exchange = [&sender](int address, const QByteArray &payloadBytes) {
        sender.send(frame(address, payloadBytes));
        return sender.read(waitMs);
    };

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(exchange(9, clockPayload).toHex(), "83");
    EXPECT_GE(timer.elapsed(), 75);

    // Screen 0, shown on its properties: red at (0,0), green at (9,1),
    // yellow at (15,0).
    using WireBuilder::bytes;
    EXPECT_EQ(exchange(1, WireBuilder::picture(0, 0, 0, bytes({0x00, 0x01, 0x00, 0x40}))).size(),
              1);
    EXPECT_EQ(exchange(1, WireBuilder::picture(0, 1, 0, bytes({0x80, 0x01}))).size(), 1);
    EXPECT_EQ(exchange(1, payload(21, {{0, 4}, {1, 0}, {3, 0xFE}})).size(), 1);
    const QImage shown(sim.outDir() + QStringLiteral("/screen-000.png"));
    ASSERT_EQ(shown.size(), QSize(16, 2));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(9, 1), qRgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(15, 0), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(1, 0), qRgb(0, 0, 0));

    // After four frames the board answers with noise whose first byte is
    // wrong. Screen 1 gets a picture but no properties.
    const QByteArray screen1 = WireBuilder::picture(1, 0, 0, bytes({0x80}));
    const QByteArray noise = exchange(1, screen1);
    ASSERT_GT(noise.size(), 1);
    EXPECT_NE(static_cast<quint8>(noise.at(0)), WireBuilder::checksum(screen1));

    // A datagram is one frame: a short one is logged as truncated, unanswered.
    sender.send(frame(9, clockPayload).left(10));
    EXPECT_TRUE(sender.read(100).isEmpty());

    const QList<QJsonObject> log = sim.waitForFrames(6);
    ASSERT_EQ(log.size(), 6);
    EXPECT_EQ(log[0]["peer"].toString(), "127.0.0.1:" + sender.localPort());
    EXPECT_EQ(log[0]["address"].toInt(), 9);
    EXPECT_EQ(log[4]["reply_kind"].toString(), QStringLiteral("garbage"));
    EXPECT_EQ(log[5]["status"].toString(), QStringLiteral("truncated"));

    // The screen without properties is written when the board stops.
    EXPECT_FALSE(QFile::exists(sim.outDir() + QStringLiteral("/screen-001.png")));
    EXPECT_TRUE(sim.stop());
    const QImage last(sim.outDir() + QStringLiteral("/screen-001.png"));
    ASSERT_FALSE(last.isNull());
    EXPECT_EQ(last.pixel(0, 0), qRgb(0, 255, 0));
}
