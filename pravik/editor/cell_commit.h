#pragma once

#include <QString>

namespace pravik::editor {

// The text that an open cell editor leaves in its cell when the list is saved:
// the picture column takes the editor text as it is, a number column takes its
// number when it lies in 1..10 and "0" otherwise.
QString commitTextForSave(int column, const QString &editorText);

} // namespace pravik::editor
