// netkeel-cli: reads, writes and stores the settings of a network module
// from a script, for provisioning many modules.

#include "cli_arguments.h"
#include "reading_json.h"
#include "terminal_output.h"

#include "netkeel/module/serial_module_port.h"

#include "program_version.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTextStream>

using namespace netkeel;
using namespace netkeel::cli;

namespace {

bool runWrites(ModuleProtocol &protocol, const LinkTarget &link, const QList<WriteItem> &writes)
{
    bool allAnswered = true;
    for (const WriteItem &item : writes) {
        WriteResult result = WriteResult::Answered;
        if (item.key == u"port") {
            // As the window does: the destination port takes the module port.
            result = protocol.writePorts(link, item.value, item.value);
        } else {
            static const QHash<QString, WriteSetting> settings = {
                {QStringLiteral("mask"), WriteSetting::NetMask},
                {QStringLiteral("gateway"), WriteSetting::Gateway},
                {QStringLiteral("ip"), WriteSetting::ModuleIp},
                {QStringLiteral("reply"), WriteSetting::ReplyIp},
                {QStringLiteral("mac"), WriteSetting::Mac},
                {QStringLiteral("baud"), WriteSetting::Baud},
                {QStringLiteral("multi"), WriteSetting::MultiChannel},
            };
            result = protocol.write(link, settings.value(item.key), item.value);
        }
        // Without a usable port the remaining commands would only repeat the message.
        if (result == WriteResult::PortUnusable)
            return false;
        allAnswered = allAnswered && result == WriteResult::Answered;
    }
    return allAnswered;
}

} // namespace

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "netkeel-cli"))
        return 0;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("netkeel-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ParsedArguments parsed = parseCliArguments(QCoreApplication::arguments());
    if (parsed.helpRequested) {
        out << usageText();
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        err << "netkeel-cli: " << parsed.error << "\n\n" << usageText();
        return 2;
    }
    const CliRequest &request = parsed.request;

    SerialModulePort port;
    StderrPrompter prompter;
    StderrLog log;
    ModuleProtocol protocol(port, prompter, log, request.timing);
    const LinkTarget link = linkForPortArgument(request.port);

    bool good = false;
    switch (request.command) {
    case CliRequest::Command::Read: {
        const ModuleReading reading = protocol.readSettings(link);
        out << QJsonDocument(readingToJson(reading)).toJson(QJsonDocument::Compact) << Qt::endl;
        good = reading.complete;
        break;
    }
    case CliRequest::Command::Write:
        good = runWrites(protocol, link, request.writes);
        break;
    case CliRequest::Command::Store:
        good = protocol.write(link, WriteSetting::Store, QString()) == WriteResult::Answered;
        break;
    }
    return good ? 0 : 1;
}
