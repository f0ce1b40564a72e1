// ledboard-sim: an LED sign board on a pseudo-terminal or on UDP, for testing
// the programs that drive boards without the hardware.

#include "frame_log.h"
#include "pty_link.h"
#include "signal_watcher.h"
#include "sim_options.h"
#include "sim_runner.h"
#include "udp_link.h"

#include "program_version.h"

#include <QCoreApplication>
#include <QTextStream>

#include <memory>

using namespace LedBoardSim;

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "ledboard-sim"))
        return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ledboard-sim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ParsedOptions parsed = parseSimOptions(QCoreApplication::arguments());
    if (parsed.helpRequested) {
        out << parsed.helpText;
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        err << "ledboard-sim: " << parsed.error << "\nTry 'ledboard-sim --help'.\n";
        return 2;
    }
    const SimOptions &options = parsed.options;

    FrameLog log;
    QString error;
    if (!options.logPath.isEmpty() && !log.open(options.logPath, &error)) {
        err << "ledboard-sim: " << error << Qt::endl;
        return 1;
    }

    std::unique_ptr<Link> link;
    if (options.transport == SimOptions::Transport::Pty)
        link = std::make_unique<PtyLink>();
    else
        link = std::make_unique<UdpLink>(options.udpHost, options.udpPort);
    if (!link->open(&error)) {
        err << "ledboard-sim: " << error << Qt::endl;
        return 1;
    }

    SignalWatcher stopSignals;
    if (!stopSignals.install()) {
        err << "ledboard-sim: cannot watch for SIGTERM and SIGINT" << Qt::endl;
        return 1;
    }
    SimRunner runner(options, link.get(), &log);
    QObject::connect(&runner, &SimRunner::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    QObject::connect(&stopSignals, &SignalWatcher::stopRequested, &runner, &SimRunner::finish);

    // Whoever started the board waits for this line to know where to send.
    out << link->endpoint() << Qt::endl;
    return app.exec();
}
