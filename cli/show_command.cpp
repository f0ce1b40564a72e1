#include "commands.h"
#include "display_file_json.h"

#include "pravik/document/board_capacity.h"
#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace pravik::cli {
namespace {

using namespace pravik::document;

const char *const kShowUsage =
    "Usage: pravik-cli show FILE.lt [--json]\n"
    "\n"
    "Reads a display file the way Pravik's File Open does and prints its board\n"
    "settings, the capacity estimate and its screens.\n"
    "\n"
    "  --json   print one JSON object: settings, screens, and the messages the\n"
    "           load showed, in order\n"
    "\n"
    "Exit status: 0 loaded, 1 the load stopped with a message (what was read is\n"
    "still printed), 2 the file could not be read.\n";

QString screenTypeName(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("single-colour");
    case 2:
        return QStringLiteral("three-colour");
    case 3:
        return QStringLiteral("multi-colour");
    default:
        return QStringLiteral("not chosen");
    }
}

void printReadable(QTextStream &out, const QString &path, const BoardSettings &s,
                   const ScreenList &screens)
{
    out << "Display file: " << path << '\n';
    if (s.isEthernet())
        out << "Link:         Ethernet, " << s.ipAddress << " port " << s.ipPort << '\n';
    else
        out << "Link:         COM" << s.port << ", " << s.baud << " baud\n";
    out << "Bus address:  " << s.busAddress() << '\n';
    out << "Feedback:     " << (s.feedback ? "on (each packet waits for the board's echo)" : "off")
        << '\n';
    out << "Board:        " << s.scrwidth << " x " << s.scrhigh << " LEDs, "
        << screenTypeName(s.scrtype) << " (type " << s.scrtype << ")\n";
    out << "Capacity:     about " << capacityEstimate(s) << " screens in 4 Mb\n";

    const int count = screens.screenCount();
    out << "\nScreens: " << count << '\n';
    for (int row = 1; row <= count; ++row) {
        const ScreenEntry e = screens.entry(row);
        out << qSetFieldWidth(4) << row - 1 << qSetFieldWidth(0) << "  " << e.picture << '\n'
            << "      in " << e.entryEffect << " speed " << e.entrySpeed << ", stay " << e.stayMode
            << ' ' << e.stayTime << ", out " << e.exitEffect << " speed " << e.exitSpeed
            << ", shows " << e.displayKind << '\n';
    }
}

} // namespace

int runShow(const QStringList &arguments, Terminal &terminal)
{
    QString path;
    bool json = false;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            terminal.out << kShowUsage;
            return ExitOk;
        }
        if (argument == QLatin1String("--json")) {
            json = true;
        } else if (argument.startsWith(u'-') || !path.isEmpty()) {
            terminal.err << "pravik-cli show: unexpected argument '" << argument << "'\n"
                         << kShowUsage;
            return ExitUsageOrUnreadable;
        } else {
            path = argument;
        }
    }
    if (path.isEmpty()) {
        terminal.err << "pravik-cli show: name a display file\n" << kShowUsage;
        return ExitUsageOrUnreadable;
    }

    BoardSettings settings;
    ScreenList screens;
    common::RecordingPrompter prompter;
    const LoadResult result = loadDisplayFile(path, settings, screens, prompter);
    if (result == LoadResult::Unreadable) {
        terminal.err << "pravik-cli show: " << prompter.messages().constFirst().text << '\n';
        return ExitUsageOrUnreadable;
    }

    if (json) {
        const QJsonObject object = displayFileJson(settings, screens, prompter.messages());
        terminal.out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    } else {
        printReadable(terminal.out, QFileInfo(path).absoluteFilePath(), settings, screens);
    }
    for (const common::Message &m : prompter.messages())
        terminal.err << m.title << ": " << m.text << '\n';
    return result == LoadResult::Loaded ? ExitOk : ExitStoppedWithMessage;
}

} // namespace pravik::cli
