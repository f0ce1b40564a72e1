#include "board_command_line.h"

#include "pravik/document/display_file.h"

#include <QTextStream>

namespace pravik::cli {
namespace {

bool takeLinkOverride(const QString &text, BoardCommandLine &line, QString &error)
{
    const common::Expected<link::LinkOverride> parsed = link::parseLinkOverride(text);
    if (!parsed) {
        error = parsed.failure().text;
        return false;
    }
    line.linkOverride = *parsed;
    return true;
}

} // namespace

bool parseBoardCommandLine(const QStringList &arguments, BoardCommandLine &line, QString &error)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--link")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--link needs a value");
                return false;
            }
            if (!takeLinkOverride(arguments[++i], line, error))
                return false;
        } else if (argument.startsWith(QLatin1String("--link="))) {
            if (!takeLinkOverride(argument.mid(7), line, error))
                return false;
        } else if (argument.startsWith(QLatin1String("--"))) {
            line.flags << argument;
        } else if (line.file.isEmpty()) {
            line.file = argument;
        } else {
            line.words << argument;
        }
    }
    if (line.file.isEmpty()) {
        error = QStringLiteral("name a display file");
        return false;
    }
    return true;
}

int usageError(Terminal &terminal, const char *command, const QString &error, const QString &usage)
{
    terminal.err << "pravik-cli " << command << ": " << error << "\n\n" << usage;
    return ExitUsageOrUnreadable;
}

std::optional<LoadedBoard> loadBoard(const BoardCommandLine &line, common::Prompter &prompter,
                                     Terminal &terminal, const char *command)
{
    LoadedBoard board;
    const document::LoadResult result =
        document::loadDisplayFile(line.file, board.settings, board.screens, prompter);
    if (result == document::LoadResult::Unreadable ||
        result == document::LoadResult::NotDisplayFile) {
        terminal.err << "pravik-cli " << command << ": " << line.file
                     << " gives no board settings\n";
        return std::nullopt;
    }
    if (line.linkOverride)
        board.serialDevice = link::applyLinkOverride(*line.linkOverride, board.settings);
    return board;
}

} // namespace pravik::cli
