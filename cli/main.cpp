#include "commands.h"

#include "pravik/document/program_texts.h"

#include "program_version.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// The terminal shows the program's own messages only; the toolkit's notes
// about its environment (a missing runtime folder and the like) would read
// like messages of the job.
void keepToolkitNotesQuiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // The build id is the one Pravik's splash and About box show.
    const QByteArray buildId = "Pravik ID " + pravik::kBuildId.toUtf8() + '\n';
    if (program_version::answeredVersion(argc, argv, "pravik-cli", buildId.constData()))
        return 0;
    qInstallMessageHandler(keepToolkitNotesQuiet);
    // Text screens are laid out with fonts, which need a GUI application; a
    // terminal has no display, so the offscreen platform is the default.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    pravik::cli::Terminal terminal{out, err, in};
    const int status = pravik::cli::runCli(QGuiApplication::arguments().mid(1), terminal);
    out.flush();
    err.flush();
    return status;
}
