#pragma once

#include <algorithm>
#include <cmath>

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

// Indents, tab stops and the default tab distance are twips, drawn at the same
// 96 dpi: 15 twips to the pixel, so \li1440 (an inch) is 96 pixels and the
// default tab distance of 720 twips 48 pixels. A distance is rounded to the
// nearest pixel and written as the twips that read back to it.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kDefaultTabTwips = 720;
// No board is wider than 2512 LEDs; an indent or a stop further out, either
// way, is a damaged file.
inline constexpr int kMaxDistancePixels = 4096;
// Word processors keep at most 64 stops to a paragraph.
inline constexpr int kMaxTabStops = 64;

inline int twipsToPixels(int twips)
{
    constexpr int limit = kMaxDistancePixels * kTwipsPerPixel;
    twips = std::clamp(twips, -limit, limit);
    const int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((half - twips) / kTwipsPerPixel);
}

inline int pixelsToTwips(double pixels)
{
    constexpr double limit = kMaxDistancePixels;
    return static_cast<int>(std::lround(std::clamp(pixels, -limit, limit) * kTwipsPerPixel));
}

} // namespace common::rtf
