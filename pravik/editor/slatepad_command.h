#pragma once

#include <QString>
#include <QStringList>

namespace pravik::editor {

// The rich-text editor that writes text screens sized for the board. It lies
// in the program's own folder: Slatepad.EXE on Windows, slatepad elsewhere.
QString slatepadProgram(const QString &programFolder);

// Its arguments: the board width and height, each in the sign-position form
// (" 64", " 16"). Joined behind the program path with one blank, they give the
// command line "<path> 64  16": the numbers' own blanks plus the separator.
QStringList slatepadArguments(int width, int height);

// The whole command line as one text.
QString slatepadCommandLine(const QString &programFolder, int width, int height);

} // namespace pravik::editor
