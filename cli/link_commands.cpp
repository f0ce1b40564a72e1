#include "board_command_line.h"
#include "commands.h"
#include "terminal_prompter.h"

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

} // namespace

int runClock(const QStringList &arguments, Terminal &terminal)
{
    const QString usage = QStringLiteral("Usage: pravik-cli clock FILE.lt [--link LINK]\n\n"
                                         "Sets the board's clock from this computer's date and "
                                         "time, over the\ndisplay file's link.\n\n") +
                          QLatin1String(kLinkOption) + u'\n' + QLatin1String(kExitStatus);
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << usage;
        return ExitOk;
    }
    BoardCommandLine line;
    QString error;
    if (!parseBoardCommandLine(arguments, line, error))
        return usageError(terminal, "clock", error, usage);
    if (!line.words.isEmpty() || !line.flags.isEmpty())
        return usageError(terminal, "clock", QStringLiteral("unexpected arguments"), usage);

    TerminalPrompter prompter(terminal.err);
    const auto board = loadBoard(line, prompter, terminal, "clock");
    if (!board)
        return ExitUsageOrUnreadable;
    CliLink cliLink(board->settings, prompter);
    cliLink.useSerialDevice(board->serialDevice);
    cliLink.link().openLink();
    return exitStatusOf(link::sendClockFromComputer(cliLink.link()));
}

int runRange(const QStringList &arguments, Terminal &terminal)
{
    const QString usage =
        QStringLiteral("Usage: pravik-cli range FILE.lt START COUNT [--link LINK]\n\n"
                       "Tells the board to show COUNT screens from screen START (counted from "
                       "0).\n\n") +
        QLatin1String(kLinkOption) + u'\n' + QLatin1String(kExitStatus);
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << usage;
        return ExitOk;
    }
    BoardCommandLine line;
    QString error;
    // A negative START is a word, not an option.
    if (!parseBoardCommandLine(arguments, line, error))
        return usageError(terminal, "range", error, usage);
    if (line.words.size() != 2 || !line.flags.isEmpty())
        return usageError(terminal, "range", QStringLiteral("give START and COUNT"), usage);

    TerminalPrompter prompter(terminal.err);
    const auto board = loadBoard(line, prompter, terminal, "range");
    if (!board)
        return ExitUsageOrUnreadable;
    CliLink cliLink(board->settings, prompter);
    cliLink.useSerialDevice(board->serialDevice);
    cliLink.link().openLink();
    return exitStatusOf(link::sendDisplayRange(cliLink.link(), line.words[0], line.words[1]));
}

} // namespace pravik::cli
