// pravikd: keeps every board of a fleet showing what its schedule says.

#include "command_line.h"
#include "modes.h"

#include "common/headless_gui.h"

#include "program_version.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "pravikd"))
        return 0;
    common::prepareHeadlessGui();
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
