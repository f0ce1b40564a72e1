#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

// Builds PCX files byte by byte for the layouts no fixture writer produces.
namespace pcxtest {

struct PcxHeader
{
    int version = 5;
    int encoding = 1;
    int bitsPerPixel = 8;
    int planes = 1;
    int bytesPerLine = 0;
    int xmin = 0;
    int ymin = 0;
    int xmax = 0;
    int ymax = 0;
    QList<QRgb> palette16; // written into the header, at most 16 colours
};

QByteArray headerBytes(const PcxHeader &header);

// Run-length encodes each scan line (all planes of one row) on its own, as
// current writers do.
QByteArray encodeLines(const QByteArray &raw, int lineSize);

// The 0x0C marker and 256 colours that end an 8-bit file.
QByteArray trailingPalette(const QList<QRgb> &colours);

} // namespace pcxtest
