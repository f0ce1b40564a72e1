// Slatepad: writes the text screens of a board. Pravik starts it with the
// board's width and height; see board_size.h for the command line.
#include "board_size.h"
#include "slatepad_window.h"

#include "common/message_box_prompter.h"

#include "program_version.h"

#include <QApplication>

namespace {

const char *const kHelp =
    "Usage: slatepad [QT-OPTION]... [WIDTH HEIGHT] [FILE]\n"
    "\n"
    "Slatepad writes the text screens of an LED sign board: rich text (.rtf)\n"
    "and plain text (.txt) on a page of the board's size, drawn the way Pravik\n"
    "draws a text screen. Pravik starts it with the board's width and height.\n"
    "\n"
    "  WIDTH HEIGHT  the board in LEDs, 1 to 4096 each; a side that is missing\n"
    "                or out of range keeps the default of 160 x 32\n"
    "  FILE          a text to open at once\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "The toolkit's own options (-platform NAME, -style NAME, ...) are accepted.\n";

} // namespace

int main(int argc, char **argv)
{
    if (program_version::answeredVersion(argc, argv, "slatepad") ||
        program_version::answeredHelp(argc, argv, kHelp))
        return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Slatepad"));
    const slatepad::StartRequest request = slatepad::parseStartArguments(application.arguments().mid(1));

    common::MessageBoxPrompter prompter;
    slatepad::SlatepadWindow window(request.board, prompter);
    prompter.setParent(&window);
    if (!request.file.isEmpty())
        window.openFile(request.file);
    window.show();
    return application.exec();
}
