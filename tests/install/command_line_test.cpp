// What a shell user meets before any job starts: --version, --help without a
// display, and bash completions that offer only what the programs accept.
#include "test_files.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// In a desktop session a program that needs a display would pass unnoticed.
void withoutDisplay()
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
}

TEST(ProgramVersion, EveryProgramNamesItselfAndHelpsWithoutADisplay)
{
    const struct
    {
        QString path;
        QByteArray version;
        bool windowed;
    } programs[] = {
        {PRAVIK_PATH, "pravik " SUITE_VERSION "\n", true},
        {PRAVIK_CLI_PATH, "pravik-cli " SUITE_VERSION "\nPravik ID V5.14 (0409101757)\n", false},
        {NETKEEL_PATH, "netkeel " SUITE_VERSION "\n", true},
        {NETKEEL_CLI_PATH, "netkeel-cli " SUITE_VERSION "\n", false},
        {SLATEPAD_PATH, "slatepad " SUITE_VERSION "\n", true},
        {LEDBOARD_SIM_PATH, "ledboard-sim " SUITE_VERSION "\n", false},
        {NETMODULE_SIM_PATH, "netmodule-sim " SUITE_VERSION "\n", false},
        {PRAVIKD_PATH, "pravikd " SUITE_VERSION "\n", false},
    };
    for (const auto &program : programs) {
        SCOPED_TRACE(program.path.toStdString());
        const ProgramRun version =
            runProgram(program.path, {"--version"}, {}, 10000, withoutDisplay);
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, program.version);
        if (program.windowed) {
            const ProgramRun help = runProgram(program.path, {"--help"}, {}, 10000, withoutDisplay);
            EXPECT_EQ(help.status, 0);
            EXPECT_TRUE(help.out.startsWith("Usage: " + program.version.split(' ').first()));
        }
    }
}

