// Slatepad: writes the text screens of a board. Pravik starts it with the
// board's width and height; see board_size.h for the command line.
#include "board_size.h"
#include "slatepad_window.h"

#include "common/message_box_prompter.h"

#include <QApplication>

int main(int argc, char **argv)
{
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
