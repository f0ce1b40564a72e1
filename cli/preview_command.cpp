#include "board_command_line.h"
#include "commands.h"
#include "terminal_prompter.h"

#include "pravik/document/vocabulary.h"
#include "pravik/show/show.h"
#include "pravik/show/show_frames.h"
#include "pravik/show/show_gif.h"
#include "pravik/show/show_loading.h"
#include "pravik/show/show_pass.h"

#include <QDir>
#include <QTextStream>
#include <QTime>

namespace pravik::cli {
namespace {

const char *const kPreviewUsage =
    "Usage: pravik-cli preview FILE.lt OUT.gif [--from N] [--screens K] [--scale S]\n"
    "                          [--dots] [--loops L]\n"
    "       pravik-cli preview FILE.lt --frames DIR [--from N] [--screens K] [--scale S]\n"
    "                          [--dots]\n"
    "\n"
    "Plays the screens as the board shows them, each with its entry effect, its\n"
    "stay and its exit effect, and writes the play as an animated GIF: a frame\n"
    "for each change of the board, for as long as the board shows it, once\n"
    "through the screens and then again, as the board loops. The times are\n"
    "Pravik's approximation of the board's (an effect step lasts (speed + 1) x\n"
    "10 ms, the stay time counts seconds); viewers may slow down frames shorter\n"
    "than 20 ms.\n"
    "\n"
    "  --from N      start with screen N (counted from 0; default 0)\n"
    "  --screens K   play K screens (default: to the end of the list)\n"
    "  --scale S     draw an LED as S x S pixels (1 to 16; default 4)\n"
    "  --dots        draw LEDs as round dots on a black panel, unlit ones faint\n"
    "                (a scale of 3 or more); the default is squares, unlit black\n"
    "  --loops L     play the animation L times (default 0: for ever)\n"
    "  --frames DIR  write the frames as DIR/frame-0001.png, ... instead, and\n"
    "                print each file's name and its time in milliseconds\n"
    "\n"
    "Exit status: 0 written, 2 bad arguments, a display file that cannot be\n"
    "read, a screen that cannot be drawn or an output that cannot be written.\n";

using show::LedShape;

constexpr int kLargestScale = 16;
constexpr int kSmallestDotScale = 3;

struct PreviewOptions
{
    QString file;
    QString gif;
    QString framesDir;
    int from = 0;
    int screens = 0; // 0: to the end of the list
    int scale = 4;
    int loops = 0;
    LedShape shape = LedShape::Squares;
};

bool takeNumber(const QString &option, const QString &text, int lowest, int highest, int &number,
                QString &error)
{
    bool ok = false;
    number = text.toInt(&ok);
    if (ok && number >= lowest && number <= highest)
        return true;
    error = QStringLiteral("%1 takes a number from %2 to %3, not '%4'")
                .arg(option)
                .arg(lowest)
                .arg(highest)
                .arg(text);
    return false;
}

bool parsePreviewOptions(const QStringList &arguments, PreviewOptions &options, QString &error)
{
    QStringList words;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--dots")) {
            options.shape = LedShape::Dots;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            words << argument;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + QStringLiteral(" needs a value");
            return false;
        }
        const QString &value = arguments[++i];
        bool taken = true;
        if (argument == QLatin1String("--from")) {
            taken = takeNumber(argument, value, 0, document::kMaxScreens - 1, options.from, error);
        } else if (argument == QLatin1String("--screens")) {
            taken = takeNumber(argument, value, 1, document::kMaxScreens, options.screens, error);
        } else if (argument == QLatin1String("--scale")) {
            taken = takeNumber(argument, value, 1, kLargestScale, options.scale, error);
        } else if (argument == QLatin1String("--loops")) {
            taken = takeNumber(argument, value, 0, 0xFFFF, options.loops, error);
        } else if (argument == QLatin1String("--frames")) {
            options.framesDir = value;
        } else {
            error = QStringLiteral("unknown option '%1'").arg(argument);
            return false;
        }
        if (!taken)
            return false;
    }
    const qsizetype outputs = options.framesDir.isEmpty() ? 2 : 1;
    if (words.size() != outputs) {
        error = QStringLiteral("give FILE.lt and either OUT.gif or --frames DIR");
        return false;
    }
    options.file = words[0];
    options.gif = words.value(1);
    if (options.shape == LedShape::Dots && options.scale < kSmallestDotScale) {
        error = QStringLiteral("--dots needs a scale of %1 or more").arg(kSmallestDotScale);
        return false;
    }
    return true;
}

