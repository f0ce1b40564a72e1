#include "cli_arguments.h"

#include "netkeel/module/module_commands.h"

#include "common/numbers.h"

namespace netkeel::cli {
namespace {

const QStringList kWriteKeys = {
    QStringLiteral("mask"),  QStringLiteral("gateway"), QStringLiteral("ip"),
    QStringLiteral("reply"), QStringLiteral("mac"),     QStringLiteral("port"),
    QStringLiteral("baud"),  QStringLiteral("multi"),
};

// A write's value as it goes on the line, or an error.
QString lineValue(const QString &key, const QString &value, QString *error)
{
    if (key == u"baud") {
        const auto rate = common::asInteger(value);
        const int code = rate ? baudCodeForRate(static_cast<int>(*rate)) : -1;
        if (code < 0) {
            *error = QStringLiteral("baud=%1 is not a rate of the module "
                                    "(1200, 2400, 4800, 9600, 19200, 28800, 38400, 57600)")
                         .arg(value);
            return {};
        }
        return QString::number(code);
    }
    if (key == u"multi") {
        if (value != u"0" && value != u"1") {
            *error = QStringLiteral("multi=%1: give 0 or 1").arg(value);
            return {};
        }
    }
    return value;
}

bool takeMilliseconds(const QString &text, int *target)
{
    const auto value = common::asInteger(text);
    if (!value || *value < 0 || *value > 600000)
        return false;
    *target = static_cast<int>(*value);
    return true;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage:\n"
        "  netkeel-cli read  --port DEVICE [TIMING]\n"
        "  netkeel-cli write --port DEVICE [TIMING] KEY=VALUE...\n"
        "  netkeel-cli store --port DEVICE [TIMING]\n"
        "\n"
        "Reads, writes or stores the settings of a network module on a serial\n"
        "port (9600,n,8,1). DEVICE is a device path or COM1 ... COM16.\n"
        "\n"
        "read prints one JSON object with multi, mac, baud, ip, reply, gateway,\n"
        "mask, port and destPort; a field whose step failed is left out.\n"
        "write sends one command per KEY=VALUE, in the order given:\n"
        "  mask, gateway, ip, reply   an address, sent as typed\n"
        "  mac                        the MAC text, sent as typed\n"
        "  port                       the module port; the destination port gets it too\n"
        "  baud                       1200 2400 4800 9600 19200 28800 38400 57600\n"
        "  multi                      0 or 1 (multi-channel mode)\n"
        "store makes the module keep its settings.\n"
        "\n"
        "TIMING (milliseconds):\n"
        "  --wait-ms N         longest wait for an answer (default 1000)\n"
        "  --pause-ms N        pause after the wait (default 100)\n"
        "  --short-pause-ms N  pause after rrm and rbr (default 20)\n"
        "\n"
        "The module's answers and the messages go to standard error. The exit\n"
        "status is 0 when every command was answered and every answer fitted,\n"
        "1 otherwise, 2 for a wrong command line.\n");
}

ParsedArguments parseCliArguments(const QStringList &arguments)
{
    ParsedArguments parsed;
    CliRequest &request = parsed.request;
    const QStringList args = arguments.mid(1);
    if (args.isEmpty()) {
        parsed.error = QStringLiteral("no command given");
        return parsed;
    }
    const QString &command = args.first();
    if (command == u"--help" || command == u"-h" || command == u"help") {
        parsed.helpRequested = true;
        return parsed;
    }
    if (command == u"read")
        request.command = CliRequest::Command::Read;
    else if (command == u"write")
        request.command = CliRequest::Command::Write;
    else if (command == u"store")
        request.command = CliRequest::Command::Store;
    else {
        parsed.error = QStringLiteral("unknown command '%1'").arg(command);
        return parsed;
    }

    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            parsed.helpRequested = true;
            return parsed;
        }
        if (arg.startsWith(u"--")) {
            if (i + 1 >= args.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(arg);
                return parsed;
            }
            const QString &value = args[++i];
            bool good = true;
            if (arg == u"--port")
                request.port = value;
            else if (arg == u"--wait-ms")
                good = takeMilliseconds(value, &request.timing.waitMs);
            else if (arg == u"--pause-ms")
                good = takeMilliseconds(value, &request.timing.pauseMs);
            else if (arg == u"--short-pause-ms")
                good = takeMilliseconds(value, &request.timing.shortPauseMs);
            else {
                parsed.error = QStringLiteral("unknown option %1").arg(arg);
                return parsed;
            }
            if (!good) {
                parsed.error = QStringLiteral("%1 takes milliseconds, not '%2'").arg(arg, value);
                return parsed;
            }
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        if (request.command != CliRequest::Command::Write || equals < 0) {
            parsed.error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return parsed;
        }
        const QString key = arg.left(equals);
        if (!kWriteKeys.contains(key)) {
            parsed.error = QStringLiteral("unknown setting '%1' (one of %2)")
                               .arg(key, kWriteKeys.join(QStringLiteral(", ")));
            return parsed;
        }
        QString error;
        const QString value = lineValue(key, arg.mid(equals + 1), &error);
        if (!error.isEmpty()) {
            parsed.error = error;
            return parsed;
        }
        request.writes.append(WriteItem{key, value});
    }

    if (request.port.isEmpty())
        parsed.error = QStringLiteral("--port DEVICE is missing");
    else if (request.command == CliRequest::Command::Write && request.writes.isEmpty())
        parsed.error = QStringLiteral("write needs at least one KEY=VALUE");
    return parsed;
}

} // namespace netkeel::cli
