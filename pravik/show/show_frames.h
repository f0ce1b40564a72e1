#pragma once

#include "led_image.h"

#include <QImage>
#include <QList>
#include <vector>

namespace pravik::show {

enum class LedShape { Squares, Dots };

// The colours of a frame picture: a pixel's index is the LED state it shows,
// kUnlitDot an unlit LED drawn as a dot, 0 also the panel around dots.
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
    void draw(const LedImage &leds, QImage &picture) const;

private:
    int m_scale;
    std::vector<uchar> m_pixels; // for each state, `scale` lines of `scale` pixels
};

} // namespace pravik::show
