#include "show_effects.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pravik::show {
namespace {

// Lines [from, to) of the picture moved by `shift` lines and cut off at the
// same lines: a wipe uncovers a range where it lies, a move pushes a range
// (the whole board, or one half of it) through itself.
struct Piece
{
    int from = 0;
    int to = 0;
    int shift = 0;
};

// What one step shows: up to two pieces of columns, or of rows.
struct StepShape
{
    bool vertical = false;
    int count = 0;
    std::array<Piece, 2> pieces{};

    void add(int from, int to, int shift) { pieces[std::size_t(count++)] = {from, to, shift}; }
};

int knownEffect(int effect)
{
    // The board plays an unknown code as its fallback, "向左移动"; a random
    // effect is chosen before it is drawn.
    return effect >= 0 && effect < kEffectCount && effect != RandomEffect ? effect : MoveLeft;
}

StepShape wipe(bool vertical, bool exit, int length, int step, bool fromEnd)
{
    StepShape shape;
    shape.vertical = vertical;
    const int edge = fromEnd ? length - step : step;
    // An entry uncovers [0, step) or [length - step, length); an exit covers it.
    if (fromEnd != exit)
        shape.add(edge, length, 0);
    else
        shape.add(0, edge, 0);
    return shape;
}

StepShape move(bool vertical, bool exit, int length, int step, int direction)
{
    StepShape shape;
    shape.vertical = vertical;
    shape.add(0, length, direction * (exit ? step : step - length));
    return shape;
}

StepShape shapeOf(int effect, bool exit, int step, int width, int height)
{
    const int centre = width / 2;
    const int half = width - centre; // the steps of the halves
    StepShape shape;
    switch (effect) {
    case WipeRight:
        return wipe(false, exit, width, step, false);
    case WipeLeft:
        return wipe(false, exit, width, step, true);
    case WipeDown:
        return wipe(true, exit, height, step, false);
    case WipeUp:
        return wipe(true, exit, height, step, true);
    case WipeToCentre:
        if (exit) {
            shape.add(step, std::max(step, width - step), 0);
        } else {
            shape.add(0, step, 0);
            shape.add(width - step, width, 0);
        }
        return shape;
    case WipeToEdges: {
        const int left = std::max(0, centre - step);
        const int right = std::min(width, centre + step);
        if (exit) {
            shape.add(0, left, 0);
            shape.add(right, width, 0);
        } else {
            shape.add(left, right, 0);
        }
        return shape;
    }
    case MoveRight:
        return move(false, exit, width, step, 1);
    case MoveDown:
        return move(true, exit, height, step, 1);
    case MoveUp:
        return move(true, exit, height, step, -1);
    case MoveToCentre:
    case MoveToEdges: {
        // Each half travels on its own side of the centre line.
        const int inwards = effect == MoveToCentre ? 1 : -1;
        const int shift = exit ? step : step - half;
        shape.add(0, centre, inwards * shift);
        shape.add(centre, width, -inwards * shift);
        return shape;
    }
    case AtOnce:
        if (!exit)
            shape.add(0, width, 0);
        return shape;
    case Continuous: {
        // The board runs along a band of dark, the picture, the picture
        // again and dark, a column a step: an entry from the dark to the
        // second picture, an exit from the first picture out into the dark.
        const int offset = exit ? width + step : step;
        shape.add(0, width, width - offset);
        shape.add(0, width, 2 * width - offset);
        return shape;
    }
    default:
        return move(false, exit, width, step, -1);
    }
}

} // namespace

int effectSteps(int effect, int width, int height)
{
    int steps = 1;
    switch (knownEffect(effect)) {
    case WipeDown:
    case WipeUp:
    case MoveDown:
    case MoveUp:
        steps = height;
        break;
    case WipeToCentre:
    case WipeToEdges:
    case MoveToCentre:
    case MoveToEdges:
        steps = width - width / 2;
        break;
    case AtOnce:
        break;
    case Continuous:
        steps = 2 * width;
        break;
    default:
        steps = width;
    }
    return std::max(steps, 1);
}

void drawEffectStep(const LedImage &picture, int effect, bool exit, int step, LedImage &frame)
{
    const int width = picture.width();
    const int height = picture.height();
    if (frame.width() != width || frame.height() != height)
        frame.resize(width, height);
    frame.fill(Off);
    if (picture.isEmpty())
        return;
    effect = knownEffect(effect);
    step = std::clamp(step, 0, effectSteps(effect, width, height));
    const StepShape shape = shapeOf(effect, exit, step, width, height);
    for (int p = 0; p < shape.count; ++p) {
        const Piece &piece = shape.pieces[std::size_t(p)];
        const int first = std::max(piece.from, piece.from + piece.shift);
        const int last = std::min(piece.to, piece.to + piece.shift);
        if (first >= last)
            continue;
        if (shape.vertical) {
            for (int y = first; y < last; ++y)
                std::memcpy(frame.row(y), picture.row(y - piece.shift), std::size_t(width));
        } else {
            for (int y = 0; y < height; ++y)
                std::memcpy(frame.row(y) + first, picture.row(y) + first - piece.shift,
                            std::size_t(last - first));
        }
    }
}

} // namespace pravik::show
