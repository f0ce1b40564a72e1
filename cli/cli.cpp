#include "commands.h"

#include <QTextStream>

namespace pravik::cli {
namespace {

const char *const kUsage =
    "Usage: pravik-cli COMMAND [OPTIONS]\n"
    "\n"
    "The terminal companion of Pravik, the LED sign board editor.\n"
    "\n"
    "Commands:\n"
    "  show FILE.lt [--json]   print a display file's board settings and screens\n"
    "  create FILE.lt          write a display file from JSON read on standard input\n"
    "  clock FILE.lt           set the board's clock from this computer's time\n"
    "  range FILE.lt START COUNT\n"
    "                          tell the board which screens to show\n"
    "  render FILE.lt N OUT.png  write what screen N will look like on the board\n"
    "  preview FILE.lt OUT.gif   write the screens as the board plays them, animated\n"
    "  send FILE.lt            send the screens to the board and start the display\n"
    "  publish FILE.lt --to URL  upload the file and its pictures to the board service\n"
    "\n"
    "Run 'pravik-cli COMMAND --help' for the options of one command.\n";

} // namespace

int runCli(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.isEmpty()) {
        terminal.err << kUsage;
        return ExitUsageOrUnreadable;
    }
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        terminal.out << kUsage;
        return ExitOk;
    }
    if (command == QLatin1String("show"))
        return runShow(rest, terminal);
    if (command == QLatin1String("create"))
        return runCreate(rest, terminal);
    if (command == QLatin1String("clock"))
        return runClock(rest, terminal);
    if (command == QLatin1String("range"))
        return runRange(rest, terminal);
    if (command == QLatin1String("render"))
        return runRender(rest, terminal);
    if (command == QLatin1String("preview"))
        return runPreview(rest, terminal);
    if (command == QLatin1String("send"))
        return runSend(rest, terminal);
    if (command == QLatin1String("publish"))
        return runPublish(rest, terminal);
    terminal.err << "pravik-cli: unknown command '" << command << "'\n\n" << kUsage;
    return ExitUsageOrUnreadable;
}

} // namespace pravik::cli
