// Measures the packet exchange against ledboard-sim: picture packets per
// second over UDP on the loopback network and over a pseudo-terminal, and the
// exchange's cost next to a bare UDP ping-pong of the same datagrams with the
// same board in the same run.
#include "pravik/link/board_link.h"
#include "pravik/link/clock.h"
#include "pravik/link/exchange.h"
#include "pravik/link/frame.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/tick_waiter.h"
#include "pravik/link/udp_transport.h"

#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>

using namespace pravik::link;

namespace {

constexpr int kPictureChecksumIndex = 132;

QByteArray picturePacket(int sequence)
{
    QByteArray buffer(kPictureChecksumIndex + 1, '\0');
    buffer[0] = 0x12;
    buffer[1] = 0;
    buffer[2] = static_cast<char>(sequence & 0x7F);
    buffer[3] = static_cast<char>(sequence & 1);
    for (int i = 4; i < kPictureChecksumIndex; ++i)
        buffer[i] = static_cast<char>((i * 37 + sequence) & 0xFF);
    return buffer;
}

// Exchanges `count` picture packets; returns the packets per second, or 0 on a failure.
double exchangeRate(Transport &transport, int count)
{
    SystemClock clock;
    SleepingTickWaiter ticks;
    const ExchangeContext context{1, true, clock, ticks};
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < count; ++i) {
        QByteArray buffer = picturePacket(i);
        if (const common::Status failed =
                exchangePacket(transport, context, buffer, kPictureChecksumIndex)) {
            std::fprintf(stderr, "exchange failed at packet %d: %s\n", i, qPrintable(failed->text));
            return 0;
        }
    }
    return count / (elapsed.nsecsElapsed() / 1e9);
}

// The same datagrams sent with a bare socket, each waiting for its one-byte answer.
double pingPongRate(const QHostAddress &board, quint16 port, int count)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, port,
                     QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < count; ++i) {
        QByteArray buffer = picturePacket(i);
        buffer[kPictureChecksumIndex] =
            static_cast<char>(payloadChecksum(buffer, kPictureChecksumIndex));
        socket.writeDatagram(buildFrame(1, buffer, kPictureChecksumIndex), board, port);
        while (!socket.hasPendingDatagrams()) {
            if (!socket.waitForReadyRead(3000))
                return 0;
        }
        socket.receiveDatagram();
    }
    return count / (elapsed.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: link_bench PATH-TO-ledboard-sim [PACKETS]\n");
        return 2;
    }
    const QString simPath = arguments[1];
    const int packets = arguments.size() > 2 ? arguments[2].toInt() : 5000;
    int status = 0;

    {
        SimProcess sim;
        if (!sim.start(simPath, {QStringLiteral("--udp"), QStringLiteral("127.0.0.2:0")})) {
            std::fprintf(stderr, "ledboard-sim did not start\n");
            return 1;
        }
        const auto port = static_cast<quint16>(sim.endpoint.section(u':', -1).toUInt());
        const QHostAddress board(QStringLiteral("127.0.0.2"));
        // Warm both paths, then alternate rounds so that both see the same machine.
        pingPongRate(board, port, 200);
        double bare = 0;
        double exchanged = 0;
        for (int round = 0; round < 3; ++round) {
            bare += pingPongRate(board, port, packets);
            UdpTransport udp;
            udp.setRemote(board.toString(), port);
            udp.setLocalPort(port);
            exchanged += exchangeRate(udp, packets);
        }
        bare /= 3;
        exchanged /= 3;
        const double ratio = exchanged > 0 ? bare / exchanged : 0;
        std::printf("UDP 127.0.0.2, 132-byte picture packets, %d per round, 3 rounds\n", packets);
        std::printf("  bare ping-pong     %9.0f packets/s\n", bare);
        std::printf("  exchangePacket     %9.0f packets/s\n", exchanged);
        std::printf("  exchange cost      %9.2f x the bare ping-pong (limit 1.30): %s\n", ratio,
                    ratio > 0 && ratio <= 1.3 ? "met" : "NOT MET");
        if (!(ratio > 0 && ratio <= 1.3))
            status = 1;
    }
    {
        SimProcess sim;
        if (!sim.start(simPath, {QStringLiteral("--pty")})) {
            std::fprintf(stderr, "ledboard-sim did not start\n");
            return 1;
        }
        SerialTransport serial;
        serial.configure(sim.endpoint, 115200);
        if (serial.open()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.endpoint));
            return 1;
        }
        const double rate = exchangeRate(serial, packets);
        std::printf("pseudo-terminal (no line pacing)\n");
        std::printf("  exchangePacket     %9.0f packets/s\n", rate);
        if (rate <= 0)
            status = 1;
    }
    return status;
}
