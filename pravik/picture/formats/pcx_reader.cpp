#include "pcx_reader.h"

#include <QList>
#include <QRgb>

#include <algorithm>
#include <cstring>
#include <vector>

namespace pravik::picture {
namespace {

constexpr int kHeaderSize = 128;
constexpr int kPaletteMarker = 0x0C;
constexpr int kTrailingPaletteSize = 1 + 256 * 3;
// One run pair (count byte, value byte) expands to at most 63 bytes.
constexpr qint64 kMaxRunLength = 63;

struct Header
{
    int version = 0;
    bool runLength = true;
    int bitsPerPixel = 0;
    int planes = 0;
    int bytesPerLine = 0;
    int width = 0;
    int height = 0;
    const uchar *palette16 = nullptr;
};

enum class Layout { Mono, BitPairs, Planar4, Nibbles, Planar16, Indexed256, Rgb24 };

int word(const uchar *p)
{
    return p[0] | (p[1] << 8);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool parseHeader(const QByteArray &bytes, Header &header, QString *error)
{
    if (bytes.size() < kHeaderSize)
        return fail(error, QStringLiteral("Not a PCX picture: shorter than its header"));
    const auto *h = reinterpret_cast<const uchar *>(bytes.constData());
    if (h[0] != 0x0A || h[1] > 5 || h[2] > 1)
        return fail(error, QStringLiteral("Not a PCX picture"));
    header.version = h[1];
    header.runLength = h[2] == 1;
    header.bitsPerPixel = h[3];
    const int xmin = word(h + 4);
    const int ymin = word(h + 6);
    const int xmax = word(h + 8);
    const int ymax = word(h + 10);
    header.palette16 = h + 16;
    header.planes = h[65];
    header.bytesPerLine = word(h + 66);
    if (xmax < xmin || ymax < ymin)
        return fail(error, QStringLiteral("PCX picture window is empty"));
    header.width = xmax - xmin + 1;
    header.height = ymax - ymin + 1;
    if (header.width > kPcxMaxSide || header.height > kPcxMaxSide ||
        qint64(header.width) * header.height > kPcxMaxPixels)
        return fail(error, QStringLiteral("PCX picture is too large (%1 x %2)")
                               .arg(header.width)
                               .arg(header.height));
    return true;
}

bool layoutOf(const Header &header, Layout &layout, QString *error)
{
    const int bits = header.bitsPerPixel;
    const int planes = header.planes;
    if (bits == 1 && planes == 1)
        layout = Layout::Mono;
    else if (bits == 2 && planes == 1)
        layout = Layout::BitPairs;
    else if (bits == 1 && planes == 2)
        layout = Layout::Planar4;
    else if (bits == 4 && planes == 1)
        layout = Layout::Nibbles;
    else if (bits == 1 && planes == 4)
        layout = Layout::Planar16;
    else if (bits == 8 && planes == 1)
        layout = Layout::Indexed256;
    else if (bits == 8 && planes == 3)
        layout = Layout::Rgb24;
    else
        return fail(error, QStringLiteral("Unsupported PCX layout: %1 bit(s) x %2 plane(s)")
                               .arg(bits)
                               .arg(planes));
    const qint64 neededBits = qint64(header.width) * bits;
    if (qint64(header.bytesPerLine) * 8 < neededBits)
        return fail(error, QStringLiteral("PCX bytes per line too small for the width"));
    return true;
}

// The palette of version 3 files, which carry none: the standard EGA colours.
QList<QRgb> defaultPalette16()
{
    static const QRgb colours[16] = {
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
    };
    QList<QRgb> table;
    for (QRgb c : colours)
        table.append(0xFF000000u | c);
    return table;
}

QList<QRgb> paletteFrom(const uchar *rgb, int count)
{
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i)
        table.append(qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    return table;
}

// Two-bit pictures come from the CGA's four-colour mode, whose files keep the
// mode's settings in the header palette: the background colour (one of the
// sixteen) in the high nibble of the first byte, and in the fourth byte the
// colour burst (bit 7 set: cyan, red, grey), the palette (bit 6 clear: green,
// red, brown; set: cyan, magenta, grey) and the intensity (bit 5). Later
// writers store four colours there instead. The settings leave the other
// bytes of the first four entries zero, which four colours of a picture
// hardly ever do, so those bytes tell the two apart; an all-zero palette is
// the CGA's default.
QList<QRgb> cgaPalette(const uchar *palette16)
{
    for (int i = 1; i < 12; ++i) {
        if (i != 3 && palette16[i] != 0)
            return paletteFrom(palette16, 4);
    }
    static constexpr int kForeground[3][3] = {{2, 4, 6}, {3, 5, 7}, {3, 4, 7}};
    const uchar settings = palette16[3];
    const int choice = (settings & 0x80) ? 2 : (settings & 0x40) ? 1 : 0;
    const int intensity = (settings & 0x20) ? 8 : 0;
    const QList<QRgb> colours16 = defaultPalette16();
    QList<QRgb> table = {colours16[palette16[0] >> 4]};
    for (int colour : kForeground[choice])
        table.append(colours16[colour + intensity]);
    return table;
}

// Expands the pixel data into scan lines. A run carries over from one line to
// the next; the expansion stops at the end of the data given to it.
class ScanLineSource
{
public:
    ScanLineSource(const uchar *begin, const uchar *end, bool runLength)
        : m_next(begin), m_end(end), m_runLength(runLength)
    {
    }

    // Fills `line` completely; false when the data ends first.
    bool fill(uchar *line, qsizetype size)
    {
        qsizetype filled = 0;
        while (filled < size) {
            if (m_repeat > 0) {
                const qsizetype n = std::min<qsizetype>(m_repeat, size - filled);
                std::memset(line + filled, m_value, static_cast<size_t>(n));
                filled += n;
                m_repeat -= static_cast<int>(n);
                continue;
            }
            if (m_next == m_end)
                return false;
            const uchar c = *m_next++;
            if (m_runLength && (c & 0xC0) == 0xC0) {
                if (m_next == m_end)
                    return false;
                m_repeat = c & 0x3F;
                m_value = *m_next++;
            } else {
                line[filled++] = c;
            }
        }
        return true;
    }

private:
    const uchar *m_next;
    const uchar *m_end;
    bool m_runLength;
    int m_repeat = 0;
    uchar m_value = 0;
};

void convertLine(Layout layout, const uchar *line, int bytesPerLine, int width, uchar *out)
{
    switch (layout) {
    case Layout::Mono:
        for (int x = 0; x < width; ++x)
            out[x] = (line[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case Layout::BitPairs:
        for (int x = 0; x < width; ++x)
            out[x] = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        break;
    case Layout::Nibbles:
        for (int x = 0; x < width; ++x)
            out[x] = (x & 1) ? (line[x >> 1] & 0x0F) : (line[x >> 1] >> 4);
        break;
    case Layout::Planar4:
    case Layout::Planar16: {
        const int planes = layout == Layout::Planar4 ? 2 : 4;
        for (int x = 0; x < width; ++x) {
            uchar index = 0;
            for (int plane = 0; plane < planes; ++plane)
                index |= ((line[plane * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << plane;
            out[x] = index;
        }
        break;
    }
    case Layout::Indexed256:
        std::memcpy(out, line, static_cast<size_t>(width));
        break;
    case Layout::Rgb24: {
        auto *rgb = reinterpret_cast<QRgb *>(out);
        for (int x = 0; x < width; ++x)
            rgb[x] = qRgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
        break;
    }
    }
}

QImage decodePcx(const QByteArray &bytes, QString *error)
{
    Header header;
    Layout layout = Layout::Mono;
    if (!parseHeader(bytes, header, error) || !layoutOf(header, layout, error))
        return {};

    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const uchar *pixelsBegin = data + kHeaderSize;
    const uchar *pixelsEnd = data + bytes.size();

    QList<QRgb> colourTable;
    switch (layout) {
    case Layout::Mono:
        // The header palette of monochrome files is unreliable (often zeros);
        // every reader takes 0 as black and 1 as white.
        colourTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        break;
    case Layout::BitPairs:
        colourTable = cgaPalette(header.palette16);
        break;
    case Layout::Planar4:
        colourTable =
            header.version == 3 ? defaultPalette16().first(4) : paletteFrom(header.palette16, 4);
        break;
    case Layout::Nibbles:
    case Layout::Planar16:
        colourTable = header.version == 3 ? defaultPalette16() : paletteFrom(header.palette16, 16);
        break;
    case Layout::Indexed256: {
        if (bytes.size() < kHeaderSize + kTrailingPaletteSize ||
            pixelsEnd[-kTrailingPaletteSize] != kPaletteMarker) {
            fail(error, QStringLiteral("PCX 256-colour palette missing (truncated file?)"));
            return {};
        }
        pixelsEnd -= kTrailingPaletteSize;
        colourTable = paletteFrom(pixelsEnd + 1, 256);
        break;
    }
    case Layout::Rgb24:
        break;
    }

    // Cheap plausibility check before allocating: even the best run-length
    // compression cannot squeeze the claimed picture into this many bytes.
    const qsizetype lineSize = qsizetype(header.bytesPerLine) * header.planes;
    const qint64 expanded = qint64(lineSize) * header.height;
    const qint64 available = pixelsEnd - pixelsBegin;
    const qint64 mostExpandable = header.runLength ? (available / 2) * kMaxRunLength : available;
    if (mostExpandable < expanded) {
        fail(error, QStringLiteral("PCX pixel data truncated"));
        return {};
    }

    QImage image(header.width, header.height,
                 layout == Layout::Rgb24 ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    if (image.isNull()) {
        fail(error, QStringLiteral("Not enough memory for the PCX picture"));
        return {};
    }
    if (layout != Layout::Rgb24)
        image.setColorTable(colourTable);

    std::vector<uchar> line(static_cast<size_t>(lineSize));
    ScanLineSource source(pixelsBegin, pixelsEnd, header.runLength);
    for (int y = 0; y < header.height; ++y) {
        if (!source.fill(line.data(), lineSize)) {
            fail(error, QStringLiteral("PCX pixel data truncated at scan line %1").arg(y));
            return {};
        }
        convertLine(layout, line.data(), header.bytesPerLine, header.width, image.scanLine(y));
    }
    if (error)
        error->clear();
    return image;
}

} // namespace

common::Expected<QImage> readPcx(const QByteArray &bytes)
{
    QString error;
    QImage image = decodePcx(bytes, &error);
    if (image.isNull())
        return common::Failure{common::kFailedCode, QString(), error};
    return image;
}

} // namespace pravik::picture
