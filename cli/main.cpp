#include "commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    pravik::cli::Terminal terminal{out, err, in};
    const int status = pravik::cli::runCli(QCoreApplication::arguments().mid(1), terminal);
    out.flush();
    err.flush();
    return status;
}
