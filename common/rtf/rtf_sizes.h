#pragma once

#include <algorithm>

// A board pixel is one LED, so RTF sizes are taken at one point per pixel:
// \fs24 (12 pt, the RTF default) draws text 12 LEDs high, which is what the
// operator chose in the editor for a 12-pixel line. Half points round up.
namespace common::rtf {

inline constexpr int kDefaultHalfPoints = 24;
// No board is higher than 512 LEDs; a larger size is a damaged file.
inline constexpr int kMaxPixelSize = 1024;

inline int halfPointsToPixels(int halfPoints)
{
    if (halfPoints <= 0)
        halfPoints = kDefaultHalfPoints;
    return std::clamp((halfPoints + 1) / 2, 1, kMaxPixelSize);
}

inline int pixelsToHalfPoints(int pixels)
{
    return std::clamp(pixels, 1, kMaxPixelSize) * 2;
}

} // namespace common::rtf
