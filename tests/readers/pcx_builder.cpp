#include "pcx_builder.h"

namespace pcxtest {
namespace {

void putWord(QByteArray &bytes, int offset, int value)
{
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void putRgb(QByteArray &bytes, int offset, QRgb colour)
{
    bytes[offset] = static_cast<char>(qRed(colour));
    bytes[offset + 1] = static_cast<char>(qGreen(colour));
    bytes[offset + 2] = static_cast<char>(qBlue(colour));
}

} // namespace

QByteArray headerBytes(const PcxHeader &header)
{
    QByteArray bytes(128, '\0');
    bytes[0] = 0x0A;
    bytes[1] = static_cast<char>(header.version);
    bytes[2] = static_cast<char>(header.encoding);
    bytes[3] = static_cast<char>(header.bitsPerPixel);
    putWord(bytes, 4, header.xmin);
    putWord(bytes, 6, header.ymin);
    putWord(bytes, 8, header.xmax);
    putWord(bytes, 10, header.ymax);
    putWord(bytes, 12, 72);
    putWord(bytes, 14, 72);
    for (int i = 0; i < header.palette16.size() && i < 16; ++i)
        putRgb(bytes, 16 + 3 * i, header.palette16[i]);
    bytes[65] = static_cast<char>(header.planes);
    putWord(bytes, 66, header.bytesPerLine);
    putWord(bytes, 68, 1);
    return bytes;
}

QByteArray encodeLines(const QByteArray &raw, int lineSize)
{
    QByteArray out;
    for (qsizetype start = 0; start < raw.size(); start += lineSize) {
        const qsizetype end = std::min(raw.size(), start + lineSize);
        qsizetype i = start;
        while (i < end) {
            const char value = raw[i];
            qsizetype run = 1;
            while (i + run < end && run < 63 && raw[i + run] == value)
                ++run;
            if (run > 1 || (static_cast<uchar>(value) & 0xC0) == 0xC0)
                out += static_cast<char>(0xC0 | run);
            out += value;
            i += run;
        }
    }
    return out;
}

QByteArray trailingPalette(const QList<QRgb> &colours)
{
    QByteArray bytes(769, '\0');
    bytes[0] = 0x0C;
    for (int i = 0; i < colours.size() && i < 256; ++i)
        putRgb(bytes, 1 + 3 * i, colours[i]);
    return bytes;
}

} // namespace pcxtest
