// Send All of a 239-screen 160 x 32 single-colour display file to
// ledboard-sim, measured against what the link itself costs: a bare UDP
// stop-and-wait ping-pong of the very same frames, and the wire time of the
// frames and echoes on a serial line paced at 115200 and 9600 baud.
#include "pravik/document/board_settings.h"
#include "pravik/document/display_file.h"
#include "pravik/document/vocabulary.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/clock.h"
#include "pravik/link/exchange.h"
#include "pravik/link/frame.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/tick_waiter.h"
#include "pravik/link/udp_transport.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/picture_source.h"

#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace pravik;

namespace {

constexpr int kScreens = 239;
constexpr int kUdpRounds = 5;
// A run at 115200 baud takes 18 s, one at 9600 baud three and a half minutes.
constexpr int kSerialRounds = 3;
constexpr int kSerialRoundsFromBaud = 57600;

class NoView : public jobs::JobView
{
public:
    void beginTransfer(int) override {}
    void showScreen(int, const QString &, const picture::BoardCanvas &) override {}
    void setProgress(int) override {}
    void endTransfer(bool) override {}
};

struct Board
{
    document::BoardSettings settings;
    document::ScreenList screens;
    QString file;
};

Board makeBoard(const QTemporaryDir &dir)
{
    QImage picture(160, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, (x / 4 + y / 4) % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
    picture.save(dir.filePath(QStringLiteral("checker.bmp")));
    Board board;
    board.settings.scrtype = 1;
    board.file = dir.filePath(QStringLiteral("full.lt"));
    document::initScreenList(board.screens);
    for (int r = 1; r <= kScreens; ++r)
        board.screens.setText(r, document::PictureColumn, QStringLiteral("checker.bmp"));
    return board;
}

// Runs Send All over the transport; returns the seconds it took and keeps
// every frame sent.
double sendAllOver(link::Transport &transport, const Board &board, QList<QByteArray> &frames)
{
    common::RecordingPrompter prompter;
    link::SystemClock clock;
    link::SleepingTickWaiter ticks;
    const link::ExchangeContext exchangeContext{1, true, clock, ticks};
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    picture::BoardCanvas canvas(160, 32, 1256);
    NoView view;
    const QString noCompare;
    const jobs::StopToken neverStopped;
    jobs::JobContext context{board.settings,
                             board.screens,
                             vocabulary,
                             board.file,
                             noCompare,
                             canvas,
                             [&](QByteArray &buffer, int checksumIndex) {
                                 const auto result = link::exchangePacket(
                                     transport, exchangeContext, buffer, checksumIndex);
                                 frames << link::buildFrame(1, buffer, checksumIndex);
                                 return result;
                             },
                             [] { return true; },
                             prompter,
                             view,
                             neverStopped};
    QElapsedTimer elapsed;
    elapsed.start();
    const jobs::JobResult result = jobs::sendAll(context);
    const double seconds = elapsed.nsecsElapsed() / 1e9;
    if (result.outcome != jobs::JobOutcome::Completed) {
        std::fprintf(stderr, "Send All did not complete: %s\n",
                     qPrintable(result.failure ? result.failure->text : QString()));
        return -1;
    }
    return seconds;
}

double pingPong(const QList<QByteArray> &frames, const QHostAddress &board, quint16 port)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::AnyIPv4, port,
                QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    QElapsedTimer elapsed;
    elapsed.start();
    for (const QByteArray &frame : frames) {
        socket.writeDatagram(frame, board, port);
        while (!socket.hasPendingDatagrams()) {
            if (!socket.waitForReadyRead(3000))
                return -1;
        }
        socket.receiveDatagram();
    }
    return elapsed.nsecsElapsed() / 1e9;
}

// The same frames over the same open port, each sent and its echo awaited,
// with nothing else around them.
double serialPingPong(link::Transport &serial, const QList<QByteArray> &frames)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (const QByteArray &frame : frames) {
        if (serial.send(frame))
            return -1;
        bool echoed = false;
        QByteArray echo;
        while (echo.isEmpty()) {
            if (serial.waitForData(3000, echoed) || !echoed || serial.readWaiting(echo))
                return -1;
        }
    }
    return elapsed.nsecsElapsed() / 1e9;
}

