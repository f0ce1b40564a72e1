// pravikd: keeps every board of a fleet showing what its schedule says.

#include "command_line.h"
#include "modes.h"

#include "program_version.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// The journal gets the service's own lines; the toolkit's notes about its
// environment (no runtime folder, no display) would read like the service's.
void keepToolkitNotesQuiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "pravikd"))
        return 0;
    qInstallMessageHandler(keepToolkitNotesQuiet);
    // Text screens are laid out with fonts, which need a GUI application; a
    // service has no display, so the offscreen platform is the default.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    pravikd::Output output{out, err};
    const common::Expected<pravikd::CommandLine> line =
        pravikd::parseCommandLine(QGuiApplication::arguments().mid(1));
    if (!line) {
        err << "pravikd: " << line.failure().text << "\nTry 'pravikd --help'.\n";
        return pravikd::kExitProblems;
    }
    switch (line->mode) {
    case pravikd::CommandLine::Mode::Help:
        out << pravikd::kHelp;
        return pravikd::kExitOk;
    case pravikd::CommandLine::Mode::Check:
        return pravikd::runCheck(*line, output);
    case pravikd::CommandLine::Mode::Plan:
        return pravikd::runPlan(*line, output);
    case pravikd::CommandLine::Mode::Status:
        return pravikd::runStatus(*line, output);
    case pravikd::CommandLine::Mode::NewToken:
        return pravikd::runNewToken(*line, output);
    case pravikd::CommandLine::Mode::Run:
        break;
    }
    return pravikd::runService(*line, output);
}
