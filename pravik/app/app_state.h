#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"

#include <QString>

namespace pravik::app {

// The state the whole program shares, owned by the application and handed to
// whoever needs it; there are no mutable globals. Whether the link was ever
// opened is kept by the board link itself.
struct AppState
{
    document::BoardSettings settings; // start defaults: COM1, address 1, 160 x 32, feedback on
    document::ScreenList screens;
    document::Vocabulary vocabulary;
    QString currentFileName;
    QString compareFileName;
    int stripWidth = 616;  // pixels of one canvas strip, chosen from the desktop width
    QString programFolder; // where Slatepad is found
    // Where the file dialogs start and a display file named without a folder
    // (New's "Noname.lt") is saved: the user's own folder for the program's
    // documents, then the folder of the display file last opened or saved as.
    QString documentFolder;
    bool settingsRejected = false;
};

} // namespace pravik::app