bool report(const char *what, double value, double limit)
{
    const bool met = value > 0 && value <= limit;
    std::printf("  %-44s %6.3f (limit %.2f): %s\n", what, value, limit, met ? "met" : "NOT MET");
    return met;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: send_all_bench PATH-TO-ledboard-sim [BAUD...]\n");
        return 2;
    }
    const QString simPath = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    Board board = makeBoard(dir);
    int status = 0;
    QList<int> bauds;
    for (int i = 2; i < argc; ++i) {
        if (const int baud = QString::fromLocal8Bit(argv[i]).toInt(); baud > 0)
            bauds << baud;
    }
    if (argc <= 2)
        bauds = {115200, 9600};

    // The picture readers are loaded on first use, once per program run; that
    // start-up is not part of sending a list.
    picture::BoardCanvas warmUp(160, 32, 1256);
    picture::loadSource(dir.filePath(QStringLiteral("checker.bmp")), warmUp);

    {
        SimProcess sim;
        if (!sim.start(simPath, {"--udp", "127.0.0.2:0", "--type", "1"}))
            return 1;
        const auto port = static_cast<quint16>(sim.endpoint.section(u':', -1).toUInt());
        board.settings.port = 0;
        board.settings.ipAddress = QStringLiteral("127.0.0.2");
        board.settings.ipPort = port;
        link::UdpTransport udp;
        udp.setRemote(board.settings.ipAddress, port);
        // A loopback round trip is a few dozen microseconds, so one scheduler
        // hiccup moves a single run by a tenth. The first run also finds the
        // simulator's screen store empty. So: one run to warm both ends up,
        // then Send All and the bare ping-pong in turns, and the median pair.
        QList<QByteArray> frames;
        udp.setLocalPort(port);
        if (sendAllOver(udp, board, frames) < 0)
            return 1;
        std::vector<double> ratios;
        double job = 0;
        double bare = 0;
        for (int round = 0; round < kUdpRounds; ++round) {
            QList<QByteArray> sent;
            udp.setLocalPort(port);
            job = sendAllOver(udp, board, sent);
            udp.setLocalPort(0); // leave the port to the ping-pong
            bare = pingPong(frames, QHostAddress(board.settings.ipAddress), port);
            if (job < 0 || bare < 0)
                return 1;
            ratios.push_back(job / bare);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("Send All, %d screens 160 x 32 single-colour, %lld frames, UDP 127.0.0.2\n",
                    kScreens, static_cast<long long>(frames.size()));
        std::printf("  last round: Send All %.3f s, bare ping-pong of the same frames %.3f s\n",
                    job, bare);
        std::printf("  ratios of %d rounds %.2f to %.2f\n", kUdpRounds, ratios.front(),
                    ratios.back());
        status |= !report("Send All / bare ping-pong (median)", ratios[ratios.size() / 2], 1.3);
    }
    // A paced pseudo-terminal at each baud rate: the job should cost little
    // more than the wire itself. The simulator's echoes leave on time (about
    // 0.1 ms late), but the pseudo-terminal itself hands bytes across from
    // 0.2 ms to several ms late, and that varies from run to run; the bare
    // stop-and-wait of the same frames over the same port, in turns with the
    // job, shows what the job itself adds.
    for (const int baud : bauds) {
        SimProcess sim;
        if (!sim.start(simPath, {"--pty", "--type", "1", "--baud", QString::number(baud)}))
            return 1;
        board.settings.port = 1;
        board.settings.baud = baud;
        link::SerialTransport serial;
        serial.configure(sim.endpoint, baud);
        if (serial.open())
            return 1;
        // At the fast rates the job and the bare stop-and-wait take turns;
        // the slow rate is one long run of the job alone.
        const bool fast = baud >= kSerialRoundsFromBaud;
        const int rounds = fast ? kSerialRounds : 1;
        std::vector<double> wireRatios;
        std::vector<double> bareRatios;
        double job = 0;
        double wire = 0;
        for (int round = 0; round < rounds; ++round) {
            QList<QByteArray> frames;
            job = sendAllOver(serial, board, frames);
            if (job < 0)
                return 1;
            double bytes = 0;
            for (const QByteArray &frame : frames)
                bytes += frame.size() + 1; // and its one-byte echo
            wire = bytes * 10 / baud;
            wireRatios.push_back(job / wire);
            if (fast) {
                const double bare = serialPingPong(serial, frames);
                if (bare < 0)
                    return 1;
                bareRatios.push_back(job / bare);
            }
        }
        std::printf("Send All over a pseudo-terminal paced at %d baud\n", baud);
        std::printf("  last round: Send All %.3f s, wire time of frames and echoes %.3f s\n", job,
                    wire);
        if (fast) {
            std::sort(wireRatios.begin(), wireRatios.end());
            std::sort(bareRatios.begin(), bareRatios.end());
            std::printf("  Send All / wire time in %d rounds %.3f to %.3f\n", rounds,
                        wireRatios.front(), wireRatios.back());
            std::printf("  Send All / bare stop-and-wait in %d rounds %.3f to %.3f\n", rounds,
                        bareRatios.front(), bareRatios.back());
            status |= !report("Send All / bare stop-and-wait (median)",
                              bareRatios[bareRatios.size() / 2], 1.05);
        }
        status |= !report(fast ? "Send All / wire time (median)" : "Send All / wire time",
                          wireRatios[wireRatios.size() / 2], 1.05);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (resident) %ld MiB\n", usage.ru_maxrss / 1024);
    return status;
}
