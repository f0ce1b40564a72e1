#include "start_routine.h"

#include "pravik/document/program_texts.h"

#include "program_version.h"

#include <QApplication>

// The About box shows the numbers of program_texts.h; the package is named
// after project(). Both must change together.
static_assert(pravik::kVersionMajor == program_version::kMajor &&
                  pravik::kVersionMinor == program_version::kMinor &&
                  pravik::kVersionRevision == program_version::kPatch,
              "program_texts.h and project() name different versions");

namespace {

const char *const kHelp =
    "Usage: pravik [QT-OPTION]...\n"
    "\n"
    "Pravik composes display files (.lt) for LED sign boards: the board's\n"
    "settings and up to 239 screens, each a picture or a text with its effects.\n"
    "It draws every screen into the board's colour planes and sends it over a\n"
    "serial line (COM1 ... COM16) or UDP. Everything happens in its windows;\n"
    "pravik-cli does the same from a terminal.\n"
    "\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "The toolkit's own options (-platform NAME, -style NAME, ...) are accepted.\n";

} // namespace

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "pravik") ||
        program_version::answeredHelp(argc, argv, kHelp))
        return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(pravik::kProgramTitle);
    return pravik::app::runStartRoutine(application);
}
