#pragma once

#include "common/failure.h"

#include <QString>

namespace pravik::document {
class ScreenList;
}

namespace pravik::picture {

class BoardCanvas;

// What a job says of a source that is not there: Send All names it
// "  不存在的文件名", one screen and the properties "不存在的图形文件名".
inline const QString kMissingSourceText = QStringLiteral("  不存在的文件名");
inline const QString kMissingPictureText = QStringLiteral("不存在的图形文件名");

// The file list row `row` names, found from the display file's folder.
QString screenSourcePath(const document::ScreenList &screens, int row, const QString &displayFile);

// Whether list row `row` names an existing picture file; else the failure
// `missingText` followed by the name the row gives.
common::Status requirePictureFile(const document::ScreenList &screens, int row,
                                  const QString &displayFile, const QString &missingText);

// Draws the source of list row `row` on the canvas, as every job and the show
// do. A missing file fails with `missingText` and its name, a file that is no
// picture with its own description under "系统错误".
common::Status drawScreenSource(const document::ScreenList &screens, int row,
                                const QString &displayFile, BoardCanvas &canvas,
                                const QString &missingText);

} // namespace pravik::picture
