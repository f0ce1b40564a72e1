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
#include "pravik/link/event_pump.h"
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
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>
#include <sys/resource.h>

using namespace pravik;

namespace {

constexpr int kScreens = 239;


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
    QTimer timer;
    link::TimerTickWaiter ticks(timer);
    // The window's way: its events run between frames and slices of a wait.
    link::EventPump pump;
    const link::ExchangeContext exchangeContext{1, true, prompter, clock, ticks,
                                                [&pump] { pump.run(); }};
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    picture::BoardCanvas canvas(160, 32, 1256);
    NoView view;
    const QString noCompare;
    const jobs::StopToken neverStopped;
    jobs::JobContext context{board.settings, board.screens, vocabulary, board.file, noCompare,
                             canvas,
                             [&](QByteArray &buffer, int checksumIndex) {
                                 const auto result = link::exchangePacket(
                                     transport, exchangeContext, buffer, checksumIndex);
                                 frames << link::buildFrame(1, buffer, checksumIndex);
                                 return result;
                             },
                             [] { return true; }, prompter, view, neverStopped};
    QElapsedTimer elapsed;
    elapsed.start();
    const jobs::JobResult result = jobs::sendAll(context);
    const double seconds = elapsed.nsecsElapsed() / 1e9;
    if (result.outcome != jobs::JobOutcome::Completed) {
        std::fprintf(stderr, "Send All did not complete: %s\n",
                     qPrintable(prompter.messages().value(0).text));
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
        udp.setLocalPort(port);
        QList<QByteArray> frames;
        const double job = sendAllOver(udp, board, frames);
        udp.setLocalPort(0); // leave the port to the ping-pong
        const double bare = pingPong(frames, QHostAddress(board.settings.ipAddress), port);
        std::printf("Send All, %d screens 160 x 32 single-colour, %lld frames, UDP 127.0.0.2\n",
                    kScreens, static_cast<long long>(frames.size()));
        std::printf("  Send All %.3f s, bare ping-pong of the same frames %.3f s\n", job, bare);
        status |= !report("Send All / bare ping-pong", job / bare, 1.3);
    }
    // A paced pseudo-terminal at each baud rate: the job should cost little
    // more than the wire itself.
    for (const int baud : bauds) {
        SimProcess sim;
        if (!sim.start(simPath, {"--pty", "--type", "1", "--baud", QString::number(baud)}))
            return 1;
        board.settings.port = 1;
        board.settings.baud = baud;
        link::SerialTransport serial;
        link::EventPump pump;
        serial.setKeepAlive([&pump] { pump.run(); });
        serial.configure(sim.endpoint, baud);
        if (serial.open())
            return 1;
        QList<QByteArray> frames;
        const double job = sendAllOver(serial, board, frames);
        double bytes = 0;
        for (const QByteArray &frame : frames)
            bytes += frame.size() + 1; // and its one-byte echo
        const double wire = bytes * 10 / baud;
        std::printf("Send All over a pseudo-terminal paced at %d baud\n", baud);
        std::printf("  Send All %.3f s, wire time of frames and echoes %.3f s\n", job, wire);
        status |= !report("Send All / wire time", job / wire, 1.05);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (resident) %ld MiB\n", usage.ru_maxrss / 1024);
    return status;
}
