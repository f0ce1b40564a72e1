#pragma once

#include "show_screen.h"

#include <QString>
#include <optional>
#include <vector>

namespace common {
class Prompter;
}

namespace pravik::document {
struct BoardSettings;
class ScreenList;
struct Vocabulary;
} // namespace pravik::document

namespace pravik::show {

// What a show is made of: the display file as it is open.
struct ShowSources
{
    const document::BoardSettings &settings;
    const document::ScreenList &screens;
    const document::Vocabulary &vocabulary;
    const QString &displayFileName; // relative picture paths start from its folder
};

// The LEDs list row `row` lights: its source drawn on a board-sized canvas as
// Send All draws it, then packed into the board's planes and read back.
// Nothing when the source cannot be drawn; the operator was told so with Send
// All's own message (a missing file, a file that is no picture, a board too
// large for its planes).
std::optional<LedImage> loadScreenLeds(const ShowSources &sources, int row,
                                       common::Prompter &prompter);

// Every screen of the list, up to the first empty picture, as Send All takes
// them: its LEDs and the properties the board is sent. Nothing when a screen
// cannot be shown; the operator was told why, as Send All tells it, and the
// show stops there like the transfer would. A board too large for its planes
// is refused, with the transfer's message, before anything is drawn.
std::optional<std::vector<ShowScreen>> loadShowScreens(const ShowSources &sources,
                                                       common::Prompter &prompter);

} // namespace pravik::show
