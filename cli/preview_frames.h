#pragma once

#include "pravik/show/show.h"

#include <QImage>
#include <QList>
#include <cstdint>
#include <functional>
#include <vector>

namespace pravik::cli {

// Takes a frame of the show and how long it stays, in milliseconds; false
// stops the play.
using FrameSink = std::function<bool(const show::LedImage &frame, std::int64_t ms)>;

// Plays the show's screens once, from its first screen to the end of its
// last, and hands over every frame that differs from the one before: one for
// each step of an effect at most, one for a whole still stay. False when the
// sink stopped it.
bool playOnePass(const show::Show &show, const FrameSink &frameDone);

enum class LedShape { Squares, Dots };

// The colours of a preview picture: a pixel's index is the LED state it
// shows, kUnlitDot an unlit LED drawn as a dot, 0 also the panel around dots.
inline constexpr int kUnlitDot = 4;
QList<QRgb> previewPalette();

// Draws LEDs into indexed pictures on previewPalette(), an LED as `scale` x
// `scale` pixels: a square, lit or black, or a round dot on the black panel,
// lit or faint. Each state's LED is drawn once and then copied.
class PreviewPainter
{
public:
    PreviewPainter(int scale, LedShape shape);

    // `picture` is made the right size when it is not; it stays null when
    // there is no memory for it.
    void draw(const show::LedImage &leds, QImage &picture) const;

private:
    int m_scale;
    std::vector<uchar> m_pixels; // for each state, `scale` lines of `scale` pixels
};

} // namespace pravik::cli
