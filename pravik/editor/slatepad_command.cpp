#include "slatepad_command.h"

#include "common/numbers.h"

#include <QDir>

namespace pravik::editor {

QString slatepadProgram(const QString &programFolder)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QDir(programFolder).filePath(QStringLiteral("Slatepad.EXE")));
#else
    return QDir(programFolder).filePath(QStringLiteral("slatepad"));
#endif
}

QStringList slatepadArguments(int width, int height)
{
    return {common::signPosition(width), common::signPosition(height)};
}

QString slatepadCommandLine(const QString &programFolder, int width, int height)
{
    return slatepadProgram(programFolder) + slatepadArguments(width, height).join(QLatin1Char(' '));
}

} // namespace pravik::editor
