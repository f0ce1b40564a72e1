#include "inserted_screen_row.h"

#include "common/numbers.h"

namespace pravik::editor {

document::ScreenList::Row insertedScreenRow(int row)
{
    return document::ScreenList::Row{
        common::signPosition(row - 1), QString(),
        QStringLiteral("向右展开"),     QStringLiteral("0"),
        QStringLiteral("画面停留"),     QStringLiteral("0"),
        QStringLiteral("显示图片"),     QStringLiteral("向右展开"),
        QStringLiteral("0"),
    };
}

} // namespace pravik::editor
