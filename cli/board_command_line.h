#pragma once

#include "commands.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/link/link_override.h"

#include <QStringList>
#include <optional>

namespace pravik::cli {

// What every command that talks to a board reads from its command line: the
// display file, the words after it, and an optional --link.
struct BoardCommandLine
{
    QString file;
    QStringList words;
    std::optional<link::LinkOverride> linkOverride;
    QStringList flags; // other --options, for the command to judge
};

// Splits the arguments; the failure says what is wrong with --link or that
// no file is named.
common::Expected<BoardCommandLine> parseBoardCommandLine(const QStringList &arguments);

// Reads the display file's settings and screens the way File Open does, with
// its messages on the terminal, and applies --link. Nothing when the file
// cannot be used; the reason has been printed.
struct LoadedBoard
{
    document::BoardSettings settings;
    document::ScreenList screens;
    QString serialDevice; // a device named by --link, else empty
};
std::optional<LoadedBoard> loadBoard(const BoardCommandLine &line, common::Prompter &prompter,
                                     Terminal &terminal, const char *command);

// What a command line gets wrong, said with the command's usage.
common::Failure usageFailure(const QString &text);

// Prints a command line mistake with the command's usage; exit status 2.
int usageError(Terminal &terminal, const char *command, const QString &error, const QString &usage);

// The exit status a failure stands for: its result code (1, 2, or the
// exchange's 3, 4, 5); 0 for none.
int exitStatusOf(const common::Status &failure);

} // namespace pravik::cli
