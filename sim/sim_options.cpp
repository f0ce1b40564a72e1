#include "sim_options.h"

#include <QCommandLineParser>

namespace LedBoardSim {

namespace {

// Accepts decimal and 0x-prefixed numbers, as bus addresses are often written in hex.
bool readInt(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 0);
    if (!ok || number < low || number > high)
        return false;
    *value = number;
    return true;
}

} // namespace

ParsedOptions parseSimOptions(const QStringList &arguments)
{
    ParsedOptions result;
    SimOptions &o = result.options;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stands in for an LED sign board. It reads frames (0xFA 0xFA, address,\n"
                       "payload and checksum with 0xFF after every 0xFA) from a pseudo-terminal\n"
                       "or UDP, echoes the checksum, logs every frame as one JSON line and\n"
                       "writes each screen it receives as screen-NNN.png.\n\n"
                       "A frame with a wrong checksum is answered with the sum the board\n"
                       "computed, so the sender sees a wrong echo. Fault options count frames\n"
                       "from 1 among those the board answers: its own address, complete,\n"
                       "checksum right or wrong. SIGTERM or SIGINT end the board cleanly: the\n"
                       "log is flushed and screens changed since last written are written."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption pty(QStringLiteral("pty"),
                                 QStringLiteral("Listen on a new pseudo-terminal; its slave path "
                                                "is the first line of standard output."));
    const QCommandLineOption udp(
        QStringLiteral("udp"),
        QStringLiteral("Listen for datagrams on HOST:PORT and answer the sender (port 0: any "
                       "free port). The bound HOST:PORT is the first line of standard output."),
        QStringLiteral("HOST:PORT"));
    const QCommandLineOption address(
        QStringLiteral("address"),
        QStringLiteral("Answer only frames for bus address N (0-255); others are logged, not "
                       "answered. Default: answer every address."),
        QStringLiteral("N"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Append one JSON line per frame to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption out(
        QStringLiteral("out"),
        QStringLiteral("Write what the board shows as DIR/screen-NNN.png when a screen's "
                       "properties arrive and, for screens changed since, at the end."),
        QStringLiteral("DIR"));
    const QCommandLineOption width(QStringLiteral("width"),
                                   QStringLiteral("Board width in LEDs, a multiple of 8 "
                                                  "(default 160)."),
                                   QStringLiteral("W"), QStringLiteral("160"));
    const QCommandLineOption height(QStringLiteral("height"),
                                    QStringLiteral("Board height in LEDs (default 32)."),
                                    QStringLiteral("H"), QStringLiteral("32"));
    const QCommandLineOption type(QStringLiteral("type"),
                                  QStringLiteral("Board type: 1 single-colour, 2 three-colour, "
                                                 "3 multi-colour (default 1)."),
                                  QStringLiteral("T"), QStringLiteral("1"));
    const QCommandLineOption wrongEcho(
        QStringLiteral("wrong-echo"),
        QStringLiteral("Answer the K-th frame (1-based) with a wrong echo."), QStringLiteral("K"));
    const QCommandLineOption wrongEchoRate(
        QStringLiteral("wrong-echo-rate"),
        QStringLiteral("Answer each frame with a wrong echo with probability P (0..1)."),
        QStringLiteral("P"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed for --wrong-echo-rate and the garbage "
                                                 "bytes (default 1)."),
                                  QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption silentAfter(
        QStringLiteral("silent-after"),
        QStringLiteral("Echo the first K frames, then answer nothing."), QStringLiteral("K"));
    const QCommandLineOption echoDelay(QStringLiteral("echo-delay-ms"),
                                       QStringLiteral("Wait M milliseconds before each answer."),
                                       QStringLiteral("M"));
    const QCommandLineOption garbageAfter(
        QStringLiteral("garbage-after"),
        QStringLiteral("Echo the first K frames, then answer with noise bytes instead."),
        QStringLiteral("K"));
    const QCommandLineOption hangUpAfter(
        QStringLiteral("hangup-after"),
        QStringLiteral("Answer K frames, then close the line and exit."), QStringLiteral("K"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Pace bytes like a serial line at B baud, 10 bits per byte (default: "
                       "no pacing)."),
        QStringLiteral("B"));

    parser.addOptions({help, pty, udp, address, log, out, width, height, type, wrongEcho,
                       wrongEchoRate, seed, silentAfter, echoDelay, garbageAfter, hangUpAfter,
                       baud});
    result.helpText = parser.helpText();

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.helpRequested = true;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: %1")
                           .arg(parser.positionalArguments().constFirst());
        return result;
    }

    auto fail = [&result](const QString &name, const QString &value) {
        result.error = QStringLiteral("invalid value for --%1: %2").arg(name, value);
        return result;
    };
    auto intOption = [&parser](const QCommandLineOption &option, int low, int high, int *value) {
        return !parser.isSet(option) || readInt(parser.value(option), low, high, value);
    };
    auto optionalCount = [&parser](const QCommandLineOption &option, std::optional<int> *value) {
        if (!parser.isSet(option))
            return true;
        int number = 0;
        if (!readInt(parser.value(option), 0, 1 << 30, &number))
            return false;
        *value = number;
        return true;
    };

    if (parser.isSet(pty) == parser.isSet(udp)) {
        result.error = QStringLiteral("choose exactly one of --pty and --udp HOST:PORT");
        return result;
    }
    if (parser.isSet(udp)) {
        o.transport = SimOptions::Transport::Udp;
        const QString value = parser.value(udp);
        const int colon = value.lastIndexOf(u':');
        int port = 0;
        if (colon <= 0 || !readInt(value.mid(colon + 1), 0, 65535, &port))
            return fail(QStringLiteral("udp"), value);
        o.udpHost = value.left(colon);
        o.udpPort = static_cast<quint16>(port);
    }

    BoardGeometry &g = o.board.geometry;
    if (!intOption(width, 8, 4096, &g.width) || g.width % 8 != 0)
        return fail(QStringLiteral("width"), parser.value(width));
    if (!intOption(height, 1, 1024, &g.height))
        return fail(QStringLiteral("height"), parser.value(height));
    if (!intOption(type, 1, 3, &g.type))
        return fail(QStringLiteral("type"), parser.value(type));

    if (parser.isSet(address)) {
        int bus = 0;
        if (!readInt(parser.value(address), 0, 255, &bus))
            return fail(QStringLiteral("address"), parser.value(address));
        o.board.address = bus;
    }

    FaultOptions &f = o.board.faults;
    if (!intOption(wrongEcho, 1, 1 << 30, &f.wrongEchoAt))
        return fail(QStringLiteral("wrong-echo"), parser.value(wrongEcho));
    if (parser.isSet(wrongEchoRate)) {
        bool ok = false;
        f.wrongEchoRate = parser.value(wrongEchoRate).toDouble(&ok);
        if (!ok || f.wrongEchoRate < 0.0 || f.wrongEchoRate > 1.0)
            return fail(QStringLiteral("wrong-echo-rate"), parser.value(wrongEchoRate));
    }
    bool seedOk = false;
    f.seed = parser.value(seed).toUInt(&seedOk);
    if (!seedOk)
        return fail(QStringLiteral("seed"), parser.value(seed));
    if (!optionalCount(silentAfter, &f.silentAfter))
        return fail(QStringLiteral("silent-after"), parser.value(silentAfter));
    if (!optionalCount(garbageAfter, &f.garbageAfter))
        return fail(QStringLiteral("garbage-after"), parser.value(garbageAfter));
    if (!optionalCount(hangUpAfter, &f.hangUpAfter) || f.hangUpAfter == 0)
        return fail(QStringLiteral("hangup-after"), parser.value(hangUpAfter));
    if (!intOption(echoDelay, 0, 600000, &o.echoDelayMs))
        return fail(QStringLiteral("echo-delay-ms"), parser.value(echoDelay));
    if (!intOption(baud, 1, 10000000, &o.baud))
        return fail(QStringLiteral("baud"), parser.value(baud));

    o.logPath = parser.value(log);
    o.outDir = parser.value(out);
    return result;
}

} // namespace LedBoardSim
