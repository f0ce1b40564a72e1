#pragma once

#include "show_screen.h"

#include "common/failure.h"

#include <QList>
#include <QString>
#include <vector>

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

// The screens a show is made of, by list index: `count` of them from
// `first`, to the end of the list when `count` is negative. A range past the
// list's end holds only the screens there are.
struct ScreenRange
{
    int first = 0;
    int count = -1;
};

// One screen of the list as the show takes it. A screen that cannot be sent
// as it is still plays, so that the play can go on past it: dark when its
// picture cannot be drawn, with the first effect, speed 1 and a stay of a
// second when its properties cannot be sent. Its problems say why.
struct LoadedScreen
{
    int index = 0; // in the list
    ShowScreen screen;
    // Send All's own messages, in the order it meets them: the picture's
    // (a missing file, a file that is no picture, a board too large for its
    // planes), then the properties' (a speed or a stay time that is no byte).
    // A board that is sent no pictures plays dark, and says so when nothing
    // else is wrong. Empty when the screen plays as the board would show it.
    QList<common::Failure> problems;
};

// Whether the board is sent pictures: only single-colour (1) and three-colour
// (2) boards are; any other shows its screens dark.
bool boardShowsPictures(const document::BoardSettings &settings);

// The screens of `range`, up to the first empty picture, each drawn on a
// board-sized canvas as Send All draws it, packed into the board's planes and
// read back, with the properties the board is sent.
std::vector<LoadedScreen> loadScreens(const ShowSources &sources, const ScreenRange &range = {});

// The problem Send All would stop at: the first of the first screen that has
// one. Nothing when every screen can be sent.
common::Status firstProblem(const std::vector<LoadedScreen> &screens);

// The screens as the show plays them.
std::vector<ShowScreen> showScreens(std::vector<LoadedScreen> screens);

} // namespace pravik::show
