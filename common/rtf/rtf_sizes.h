#pragma once

#include <algorithm>

// RTF sizes are points, drawn the way the desktop's rich-text box draws them:
// at 96 dpi, 15 twips to the pixel, so \fs24 (12 pt, the RTF default) is 16
// pixels, 16 LEDs on the board. Files made for the boards with that text box
// then come out at the size the operator saw. A size is rounded to the nearest
// pixel, and a pixel size is written as the half points that read back to it.
namespace common::rtf {

inline constexpr int kDefaultHalfPoints = 24;
// No board is higher than 512 LEDs; a larger size is a damaged file.
inline constexpr int kMaxPixelSize = 1024;

inline int halfPointsToPixels(int halfPoints)
{
    if (halfPoints <= 0)
        halfPoints = kDefaultHalfPoints;
    // A half point is 10 twips, a pixel 15: two thirds of a pixel.
    halfPoints = std::min(halfPoints, 3 * kMaxPixelSize);
    return std::clamp((2 * halfPoints + 1) / 3, 1, kMaxPixelSize);
}

inline int pixelsToHalfPoints(int pixels)
{
    return (3 * std::clamp(pixels, 1, kMaxPixelSize) + 1) / 2;
}

} // namespace common::rtf
