#include "board_command_line.h"

#include "pravik/document/display_file.h"

#include <QTextStream>

namespace pravik::cli {
common::Expected<BoardCommandLine> parseBoardCommandLine(const QStringList &arguments)
{
    BoardCommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool linkThenValue = argument == QLatin1String("--link");
        if (linkThenValue || argument.startsWith(QLatin1String("--link="))) {
            if (linkThenValue && i + 1 >= arguments.size())
                return usageFailure(QStringLiteral("--link needs a value"));
            const common::Expected<link::LinkOverride> parsed =
                link::parseLinkOverride(linkThenValue ? arguments[++i] : argument.mid(7));
            if (!parsed)
                return usageFailure(parsed.failure().text);
            line.linkOverride = *parsed;
        } else if (argument.startsWith(QLatin1String("--"))) {
            line.flags << argument;
        } else if (line.file.isEmpty()) {
            line.file = argument;
        } else {
            line.words << argument;
        }
    }
    if (line.file.isEmpty())
        return usageFailure(QStringLiteral("name a display file"));
    return line;
}

common::Failure usageFailure(const QString &text)
{
    return {common::kRefusedCode, {}, text, common::MessageIcon::Error};
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

int exitStatusOf(const common::Status &failure)
{
    return failure ? failure->code : ExitOk;
}

} // namespace pravik::cli
