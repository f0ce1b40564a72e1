#pragma once

#include "show_frames.h"

#include "common/failure.h"

#include <QByteArray>
#include <QString>

namespace pravik::show {

class Show;

// A GIF counts its sides in 16 bits.
inline constexpr int kLargestGifSide = 0xFFFF;

struct GifOptions
{
    int scale = 4; // an LED as scale x scale pixels
    LedShape shape = LedShape::Squares;
    int loops = 0; // plays of the animation, at most 65535; 0 for ever
};

// Whether a board of `width` x `height` LEDs, an LED `scale` pixels a side,
// makes a picture a GIF can hold; the refusal says why not.
common::Status gifFits(int width, int height, int scale);

// One pass through the show's screens as an animated GIF: a frame for each
// change of the board, for as long as the board shows it (to the hundredth of
// a second a GIF counts in). The refusal says why there is none: a picture
// too large, no memory for it, or giflib's own reason.
common::Expected<QByteArray> showGif(const Show &show, const GifOptions &options);

// The same GIF written to `path`, which keeps its old contents when that
// fails; the failure reads "cannot write PATH: reason".
common::Status writeShowGif(const Show &show, const GifOptions &options, const QString &path);

} // namespace pravik::show
