#pragma once

#include "pravik/show/led_image.h"

#include <QImage>
#include <array>
#include <vector>

namespace pravik::show_window {

// The colours of the simulated board: a dark panel, unlit LEDs faint on it.
inline constexpr QRgb kPanelColour = 0xFF101010;
inline constexpr QRgb kUnlitColour = 0xFF333333;
inline constexpr int kMinimumPitch = 2;

// Draws LEDs as round dots, `pitch` pixels apart. Each LED state's dot is
// drawn once, smoothly, and then copied row by row, so that a large board is
// drawn at the window's frame rate.
class LedDots
{
public:
    explicit LedDots(int pitch = kMinimumPitch) { setPitch(pitch); }

    int pitch() const { return m_pitch; }
    void setPitch(int pitch);

    // An image for `leds` at this pitch, every LED still to be drawn.
    QImage boardImage(const show::LedImage &leds) const;
    // Draws LED rows [from, to) into `image`, made by boardImage.
    void drawRows(const show::LedImage &leds, int from, int to, QImage &image) const;

private:
    int m_pitch = 0;
    // pitch x pitch pixels for each LED state, row by row.
    std::array<std::vector<QRgb>, 4> m_dots;
};

} // namespace pravik::show_window
