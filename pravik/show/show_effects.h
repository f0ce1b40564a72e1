#pragma once

#include "led_image.h"

namespace pravik::show {

// The entry and exit effects by their code on the wire, in the order of the
// effect names.
enum EffectCode : int {
    WipeRight = 0, // "向右展开": uncovered column by column towards the right
    WipeLeft,
    WipeToCentre, // from both edges towards the centre
    WipeToEdges,  // from the centre towards both edges
    WipeDown,
    WipeUp,
    MoveRight, // "向右移动": slides in from the left, moving right
    MoveLeft,
    MoveToCentre, // the halves slide in from the edges towards the centre
    MoveToEdges,  // the halves slide out of the centre towards the edges
    MoveDown,
    MoveUp,
    AtOnce,       // "立即显示"
    RandomEffect, // "随机": one of the effects before it, each time anew
    Continuous,   // "动画/连续"
};

inline constexpr int kEffectCount = 15;
// The effects "随机" chooses from.
inline constexpr int kRandomEffectChoices = AtOnce + 1;

// How many steps an effect takes on a board: one a column (a row for the
// vertical ones), half as many when the halves move together, one for
// "立即显示". "动画/连续" scrolls leftwards without a pause, the picture
// following itself round the board: an entry comes in at the right edge,
// goes round once more and rests; an exit goes round once and leaves at the
// left edge; two widths each. An unknown code plays as "向左移动", as the board
// would.
int effectSteps(int effect, int width, int height);

// Draws step `step` of an effect into `frame`, which takes the picture's size.
// An entry uncovers the picture: step 0 shows the least, and the picture is
// whole after the last step. An exit plays the same motion taking the picture
// away, leaving the board dark. Composed from row copies only.
void drawEffectStep(const LedImage &picture, int effect, bool exit, int step, LedImage &frame);

} // namespace pravik::show
