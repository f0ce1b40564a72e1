#include "cell_commit.h"

#include "pravik/document/screen_list.h"

#include "common/numbers.h"

namespace pravik::editor {
namespace {

using namespace document;

// A number as the grid shows it, whichever way the editor is left: all the
// digits a double holds (six would make "10.999999" 11), and a negative
// zero ("-0" typed) as 0.
QString decimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

} // namespace

QString commitTextForSave(int column, const QString &editorText)
{
    if (column == PictureColumn)
        return editorText;
    const double value = common::leadingNumber(editorText);
    if (value > 0 && value < 11)
        return decimalText(value);
    return QStringLiteral("0");
}

QString commitTextOnLeave(int column, const QString &editorText)
{
    if (column == PictureColumn)
        return editorText;
    const double value = common::leadingNumber(editorText);
    if (value > 0 && value < 256)
        return decimalText(value);
    return QStringLiteral("0");
}

std::optional<QString> commitTextOnEnter(int column, const QString &editorText)
{
    const double value = common::leadingNumber(editorText);
    switch (column) {
    case PictureColumn:
        return editorText;
    case EntrySpeedColumn:
    case ExitSpeedColumn:
        return value >= 0 && value < 16 ? decimalText(value) : QStringLiteral("2");
    case StayTimeColumn:
        return value >= 0 && value < 256 ? decimalText(value) : QStringLiteral("1");
    default:
        return std::nullopt;
    }
}

} // namespace pravik::editor
