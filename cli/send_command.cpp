#include "board_command_line.h"
#include "commands.h"
#include "fleet_send.h"
#include "stop_on_signals.h"
#include "terminal_job_view.h"
#include "terminal_prompter.h"

#include "pravik/fleet/fleet_file.h"
#include "pravik/jobs/job_messages.h"
#include "pravik/jobs/job_runner.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/board_session.h"

#include <QTextStream>
#include <unistd.h>

namespace pravik::cli {
namespace {

const char *const kSendUsage =
    "Usage: pravik-cli send FILE.lt [--yes | --no] [--all | --changed]\n"
    "                   [--screen N | --properties] [--compare COMPARE.lt] [--link LINK]\n"
    "       pravik-cli send FILE.lt --fleet BOARDS [--changed] [--yes | --no]\n"
    "                   [--jobs N] [--json]\n"
    "\n"
    "Sends the display file's screens to the board, each picture followed by its\n"
    "properties, then asks whether to start the display of all of them.\n"
    "\n"
    "  --yes, --no            answer the start question without asking\n"
    "  --all                  send every screen (the default)\n"
    "  --changed              send only the pictures and properties the board does\n"
    "                         not hold yet, as far as its record knows; the display\n"
    "                         command only when anything was sent or the number of\n"
    "                         screens changed\n"
    "  --screen N             send only screen N (counted from 0), no question\n"
    "  --properties           resend the properties of every screen, no pictures\n"
    "  --compare COMPARE.lt   only check the compare file; nothing is sent\n"
    "  --link udp:HOST:PORT           send over UDP to HOST:PORT instead\n"
    "  --link serial:DEVICE[@BAUD]    send over a serial device (a path or COMn)\n"
    "  --fleet BOARDS         send to every board the file BOARDS names (one\n"
    "                         'NAME LINK ADDRESS' a line), at the same time where\n"
    "                         their links allow, and print a table of the results\n"
    "  --jobs N               with --fleet: at most N links at a time (default: all)\n"
    "  --json                 with --fleet: the table as JSON\n"
    "\n"
    "What each board has echoed is kept in the user's cache folder\n"
    "(pravik/boards), for --changed. Messages go to standard error as\n"
    "'title: text'. Exit status: 0 when the job ended as planned, otherwise the\n"
    "failing exchange's result (3 wrong echo twice, 4 no echo, 5 link failure),\n"
    "or 1 for any other failure, 2 when nothing could be started; with --fleet,\n"
    "that of the first board in the file that failed. Ctrl-C or SIGTERM stops\n"
    "the job once the frame on the wire is answered, says how many screens\n"
    "reached the board and exits with 130 or 143.\n";

struct SendOptions
{
    std::optional<bool> answer;
    QString screen;
    bool properties = false;
    bool all = false;
    bool changed = false;
    bool json = false;
    QString compareFile;
    QString fleetFile;
    QString jobs;
};

// Takes the send options out of the arguments; the rest is the usual board
// command line. The failure says which options do not go together.
common::Expected<SendOptions> takeSendOptions(QStringList &arguments)
{
    SendOptions options;
    const std::pair<const char *, bool *> switches[] = {{"--properties", &options.properties},
                                                        {"--all", &options.all},
                                                        {"--changed", &options.changed},
                                                        {"--json", &options.json}};
    const std::pair<const char *, QString *> valued[] = {{"--screen", &options.screen},
                                                         {"--compare", &options.compareFile},
                                                         {"--fleet", &options.fleetFile},
                                                         {"--jobs", &options.jobs}};
    for (qsizetype i = 0; i < arguments.size();) {
        const QString argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        bool taken = false;
        if (argument == QLatin1String("--yes") || argument == QLatin1String("--no")) {
            options.answer = argument == QLatin1String("--yes");
            arguments.removeAt(i);
            taken = true;
        }
        for (const auto &[name, flag] : switches) {
            if (!taken && argument == QLatin1String(name)) {
                *flag = true;
                arguments.removeAt(i);
                taken = true;
            }
        }
        for (const auto &[name, value] : valued) {
            if (taken || argument != QLatin1String(name))
                continue;
            if (!hasValue)
                return usageFailure(argument + QStringLiteral(" needs a value"));
            *value = arguments[i + 1];
            arguments.remove(i, 2);
            taken = true;
        }
        if (!taken)
            ++i;
    }
    const int modes = int(!options.screen.isEmpty()) + int(options.properties) +
                      int(!options.compareFile.isEmpty()) + int(options.all) + int(options.changed);
    if (modes > 1)
        return usageFailure(QStringLiteral(
            "--screen, --properties, --compare, --all and --changed exclude each other"));
    if (!options.fleetFile.isEmpty() &&
        (!options.screen.isEmpty() || options.properties || !options.compareFile.isEmpty()))
        return usageFailure(QStringLiteral("--fleet sends all screens or the changed ones only"));
    if (options.fleetFile.isEmpty() && (options.json || !options.jobs.isEmpty()))
        return usageFailure(QStringLiteral("--json and --jobs go with --fleet"));
    return options;
}

int runFleet(const BoardCommandLine &line, const SendOptions &options, const LoadedBoard &board,
             Terminal &terminal)
{
    FleetOptions fleet;
    fleet.onlyChanges = options.changed;
    fleet.answer = options.answer;
    fleet.json = options.json;
    if (!options.jobs.isEmpty()) {
        bool ok = false;
        fleet.jobs = options.jobs.toInt(&ok);
        if (!ok || fleet.jobs < 1)
            return usageError(terminal, "send", QStringLiteral("--jobs takes a number from 1 on"),
                              QString::fromLatin1(kSendUsage));
    }
    const common::Expected<QList<fleet::FleetBoard>> boards =
        fleet::readFleetFile(options.fleetFile);
    if (!boards) {
        terminal.err << "pravik-cli send: " << boards.failure().text << '\n';
        return ExitUsageOrUnreadable;
    }
    return runFleetSend(board, line.file, *boards, fleet, terminal);
}

} // namespace

int runSend(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << kSendUsage;
        return ExitOk;
    }
    QStringList rest = arguments;
    const common::Expected<SendOptions> taken = takeSendOptions(rest);
    const common::Expected<BoardCommandLine> parsed =
        taken ? parseBoardCommandLine(rest) : common::Expected<BoardCommandLine>(taken.failure());
    if (!parsed)
        return usageError(terminal, "send", parsed.failure().text, QString::fromLatin1(kSendUsage));
    const SendOptions &options = *taken;
    const BoardCommandLine &line = *parsed;
    if (!line.words.isEmpty() || !line.flags.isEmpty())
        return usageError(terminal, "send", QStringLiteral("unexpected arguments"),
                          QString::fromLatin1(kSendUsage));
    if (!options.fleetFile.isEmpty() && line.linkOverride)
        return usageError(terminal, "send", QStringLiteral("--fleet names each board's link"),
                          QString::fromLatin1(kSendUsage));

