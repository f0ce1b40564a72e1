#pragma once

#include <QImage>

namespace pravik::picture {

class BoardCanvas;

inline constexpr QRgb kLedRed = 0xFFFF0000;
inline constexpr QRgb kLedGreen = 0xFF00FF00;
inline constexpr QRgb kLedYellow = 0xFFFFFF00;
inline constexpr QRgb kLedOff = 0xFF000000;

// What the board shows once the canvas is packed into its planes: one image
// pixel per LED, red, green or yellow (both) on black. A single-colour board
// lights its LEDs red.
QImage ledView(const BoardCanvas &canvas, int screenType);

} // namespace pravik::picture
