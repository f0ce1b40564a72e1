#pragma once

#include <QString>
#include <optional>

namespace pravik::editor {

// The text that an open cell editor leaves in its cell when the list is saved:
// the picture column takes the editor text as it is, a number column takes its
// number when it lies in 1..10 and "0" otherwise.
QString commitTextForSave(int column, const QString &editorText);

// The text the cell editor leaves in its cell when the grid takes the focus
// back or its current cell changes: the picture column takes the editor text
// as it is, any other column its number when that lies in 1..255, else "0".
QString commitTextOnLeave(int column, const QString &editorText);

// Enter only writes and moves on the first rows of the grid.
inline constexpr int kEnterRowLimit = 128;

// What Enter in the cell editor writes into its cell: the picture column the
// editor text, the speeds their number when it lies in 0..15 (else "2"), the
// stay time its number when it lies in 0..255 (else "1"). Other columns keep
// their text: nothing.
std::optional<QString> commitTextOnEnter(int column, const QString &editorText);

} // namespace pravik::editor
