#include "board_command_line.h"
#include "commands.h"
#include "terminal_prompter.h"

#include "pravik/picture/board_canvas.h"
#include "pravik/picture/led_view.h"
#include "pravik/picture/screen_source.h"

#include <QTextStream>

namespace pravik::cli {
namespace {

// The terminal has no desktop to fit: the widest strip keeps the canvas in as
// few pieces as possible. The packed planes do not depend on it.
constexpr int kStripWidth = 1256;

const char *const kRenderUsage =
    "Usage: pravik-cli render FILE.lt N OUT.png\n"
    "\n"
    "Writes what screen N (counted from 0) will look like on the board: the\n"
    "canvas as it is packed into the board's planes, one image pixel per LED,\n"
    "lit LEDs red, green or yellow on black.\n";

// The screen number N, which must name one of the file's screens.
std::optional<int> screenNumber(const QString &text, const LoadedBoard &board, Terminal &terminal,
                                const char *command)
{
    bool ok = false;
    const int screen = text.toInt(&ok);
    const int count = board.screens.screenCount();
    if (!ok || screen < 0 || screen >= count) {
        terminal.err << "pravik-cli " << command << ": the display file has screens 0 to "
                     << count - 1 << ", not '" << text << "'\n";
        return std::nullopt;
    }
    return screen;
}

} // namespace

int runRender(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << kRenderUsage;
        return ExitOk;
    }
    const common::Expected<BoardCommandLine> parsed = parseBoardCommandLine(arguments);
    if (!parsed)
        return usageError(terminal, "render", parsed.failure().text,
                          QString::fromLatin1(kRenderUsage));
    const BoardCommandLine &line = *parsed;
    if (line.words.size() != 2 || !line.flags.isEmpty() || line.linkOverride)
        return usageError(terminal, "render", QStringLiteral("give N and OUT.png"),
                          QString::fromLatin1(kRenderUsage));

    TerminalPrompter prompter(terminal.err);
    const auto board = loadBoard(line, prompter, terminal, "render");
    if (!board)
        return ExitUsageOrUnreadable;
    const auto screen = screenNumber(line.words[0], *board, terminal, "render");
    if (!screen)
        return ExitUsageOrUnreadable;
    const int type = board->settings.scrtype;
    if (type != 1 && type != 2) {
        terminal.err << "pravik-cli render: the board is of type " << type
                     << "; only single-colour (1) and three-colour (2) boards get pictures\n";
        return ExitUsageOrUnreadable;
    }
    picture::BoardCanvas canvas;
    canvas.resize(board->settings.scrwidth, board->settings.scrhigh, kStripWidth);
    if (const common::Status drawn = picture::drawScreenSource(
            board->screens, *screen + 1, line.file, canvas, picture::kMissingPictureText)) {
        common::tell(prompter, *drawn);
        return ExitUsageOrUnreadable;
    }
    if (!picture::ledView(canvas, type).save(line.words[1], "PNG")) {
        terminal.err << "pravik-cli render: cannot write " << line.words[1] << '\n';
        return ExitUsageOrUnreadable;
    }
    return ExitOk;
}

} // namespace pravik::cli
