#pragma once

#include <QString>

namespace pravik::app {

// The canvas strip width for a desktop of this many pixels: 616, 776, 1000,
// 1128 or 1256, the widest that leaves room for the window's frame.
int stripWidthForDesktop(int desktopWidthPixels);

// The desktop's full width and height in pixels, and how many twips make one
// pixel (1440 twips to the inch).
int desktopWidthPixels();
int desktopHeightPixels();
double twipsPerPixel();

// The computer's own IPv4 address as dotted text: the first address of an
// interface that is up and not the loopback, else the loopback address.
QString localIpv4Address();

// How many pixels a length in twips covers on this screen.
int twipsToPixels(int twips, double dotsPerInch);

} // namespace pravik::app
