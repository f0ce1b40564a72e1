#pragma once

#include "common/failure.h"
#include <QByteArray>

#include <QImage>
#include <QString>

namespace pravik::picture {

// The largest picture side and area a PCX file may claim. Boards are at most
// 2512 x 512 LEDs, so anything near these limits is a damaged header rather
// than a picture; refusing it keeps a bad file from allocating gigabytes.
inline constexpr int kPcxMaxSide = 16384;
inline constexpr qint64 kPcxMaxPixels = qint64(1) << 26;

// Reads a PCX picture: 1-bit (monochrome: 0 black, 1 white), 2-bit 4-colour
// (2 planes x 1 bit with the first four colours of the header palette; 1
// plane x 2 bits, the CGA's mode, whose header holds either four colours or
// the mode's background colour and palette choice), 4-bit 16-colour (1 plane
// x 4 bits and 4 planes x 1 bit, with the header's 16-colour palette), 8-bit
// with the 256-colour palette at the end of the file (0x0C marker), and
// 24-bit (3 planes x 8 bits). Paletted pictures come back as Format_Indexed8,
// 24-bit ones as Format_RGB32.
//
// The picture is the header's window (xmin, ymin)-(xmax, ymax); each scan line
// holds bytes-per-line bytes per plane, which may exceed what the width needs.
// Runs may cross the end of a scan line (older writers do that) but never
// write outside the picture. A file whose pixel data ends before the last scan
// line is refused: a picture with a silently blacked-out lower part would go
// to the board looking like the operator's intent.
//
// The failure says why for anything else or for a damaged file.
common::Expected<QImage> readPcx(const QByteArray &bytes);

} // namespace pravik::picture
