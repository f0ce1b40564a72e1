#include "cell_commit.h"

#include "pravik/document/screen_list.h"

#include "common/numbers.h"

namespace pravik::editor {

QString commitTextForSave(int column, const QString &editorText)
{
    if (column == document::PictureColumn)
        return editorText;
    const double value = common::leadingNumber(editorText);
    if (value > 0 && value < 11)
        return QString::number(value);
    return QStringLiteral("0");
}

} // namespace pravik::editor
