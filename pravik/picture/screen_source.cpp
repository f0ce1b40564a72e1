#include "screen_source.h"

#include "picture_source.h"

#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"

namespace pravik::picture {
namespace {

common::Failure missing(const document::ScreenList &screens, int row, const QString &missingText)
{
    return {common::kFailedCode, kProgramTitle,
            missingText + screens.text(row, document::PictureColumn), common::MessageIcon::Error};
}

} // namespace

QString screenSourcePath(const document::ScreenList &screens, int row, const QString &displayFile)
{
    return resolveSourcePath(screens.text(row, document::PictureColumn), displayFile);
}

common::Status requirePictureFile(const document::ScreenList &screens, int row,
                                  const QString &displayFile, const QString &missingText)
{
    if (isExistingPictureFile(screenSourcePath(screens, row, displayFile)))
        return {};
    return missing(screens, row, missingText);
}

common::Status drawScreenSource(const document::ScreenList &screens, int row,
                                const QString &displayFile, BoardCanvas &canvas,
                                const QString &missingText)
{
    if (common::Status failed = requirePictureFile(screens, row, displayFile, missingText))
        return failed;
    const SourceResult drawn = loadSource(screenSourcePath(screens, row, displayFile), canvas);
    switch (drawn.status) {
    case SourceResult::Status::Drawn:
        return {};
    case SourceResult::Status::Missing:
        // Gone between the look and the load: told like any missing file.
        return missing(screens, row, missingText);
    case SourceResult::Status::Unreadable:
        break;
    }
    return common::Failure{
        common::kFailedCode, QStringLiteral("系统错误"),
        QStringLiteral("%1: %2").arg(screens.text(row, document::PictureColumn), drawn.reason),
        common::MessageIcon::Question};
}

} // namespace pravik::picture
