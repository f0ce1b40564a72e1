#include "commands.h"
#include "display_file_json.h"

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextStream>

namespace pravik::cli {
namespace {

const char *const kCreateUsage =
    "Usage: pravik-cli create FILE.lt < content.json\n"
    "\n"
    "Writes a display file, with the same routine as Pravik's Save, from one JSON\n"
    "object on standard input, as 'pravik-cli show --json' prints it:\n"
    "\n"
    "  settings  port (0 Ethernet, 1..16 COMn), baud, address, ipAddress,\n"
    "            ipPort, feedback, scrtype, scrwidth, scrhigh; a missing value\n"
    "            keeps Pravik's start value; ipOctets follow from ipAddress\n"
    "  screens   up to 239 objects with the texts picture, entryEffect,\n"
    "            entrySpeed, stayMode, stayTime, displayKind, exitEffect,\n"
    "            exitSpeed; a missing text keeps the fresh screen's default\n"
    "  messages  ignored\n"
    "\n"
    "A value the display file cannot carry is refused: exit status 2 and no file\n"
    "is written. An existing file is replaced only when the new one is complete.\n";

} // namespace

int runCreate(const QStringList &arguments, Terminal &terminal)
{
    QString path;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            terminal.out << kCreateUsage;
            return ExitOk;
        }
        if (argument.startsWith(u'-') || !path.isEmpty()) {
            terminal.err << "pravik-cli create: unexpected argument '" << argument << "'\n"
                         << kCreateUsage;
            return ExitUsageOrUnreadable;
        }
        path = argument;
    }
    if (path.isEmpty()) {
        terminal.err << "pravik-cli create: name the display file to write\n" << kCreateUsage;
        return ExitUsageOrUnreadable;
    }

    const QByteArray input = terminal.in.readAll().toUtf8();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(input, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        const QString why = parseError.error != QJsonParseError::NoError
                                ? QStringLiteral("%1 at character %2")
                                      .arg(parseError.errorString())
                                      .arg(parseError.offset)
                                : QStringLiteral("the input is not one JSON object");
        terminal.err << "pravik-cli create: bad JSON: " << why << '\n';
        return ExitUsageOrUnreadable;
    }

    const common::Expected<DisplayFileContent> content = displayFileFromJson(document.object());
    if (!content) {
        terminal.err << "pravik-cli create: " << content.failure().text << '\n';
        return ExitUsageOrUnreadable;
    }
    common::RecordingPrompter prompter;
    if (!document::saveDisplayFile(path, content->settings, content->screens, prompter)) {
        for (const common::Message &m : prompter.messages())
            terminal.err << "pravik-cli create: " << m.text << '\n';
        return ExitUsageOrUnreadable;
    }
    return ExitOk;
}

} // namespace pravik::cli
