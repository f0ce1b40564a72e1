#include "board_command_line.h"
#include "commands.h"
#include "stop_on_signals.h"
#include "terminal_job_view.h"
#include "terminal_prompter.h"

#include "pravik/document/vocabulary.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/picture/board_canvas.h"

#include <QTextStream>
#include <unistd.h>

namespace pravik::cli {
namespace {

// The terminal has no desktop to fit: the widest strip keeps the canvas in as
// few pieces as possible. The packed planes do not depend on it.
constexpr int kStripWidth = 1256;

const char *const kSendUsage =
    "Usage: pravik-cli send FILE.lt [--yes | --no] [--screen N | --properties]\n"
    "                   [--compare COMPARE.lt] [--link LINK]\n"
    "\n"
    "Sends the display file's screens to the board, each picture followed by its\n"
    "properties, then asks whether to start the display of all of them.\n"
    "\n"
    "  --yes, --no            answer the start question without asking\n"
    "  --screen N             send only screen N (counted from 0), no question\n"
    "  --properties           resend the properties of every screen, no pictures\n"
    "  --compare COMPARE.lt   only check the compare file; nothing is sent\n"
    "  --link udp:HOST:PORT           send over UDP to HOST:PORT instead\n"
    "  --link serial:DEVICE[@BAUD]    send over a serial device (a path or COMn)\n"
    "\n"
    "Messages go to standard error as 'title: text'. Exit status: 0 when the job\n"
    "ended as planned, otherwise the failing exchange's result (3 wrong echo\n"
    "twice, 4 no echo, 5 link failure), or 1 for any other failure, 2 when\n"
    "nothing could be started. Ctrl-C or SIGTERM stops the job once the frame on\n"
    "the wire is answered, says how many screens reached the board and exits\n"
    "with 130 or 143.\n";

struct SendOptions
{
    std::optional<bool> answer;
    QString screen;
    bool properties = false;
    QString compareFile;
};

// Takes the send options out of the arguments; the rest is the usual board
// command line.
bool takeSendOptions(QStringList &arguments, SendOptions &options, QString &error)
{
    for (qsizetype i = 0; i < arguments.size();) {
        const QString argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--yes") || argument == QLatin1String("--no")) {
            options.answer = argument == QLatin1String("--yes");
            arguments.removeAt(i);
        } else if (argument == QLatin1String("--properties")) {
            options.properties = true;
            arguments.removeAt(i);
        } else if (argument == QLatin1String("--screen") || argument == QLatin1String("--compare")) {
            if (!hasValue) {
                error = argument + QStringLiteral(" needs a value");
                return false;
            }
            (argument == QLatin1String("--screen") ? options.screen : options.compareFile) =
                arguments[i + 1];
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (!options.screen.isEmpty() + options.properties + !options.compareFile.isEmpty() > 1) {
        error = QStringLiteral("--screen, --properties and --compare exclude each other");
        return false;
    }
    return true;
}

int exitStatusOf(const jobs::JobResult &result)
{
    if (result.outcome != jobs::JobOutcome::Stopped)
        return ExitOk;
    return result.failedExchange != link::ExchangeResult::Ok ? static_cast<int>(result.failedExchange)
                                                             : ExitStoppedWithMessage;
}

} // namespace

int runSend(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << kSendUsage;
        return ExitOk;
    }
    QStringList rest = arguments;
    SendOptions options;
    BoardCommandLine line;
    QString error;
    if (!takeSendOptions(rest, options, error) || !parseBoardCommandLine(rest, line, error))
        return usageError(terminal, "send", error, QString::fromLatin1(kSendUsage));
    if (!line.words.isEmpty() || !line.flags.isEmpty())
        return usageError(terminal, "send", QStringLiteral("unexpected arguments"),
                          QString::fromLatin1(kSendUsage));

    const bool interactive = isatty(STDERR_FILENO) != 0;
    TerminalPrompter prompter(terminal.err, &terminal.in, options.answer);
    const auto board = loadBoard(line, prompter, terminal, "send");
    if (!board)
        return ExitUsageOrUnreadable;
    int row = 0;
    if (!options.screen.isEmpty()) {
        bool ok = false;
        row = options.screen.toInt(&ok) + 1;
        if (!ok || row < 1 || row > board->screens.screenCount()) {
            terminal.err << "pravik-cli send: the display file has screens 0 to "
                         << board->screens.screenCount() - 1 << ", not '" << options.screen << "'\n";
            return ExitUsageOrUnreadable;
        }
    }

    CliLink cliLink(board->settings, prompter);
    cliLink.useSerialDevice(board->serialDevice);
    cliLink.link().openLink();

    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    picture::BoardCanvas canvas(board->settings.scrwidth, board->settings.scrhigh, kStripWidth);
    TerminalJobView view(terminal.err, interactive);
    const StopOnSignals stopOnSignals;
    jobs::JobContext context{board->settings,
                             board->screens,
                             vocabulary,
                             line.file,
                             options.compareFile,
                             canvas,
                             [&](QByteArray &buffer, int checksumIndex) {
                                 return cliLink.link().exchangePacket(buffer, checksumIndex);
                             },
                             [&] { return cliLink.link().serialPortOpen(); },
                             prompter,
                             view,
                             stopOnSignals.token()};
    const jobs::JobResult result = row > 0              ? jobs::sendSpecifiedPicture(context, row)
                                   : options.properties ? jobs::sendAllProperties(context)
                                                        : jobs::sendAll(context);
    return stopOnSignals.exitStatus(exitStatusOf(result));
}

} // namespace pravik::cli
