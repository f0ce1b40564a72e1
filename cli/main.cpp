#include "commands.h"

#include "common/headless_gui.h"
#include "pravik/document/program_texts.h"

#include "program_version.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // The build id is the one Pravik's splash and About box show.
    const QByteArray buildId = "Pravik ID " + pravik::kBuildId.toUtf8() + '\n';
    if (program_version::answeredVersion(argc, argv, "pravik-cli", buildId.constData()))
        return 0;
    common::prepareHeadlessGui();
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