// Checks the board and the range against the display file; false after
// saying what is wrong.
bool checkPreview(const LoadedBoard &board, PreviewOptions &options, Terminal &terminal)
{
    const document::BoardSettings &settings = board.settings;
    const int count = board.screens.screenCount();
    if (!show::boardShowsPictures(settings)) {
        terminal.err << "pravik-cli preview: the board is of type " << settings.scrtype
                     << "; only single-colour (1) and three-colour (2) boards get pictures\n";
        return false;
    }
    if (const common::Status tooLarge =
            show::gifFits(settings.scrwidth, settings.scrhigh, options.scale)) {
        terminal.err << "pravik-cli preview: " << tooLarge->text << '\n';
        return false;
    }
    if (count == 0) {
        terminal.err << "pravik-cli preview: the display file holds no screens\n";
        return false;
    }
    if (options.screens == 0)
        options.screens = std::max(count - options.from, 1);
    const int last = options.from + options.screens - 1;
    if (last >= count) {
        terminal.err << "pravik-cli preview: the display file has screens 0 to " << count - 1
                     << ", not '"
                     << (last == options.from
                             ? QString::number(last)
                             : QStringLiteral("%1 to %2").arg(options.from).arg(last))
                     << "'\n";
        return false;
    }
    return true;
}

bool writeFrames(const show::Show &show, const PreviewOptions &options, Terminal &terminal)
{
    const QDir dir(options.framesDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        terminal.err << "pravik-cli preview: cannot make the folder " << options.framesDir << '\n';
        return false;
    }
    const show::PreviewPainter painter(options.scale, options.shape);
    QImage picture;
    int number = 0;
    return show::playOnePass(show, [&](const show::LedImage &frame, std::int64_t ms) {
        const QString name = QStringLiteral("frame-%1.png").arg(++number, 4, 10, QLatin1Char('0'));
        painter.draw(frame, picture);
        if (picture.isNull() || !picture.save(dir.filePath(name), "PNG")) {
            terminal.err << "pravik-cli preview: cannot write " << dir.filePath(name) << '\n';
            return false;
        }
        terminal.out << name << ' ' << ms << '\n';
        return true;
    });
}

} // namespace

int runPreview(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << kPreviewUsage;
        return ExitOk;
    }
    PreviewOptions options;
    QString error;
    if (!parsePreviewOptions(arguments, options, error))
        return usageError(terminal, "preview", error, QString::fromLatin1(kPreviewUsage));

    TerminalPrompter prompter(terminal.err);
    BoardCommandLine line;
    line.file = options.file;
    const auto board = loadBoard(line, prompter, terminal, "preview");
    if (!board || !checkPreview(*board, options, terminal))
        return ExitUsageOrUnreadable;
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    std::vector<show::LoadedScreen> screens = show::loadScreens(
        show::ShowSources{board->settings, board->screens, vocabulary, options.file},
        show::ScreenRange{options.from, options.screens});
    // A screen that cannot be drawn stops the preview, as it stops Send All.
    if (const common::Status problem = show::firstProblem(screens)) {
        common::tell(prompter, *problem);
        return ExitUsageOrUnreadable;
    }

    // "显示时间" counts from this computer's time, as the board from its own.
    const QTime now = QTime::currentTime();
    const show::Show show(board->settings, show::showScreens(std::move(screens)),
                          show::ShowOptions{0, QTime(now.hour(), now.minute(), now.second())});
    if (!options.framesDir.isEmpty())
        return writeFrames(show, options, terminal) ? ExitOk : ExitUsageOrUnreadable;
    if (const common::Status failed = show::writeShowGif(
            show, show::GifOptions{options.scale, options.shape, options.loops}, options.gif)) {
        terminal.err << "pravik-cli preview: " << failed->text << '\n';
        return ExitUsageOrUnreadable;
    }
    return ExitOk;
}

} // namespace pravik::cli
