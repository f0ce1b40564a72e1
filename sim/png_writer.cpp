#include "png_writer.h"

#include <QDir>

namespace LedBoardSim {

QString screenFileName(int screen)
{
    return QStringLiteral("screen-%1.png").arg(screen, 3, 10, QLatin1Char('0'));
}

QString writeScreenPng(const QImage &image, const QString &directory, int screen, QString *error)
{
    QDir dir(directory);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot create %1").arg(directory);
        return {};
    }
    const QString path = dir.filePath(screenFileName(screen));
    if (!image.save(path, "PNG")) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return {};
    }
    return path;
}

} // namespace LedBoardSim
