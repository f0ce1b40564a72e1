#pragma once

#include "pravik/document/screen_list.h"

namespace pravik::editor {

// The texts of a screen row inserted before grid row `row`: its number is
// row - 1 in the sign-position form (" 2" before row 3), so it stands out from
// the numbers of the rows around it, which keep theirs; it has no picture yet,
// and its speeds and stay time are 0.
document::ScreenList::Row insertedScreenRow(int row);

} // namespace pravik::editor
