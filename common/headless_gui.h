#pragma once

#include <QtGlobal>

#include <cstdio>

namespace common {

// The terminal tools and the service lay text screens out with fonts, which
// needs a GUI application, but they have no display: the offscreen platform
// is their default, and only the toolkit's errors reach standard error, since
// its notes about the environment (no runtime folder, no display) would read
// like the program's own messages. Called before the application is made.
inline void prepareHeadlessGui()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace common