// Runs a completion file's function for the command line `line` (the cursor
// at its end) in `folder`, as bash does on Tab; returns the replies sorted.
QStringList completions(const QString &program, const QString &line,
                        const QString &folder = QDir::currentPath())
{
    static const QString script = QStringLiteral(R"(cd "$3" && source "$1" || exit 9
COMP_LINE=$2
COMP_POINT=${#COMP_LINE}
read -ra COMP_WORDS <<<"$COMP_LINE"
[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
spec=$(complete -p "${COMP_WORDS[0]}") || exit 9
function=${spec#*-F }
"${function%% *}" "${COMP_WORDS[0]}" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
printf '%s\n' "${COMPREPLY[@]}")");
    const ProgramRun run =
        runProgram(QStringLiteral("bash"),
                   {"-c", script, "bash", COMPLETIONS_DIR "/" + program, line, folder});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    QStringList words = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
    words.sort();
    return words;
}

QStringList captures(const QRegularExpression &pattern, const QString &text)
{
    QStringList found;
    for (const QRegularExpressionMatch &match : pattern.globalMatch(text)) {
        for (int group = 1; group <= pattern.captureCount(); ++group) {
            if (!match.captured(group).isEmpty())
                found << match.captured(group);
        }
    }
    found.removeDuplicates();
    found.sort();
    return found;
}

// The options a help text names: all in its usage paragraph, and the ones
// that begin the lines of its option list.
QStringList optionsNamedIn(const QString &help)
{
    static const QRegularExpression inUsage(QStringLiteral("(--[a-z][a-z-]*)"));
    static const QRegularExpression listed(
        QStringLiteral("^[ \\t]+(?:-\\w, )?(--[a-z][a-z-]*)(?:, (--[a-z][a-z-]*))?"),
        QRegularExpression::MultilineOption);
    QStringList options =
        captures(inUsage, help.section(QStringLiteral("\n\n"), 0, 0)) + captures(listed, help);
    options.removeDuplicates();
    options.removeAll(QStringLiteral("--help"));
    options.removeAll(QStringLiteral("--version"));
    options.sort();
    return options;
}

QStringList withoutHelpAndVersion(QStringList words, bool options)
{
    words.removeIf([options](const QString &word) {
        return word.startsWith(u'-') != options || word == u"--help" || word == u"--version";
    });
    return words;
}

TEST(Completion, OffersTheCommandsAndOptionsOfTheProgramsOwnHelp)
{
    const struct
    {
        QString program;
        QString path;
        QString commandLines; // the lines of the help that name one command each
        bool helpPerCommand;
    } programs[] = {
        {"pravik-cli", PRAVIK_CLI_PATH, "^  ([a-z]+) ", true},
        {"netkeel-cli", NETKEEL_CLI_PATH, "^  netkeel-cli ([a-z]+) ", false},
        {"ledboard-sim", LEDBOARD_SIM_PATH, {}, false},
        {"netmodule-sim", NETMODULE_SIM_PATH, {}, false},
        {"pravikd", PRAVIKD_PATH, {}, false},
    };
    for (const auto &program : programs) {
        SCOPED_TRACE(program.program.toStdString());
        const QString help = QString::fromUtf8(runProgram(program.path, {"--help"}).out);
        QStringList commands;
        if (!program.commandLines.isEmpty()) {
            commands = captures(
                QRegularExpression(program.commandLines, QRegularExpression::MultilineOption),
                help);
            ASSERT_FALSE(commands.isEmpty());
            EXPECT_EQ(
                withoutHelpAndVersion(completions(program.program, program.program + ' '), false),
                commands);
        }
        for (const QString &command : commands.isEmpty() ? QStringList{QString()} : commands) {
            SCOPED_TRACE(command.toStdString());
            const QString commandHelp =
                program.helpPerCommand
                    ? QString::fromUtf8(runProgram(program.path, {command, "--help"}).out)
                    : help;
            const QString line = QStringList{program.program, command, "--"}.join(u' ');
            EXPECT_EQ(withoutHelpAndVersion(completions(program.program, line), true),
                      optionsNamedIn(commandHelp));
        }
    }
}

TEST(Completion, OffersFilesAndPortsWhereTheCommandLineWantsThem)
{
    QTemporaryDir folder;
    for (const char *name : {"board.lt", "OLD.LT", "shot.png", "play.gif", "notes.txt"})
        ASSERT_TRUE(writeFileBytes(folder.filePath(name), {}));
    ASSERT_TRUE(QDir(folder.path()).mkdir("screens"));
    const struct
    {
        const char *program;
        const char *line;
        QStringList replies;
    } cases[] = {
        {"pravik-cli", "pravik-cli show ", {"OLD.LT", "board.lt", "screens"}},
        {"pravik-cli", "pravik-cli send board.lt --compare ", {"OLD.LT", "board.lt", "screens"}},
        {"pravik-cli", "pravik-cli send --link udp:host:1973 ", {"OLD.LT", "board.lt", "screens"}},
        {"pravik-cli", "pravik-cli render board.lt 0 ", {"screens", "shot.png"}},
        {"pravik-cli", "pravik-cli preview board.lt ", {"play.gif", "screens"}},
        {"pravik-cli", "pravik-cli clock board.lt --link u", {"udp:"}},
        // bash keeps what stands before the last ":" or "=" and replaces the rest.
        {"pravik-cli", "pravik-cli send board.lt --link serial:COM2", {"COM2"}},
        {"netkeel-cli", "netkeel-cli read --port COM2", {"COM2"}},
        {"netkeel-cli", "netkeel-cli write --port COM1 baud=96", {"9600"}},
        {"netkeel-cli", "netkeel-cli write --port COM1 mu", {"multi="}},
        {"ledboard-sim", "ledboard-sim --pty --type ", {"1", "2", "3"}},
        {"pravikd",
         "pravikd --check --config ",
         {"OLD.LT", "board.lt", "notes.txt", "play.gif", "screens", "shot.png"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(completions(c.program, c.line, folder.path()), c.replies);
    }
}

} // namespace