    const bool interactive = isatty(STDERR_FILENO) != 0;
    TerminalPrompter prompter(terminal.err, &terminal.in, options.answer);
    const auto board = loadBoard(line, prompter, terminal, "send");
    if (!board)
        return ExitUsageOrUnreadable;
    if (!options.fleetFile.isEmpty())
        return runFleet(line, options, *board, terminal);
    int row = 0;
    if (!options.screen.isEmpty()) {
        bool ok = false;
        row = options.screen.toInt(&ok) + 1;
        if (!ok || row < 1 || row > board->screens.screenCount()) {
            terminal.err << "pravik-cli send: the display file has screens 0 to "
                         << board->screens.screenCount() - 1 << ", not '" << options.screen
                         << "'\n";
            return ExitUsageOrUnreadable;
        }
    }

    link::BoardSession session(board->settings, board->serialDevice);
    for (const common::Failure &failure : session.open())
        common::tell(prompter, failure);

    TerminalJobView view(terminal.err, interactive);
    const StopOnSignals stopOnSignals;
    const jobs::JobInput input{board->screens, line.file, options.compareFile, options.changed};
    const jobs::JobReport report = jobs::runJob(
        session, input,
        [&](jobs::JobContext &context) {
            return row > 0              ? jobs::sendSpecifiedPicture(context, row)
                   : options.properties ? jobs::sendAllProperties(context)
                                        : jobs::sendAll(context);
        },
        view, prompter, stopOnSignals.token());
    jobs::tellEnding(prompter, report.result);
    if (options.changed) {
        const auto ranges = [](const QList<int> &screens) {
            return screens.isEmpty() ? QStringLiteral("none")
                                     : jobs::screenRanges(screens, QStringLiteral(", "));
        };
        terminal.out << "sent: " << ranges(report.sentScreens) << '\n'
                     << "unchanged: " << ranges(report.unchangedScreens) << '\n';
    }
    return stopOnSignals.exitStatus(exitStatusOf(report.result.failure));
}

} // namespace pravik::cli
