#pragma once

#include "show.h"

#include <cstdint>
#include <functional>

namespace pravik::show {

// The order of the moments of one pass through the list: it falls where the
// play goes round from the end of the list to its start.
int passOrder(const ShowMoment &moment);

// Takes a frame of the show and how long it stays, in milliseconds; false
// stops the play.
using FrameSink = std::function<bool(const LedImage &frame, std::int64_t ms)>;

// Plays the show's screens once, from its first screen to the end of its
// last, and hands over every frame that differs from the one before: one for
// each step of an effect at most, one for a whole still stay. False when the
// sink stopped it.
bool playOnePass(const Show &show, const FrameSink &frameDone);

} // namespace pravik::show
