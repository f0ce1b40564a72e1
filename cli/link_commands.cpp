#include "board_command_line.h"
#include "commands.h"
#include "stop_on_signals.h"
#include "terminal_prompter.h"

#include "pravik/link/board_session.h"
#include "pravik/link/direct_commands.h"

#include <QTextStream>

namespace pravik::cli {
namespace {

const char *const kLinkOption =
    "  --link udp:HOST:PORT           send over UDP to HOST:PORT instead\n"
    "  --link serial:DEVICE[@BAUD]    send over a serial device (a path or COMn)\n";

const char *const kExitStatus =
    "Messages go to standard error as 'title: text'. Exit status: the exchange\n"
    "result (0 sent, 3 wrong echo twice, 4 no echo, 5 link failure), 2 when\n"
    "nothing was sent.\n";

// Reads the display file, opens its link (or the one --link names) and runs
// one direct command over it; `words` is how many words follow the file.
template <typename Command>
int runDirectCommand(const QStringList &arguments, Terminal &terminal, const char *name,
                     const QString &usage, qsizetype words, const QString &wordsError,
                     Command command)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << usage;
        return ExitOk;
    }
    // A negative number among the words is a word, not an option.
    const common::Expected<BoardCommandLine> parsed = parseBoardCommandLine(arguments);
    if (!parsed)
        return usageError(terminal, name, parsed.failure().text, usage);
    const BoardCommandLine &line = *parsed;
    if (line.words.size() != words || !line.flags.isEmpty())
        return usageError(terminal, name, wordsError, usage);

    TerminalPrompter prompter(terminal.err);
    const auto board = loadBoard(line, prompter, terminal, name);
    if (!board)
        return ExitUsageOrUnreadable;
    link::BoardSession session(board->settings, board->serialDevice);
    for (const common::Failure &failure : session.open())
        common::tell(prompter, failure);
    // One frame: a signal lets it be answered first, then tells the shell.
    const StopOnSignals stopOnSignals;
    const link::CommandResult result = command(session.link(), line.words);
    if (!result) {
        common::tell(prompter, result.failure());
        return stopOnSignals.exitStatus(result.failure().code);
    }
    prompter.show(*result);
    return stopOnSignals.exitStatus(ExitOk);
}

} // namespace

int runClock(const QStringList &arguments, Terminal &terminal)
{
    const QString usage = QStringLiteral("Usage: pravik-cli clock FILE.lt [--link LINK]\n\n"
                                         "Sets the board's clock from this computer's date and "
                                         "time, over the\ndisplay file's link.\n\n") +
                          QLatin1String(kLinkOption) + u'\n' + QLatin1String(kExitStatus);
    return runDirectCommand(arguments, terminal, "clock", usage, 0,
                            QStringLiteral("unexpected arguments"),
                            [](link::BoardLink &board, const QStringList &) {
                                return link::sendClockFromComputer(board);
                            });
}

int runRange(const QStringList &arguments, Terminal &terminal)
{
    const QString usage =
        QStringLiteral("Usage: pravik-cli range FILE.lt START COUNT [--link LINK]\n\n"
                       "Tells the board to show COUNT screens from screen START (counted from "
                       "0).\n\n") +
        QLatin1String(kLinkOption) + u'\n' + QLatin1String(kExitStatus);
    return runDirectCommand(arguments, terminal, "range", usage, 2,
                            QStringLiteral("give START and COUNT"),
                            [](link::BoardLink &board, const QStringList &words) {
                                return link::sendDisplayRange(board, words[0], words[1]);
                            });
}

} // namespace pravik::cli
