#include "command_line.h"

#include "service_config.h"

namespace pravikd {

const char *const kHelp =
    "Usage: pravikd [--config FILE]\n"
    "  or:  pravikd [--config FILE] --check\n"
    "  or:  pravikd [--config FILE] --plan [--from TIME] [--hours N]\n"
    "  or:  pravikd [--config FILE] --status [--json]\n"
    "  or:  pravikd [--config FILE] --new-token NAME [--viewer]\n"
    "\n"
    "Keeps every LED sign board of a fleet showing what its schedule says, day\n"
    "and night. At each minute, on SIGHUP, when a display file changes and when\n"
    "a failing board is due again, it works out what each board should show and\n"
    "sends only what differs from what the board acknowledged. Without a mode it\n"
    "runs as the service, the way systemd starts it.\n"
    "\n"
    "  --config FILE   read the configuration from FILE\n"
    "                  (default /etc/pravik/pravikd.conf)\n"
    "  --check         check the configuration, the fleet, the schedule and every\n"
    "                  display file the schedule names, and print the boards and\n"
    "                  the rules as understood; 'ok' or every problem\n"
    "  --plan          print what each board shows when, in the zone's time\n"
    "  --from TIME     with --plan: start at TIME, ISO 8601 in the zone, such as\n"
    "                  2026-10-25T01:30 (default: now)\n"
    "  --hours N       with --plan: cover N hours, 1 to 336 (default 24)\n"
    "  --status        print every board's state as the service last saved it\n"
    "  --json          with --status: the states as JSON\n"
    "  --new-token NAME  make a token for the remote control, print it once and\n"
    "                  keep only its hash; it may do everything, or only look\n"
    "  --viewer        with --new-token: a token that may only look\n"
    "  --help          show this help\n"
    "  --version       show the version\n"
    "\n"
    "SIGHUP reads the fleet and the schedule again; SIGTERM and SIGINT stop the\n"
    "service once the frames on the wire are answered. Exit status: 0 when all\n"
    "is well; 1 when the service could not set itself up; 2 for a wrong command\n"
    "line, configuration, fleet or schedule, or when --check finds a problem.\n";

common::Expected<CommandLine> parseCommandLine(const QStringList &arguments)
{
    const auto wrong = [](const QString &text) -> common::Failure {
        return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
    };
    CommandLine line;
    line.configFile = kDefaultConfigFile;
    int modes = 0;
    QString hours;
    bool fromOrHours = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const auto mode = [&](CommandLine::Mode chosen) {
            line.mode = chosen;
            ++modes;
        };
        QString *value = nullptr;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.mode = CommandLine::Mode::Help;
            return line;
        } else if (argument == QLatin1String("--check")) {
            mode(CommandLine::Mode::Check);
        } else if (argument == QLatin1String("--plan")) {
            mode(CommandLine::Mode::Plan);
        } else if (argument == QLatin1String("--status")) {
            mode(CommandLine::Mode::Status);
        } else if (argument == QLatin1String("--json")) {
            line.json = true;
        } else if (argument == QLatin1String("--new-token")) {
            mode(CommandLine::Mode::NewToken);
            value = &line.tokenName;
        } else if (argument == QLatin1String("--viewer")) {
            line.viewer = true;
        } else if (argument == QLatin1String("--config")) {
            value = &line.configFile;
        } else if (argument == QLatin1String("--from")) {
            value = &line.from;
            fromOrHours = true;
        } else if (argument == QLatin1String("--hours")) {
            value = &hours;
            fromOrHours = true;
        } else {
            return wrong(QStringLiteral("unknown argument '%1'").arg(argument));
        }
        if (value) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
                return wrong(argument + QStringLiteral(" needs a value"));
            *value = arguments[++i];
        }
    }
    if (modes > 1)
        return wrong(
            QStringLiteral("--check, --plan, --status and --new-token exclude each other"));
    if (line.viewer && line.mode != CommandLine::Mode::NewToken)
        return wrong(QStringLiteral("--viewer goes with --new-token"));
    if (fromOrHours && line.mode != CommandLine::Mode::Plan)
        return wrong(QStringLiteral("--from and --hours go with --plan"));
    if (line.json && line.mode != CommandLine::Mode::Status)
        return wrong(QStringLiteral("--json goes with --status"));
    if (!hours.isEmpty()) {
        bool ok = false;
        line.hours = hours.toInt(&ok);
        if (!ok || line.hours < 1 || line.hours > kMostPlanHours)
            return wrong(QStringLiteral("--hours is a number from 1 to %1, not '%2'")
                             .arg(kMostPlanHours)
                             .arg(hours));
    }
    return line;
}

} // namespace pravikd
