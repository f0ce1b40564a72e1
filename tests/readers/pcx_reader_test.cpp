#include "pravik/picture/formats/pcx_reader.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <array>
#include <tuple>

using pravik::picture::readPcx;

namespace {

// The picture read, or a null one when the file is refused.
QImage pcx(const QByteArray &bytes)
{
    const common::Expected<QImage> read = readPcx(bytes);
    return read ? *read : QImage();
}

} // namespace

// The fixtures were written once by ImageMagick, the PNG twins holding the
// same pixels:
//   convert src.png -dither None -colors 24 PNG24:palette_256.png
//   convert palette_256.png -type Palette palette_256.pcx
//   convert src.png -depth 8 PNG24:true_colour.png
//   convert true_colour.png -type TrueColor true_colour.pcx
// (src.png: 41 x 20, a red-blue gradient with a green square, a yellow disc
// and white/black corner dots). 41 pixels make the scan lines odd-sized.

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(READERS_FIXTURES "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// PCX files built byte by byte, for the layouts no fixture writer produces;
// by default a 4 x 4, 8-bit picture.
struct PcxHeader
{
    int version = 5, encoding = 1, bitsPerPixel = 8, planes = 1, bytesPerLine = 4;
    int xmin = 0, ymin = 0, xmax = 3, ymax = 3;
    QList<QRgb> palette16 = {}; // written into the header, at most 16 colours
};

void putRgb(QByteArray &bytes, int offset, QRgb colour)
{
    bytes[offset] = char(qRed(colour));
    bytes[offset + 1] = char(qGreen(colour));
    bytes[offset + 2] = char(qBlue(colour));
}

QByteArray headerBytes(const PcxHeader &h)
{
    QByteArray bytes(128, '\0');
    const auto putWord = [&](int offset, int value) {
        bytes[offset] = char(value & 0xFF);
        bytes[offset + 1] = char(value >> 8);
    };
    bytes[0] = 0x0A;
    bytes[1] = char(h.version);
    bytes[2] = char(h.encoding);
    bytes[3] = char(h.bitsPerPixel);
    putWord(4, h.xmin);
    putWord(6, h.ymin);
    putWord(8, h.xmax);
    putWord(10, h.ymax);
    for (int i = 0; i < h.palette16.size() && i < 16; ++i)
        putRgb(bytes, 16 + 3 * i, h.palette16[i]);
    bytes[65] = char(h.planes);
    putWord(66, h.bytesPerLine);
    return bytes;
}

// Run-length encodes each scan line (all planes of one row) on its own, as
// current writers do.
QByteArray encodeLines(const QByteArray &raw, int lineSize)
{
    QByteArray out;
    for (qsizetype start = 0; start < raw.size(); start += lineSize) {
        const qsizetype end = std::min(raw.size(), start + lineSize);
        for (qsizetype i = start, run = 1; i < end; i += run, run = 1) {
            while (i + run < end && run < 63 && raw[i + run] == raw[i])
                ++run;
            if (run > 1 || (uchar(raw[i]) & 0xC0) == 0xC0)
                out += char(0xC0 | run);
            out += raw[i];
        }
    }
    return out;
}

// The 0x0C marker and 256 colours that end an 8-bit file.
QByteArray trailingPalette(const QList<QRgb> &colours)
{
    QByteArray bytes(769, '\0');
    bytes[0] = 0x0C;
    for (int i = 0; i < colours.size() && i < 256; ++i)
        putRgb(bytes, 1 + 3 * i, colours[i]);
    return bytes;
}

// Every pixel equal, the alpha byte aside; the first that is not is reported.
::testing::AssertionResult samePixels(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height();
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if ((actual.pixel(x, y) ^ expected.pixel(x, y)) & 0xFFFFFFu)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << std::hex << actual.pixel(x, y);
        }
    }
    return ::testing::AssertionSuccess();
}

struct PalettedLayout
{
    const char *name;
    int bits, planes;
};

const PalettedLayout kPalettedLayouts[] = {{"1 bit", 1, 1},    {"2 bits packed", 2, 1},
                                           {"2 planes", 1, 2}, {"4 bits packed", 4, 1},
                                           {"4 planes", 1, 4}, {"8 bits", 8, 1}};

QList<QRgb> coloursOf(const PalettedLayout &layout)
{
    if (layout.bits == 1 && layout.planes == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    QList<QRgb> colours;
    for (int i = 0; i < 1 << (layout.bits * layout.planes); ++i)
        colours.append(layout.bits == 8 ? qRgb(i, (i * 7) % 256, 255 - i)
                                        : qRgb(i * 16, 255 - i * 15, (i * 37) % 256));
    return colours;
}

int patternIndex(int x, int y, int colourCount)
{
    return (x * 3 + y * 5 + x * y) % colourCount;
}

QImage patternImage(int width, int height, const QList<QRgb> &colours)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[patternIndex(x, y, int(colours.size()))]);
    return image;
}

// A whole file of the pattern in `layout`, with bytes-per-line `extra` bytes
// (rounded to even) beyond what the width needs, and the window at (x0, y0).
// Padding bytes and the unused bits of the last byte are set, so a reader
// that looks at them shows it.
QByteArray patternFile(const PalettedLayout &layout, int width, int height, int extra = 0,
                       int x0 = 0, int y0 = 0)
{
    const int bits = layout.bits, planes = layout.planes;
    PcxHeader header{.bitsPerPixel = bits, .planes = planes, .xmin = x0, .ymin = y0};
    header.bytesPerLine = ((width * bits + 7) / 8 + extra + 1) & ~1;
    header.xmax = x0 + width - 1;
    header.ymax = y0 + height - 1;
    const QList<QRgb> colours = coloursOf(layout);
    if (colours.size() == 4 || colours.size() == 16)
        header.palette16 = colours;
    const int bpl = header.bytesPerLine;
    QByteArray raw(qsizetype(bpl) * planes * height, char(0xFF));
    for (int y = 0; y < height; ++y) {
        char *line = raw.data() + qsizetype(y) * planes * bpl;
        for (int plane = 0; plane < planes; ++plane)
            std::fill_n(line + plane * bpl, (width * bits + 7) / 8,
                        bits == 1 ? char(0xFF) : char(0));
        for (int x = 0; x < width; ++x) {
            const int index = patternIndex(x, y, int(colours.size()));
            if (bits == 8)
                line[x] = char(index);
            else if (bits == 4)
                line[x / 2] = char(line[x / 2] | (x % 2 ? index : index << 4));
            else if (bits == 2)
                line[x / 4] = char(line[x / 4] | index << (6 - 2 * (x % 4)));
            for (int plane = 0; bits == 1 && plane < planes; ++plane) {
                if (!((index >> plane) & 1))
                    line[plane * bpl + x / 8] &= char(~(0x80 >> (x % 8)));
            }
        }
    }
    QByteArray file = headerBytes(header) + encodeLines(raw, bpl * planes);
    return bits == 8 ? file + trailingPalette(colours) : file;
}

} // namespace

TEST(PcxReader, ReadsImageMagickFilesLikeTheirPngTwins)
{
    for (const char *name : {"palette_256", "true_colour"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = fixture(QString::fromLatin1(name) + ".pcx");
        ASSERT_FALSE(bytes.isEmpty());
        QImage expected;
        ASSERT_TRUE(expected.loadFromData(fixture(QString::fromLatin1(name) + ".png"), "PNG"));
        const common::Expected<QImage> read = readPcx(bytes);
        ASSERT_TRUE(read) << read.failure().text.toStdString();
        EXPECT_TRUE(samePixels(*read, expected));
    }
}

// The picture is the header's window wherever it lies.
TEST(PcxReader, ReadsEveryPalettedLayoutAtOddAndPaddedWidthsAndAnyWindow)
{
    for (const PalettedLayout &layout : kPalettedLayouts) {
        for (int width : {1, 7, 9, 11, 13, 16}) {
            for (const auto &[extra, x0, y0] : {std::tuple{0, 0, 0}, {3, 0, 0}, {0, 300, 70}}) {
                SCOPED_TRACE(testing::Message() << layout.name << ", width " << width << ", extra "
                                                << extra << ", window at " << x0 << "," << y0);
                EXPECT_TRUE(samePixels(pcx(patternFile(layout, width, 5, extra, x0, y0)),
                                       patternImage(width, 5, coloursOf(layout))));
            }
        }
    }
}

TEST(PcxReader, ReadsTrueColourPlanesIgnoringPadding)
{
    const PcxHeader header{.planes = 3, .bytesPerLine = 4, .xmax = 2, .ymax = 1};
    const QByteArray raw("\x10\x20\x30\xEE\x40\x50\x60\xEE\x70\x80\x90\xEE"
                         "\xFF\x00\x01\xEE\x02\xFF\x03\xEE\x04\x05\xFF\xEE",
                         24);
    const QImage image = pcx(headerBytes(header) + encodeLines(raw, 12));
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x10, 0x40, 0x70));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0x30, 0x60, 0x90));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0xFF, 0x02, 0x04));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0x00, 0xFF, 0x05));
    EXPECT_EQ(image.pixel(2, 1), qRgb(0x01, 0x03, 0xFF));
}

TEST(PcxReader, RunsMayCrossScanLinesButNotThePictureEnd)
{
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.append(qRgb(i, i, i));
    // Six 7s fill line 0 and half of line 1; the last run of 63 nines runs
    // far past the end of the picture.
    const QImage image = pcx(headerBytes({.ymax = 2}) + QByteArray("\xC6\x07\x01\x02\xFF\x09", 6) +
                             trailingPalette(grey));
    ASSERT_EQ(image.size(), QSize(4, 3));
    const int expected[3][4] = {{7, 7, 7, 7}, {7, 7, 1, 2}, {9, 9, 9, 9}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(qRed(image.pixel(x, y)), expected[y][x]) << x << "," << y;
}

TEST(PcxReader, ReadsUncompressedData)
{
    QList<QRgb> colours(256, qRgb(0, 0, 0));
    colours[0xC3] = qRgb(1, 2, 3);
    colours[0x05] = qRgb(4, 5, 6);
    // 0xC3 would be a run count in compressed data.
    const QImage image = pcx(headerBytes({.encoding = 0, .bytesPerLine = 2, .xmax = 1, .ymax = 0}) +
                             QByteArray("\xC3\x05", 2) + trailingPalette(colours));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(4, 5, 6));
}

TEST(PcxReader, VersionThreeUsesTheStandardSixteenColours)
{
    const PcxHeader header{
        .version = 3, .bitsPerPixel = 4, .bytesPerLine = 2, .xmax = 1, .ymax = 0};
    const QImage image = pcx(headerBytes(header) + QByteArray("\x4E\x00", 2));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0xAA, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0xFF, 0xFF, 0x55));
}

// A CGA picture's header holds the mode's background colour (high nibble of
// byte 16) and palette choice (byte 19: colour burst, palette, intensity), or
// four real colours. Pixels 0, 1, 2, 3 in one byte.
TEST(PcxReader, TwoBitPicturesTakeTheCgaColours)
{
    const std::pair<QList<QRgb>, std::array<QRgb, 4>> cases[] = {
        {{}, {0x000000, 0x00AA00, 0xAA0000, 0xAA5500}}, // left zero: palette 0, dim
        {{qRgb(0x90, 0, 0), qRgb(0x20, 0, 0)}, {0x5555FF, 0x55FF55, 0xFF5555, 0xFFFF55}},
        {{0, qRgb(0x40, 0, 0)}, {0x000000, 0x00AAAA, 0xAA00AA, 0xAAAAAA}},
        {{qRgb(0xF0, 0, 0), qRgb(0xA0, 0, 0)}, {0xFFFFFF, 0x55FFFF, 0xFF5555, 0xFFFFFF}},
        {{qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 11, 12)},
         {0x010203, 0x040506, 0x070809, 0x0A0B0C}},
    };
    for (const auto &[palette, colours] : cases) {
        const PcxHeader header{
            .bitsPerPixel = 2, .bytesPerLine = 2, .xmax = 3, .ymax = 0, .palette16 = palette};
        const QImage image = pcx(headerBytes(header) + QByteArray("\x1B\x00", 2));
        ASSERT_EQ(image.size(), QSize(4, 1));
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.pixel(x, 0) & 0xFFFFFFu, colours[x]) << std::hex << colours[0];
    }
}

// A truncated file is refused rather than shown with a black lower part.
TEST(PcxReader, RefusesEveryTruncation)
{
    const std::pair<const char *, QByteArray> files[] = {
        {"1 bit", patternFile(kPalettedLayouts[0], 13, 6)},
        {"4 planes", patternFile(kPalettedLayouts[4], 13, 6)},
        {"8 bits", fixture(QStringLiteral("palette_256.pcx"))},
        {"24 bits", fixture(QStringLiteral("true_colour.pcx"))},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(pcx(bytes).isNull());
        for (qsizetype length = 0; length < bytes.size(); ++length) {
            const common::Expected<QImage> cut = readPcx(bytes.left(length));
            ASSERT_FALSE(cut) << "length " << length;
            EXPECT_FALSE(cut.failure().text.isEmpty()) << "length " << length;
        }
    }
}

TEST(PcxReader, RefusesHeadersItCannotHonour)
{
    const auto file = [](const PcxHeader &header) {
        return headerBytes(header) + QByteArray(4096, '\0') + trailingPalette({});
    };
    const std::pair<const char *, QByteArray> cases[] = {
        {"65536 square", file({.bytesPerLine = 65535, .xmax = 65535, .ymax = 65535})},
        {"wider than 16384", file({.bytesPerLine = 16384, .xmax = 16384})},
        {"too many pixels", file({.bytesPerLine = 16384, .xmax = 16383, .ymax = 16383})},
        {"more data than the file holds",
         file({.bytesPerLine = 10000, .xmax = 9999, .ymax = 4999})},
        {"window upside down", file({.ymin = 5, .ymax = 4})},
        {"bytes per line short of the width", file({.bytesPerLine = 3})},
        {"2 bits x 2 planes", file({.bitsPerPixel = 2, .planes = 2})},
        {"8 bits x 4 planes", file({.planes = 4})},
        {"1 bit x 3 planes", file({.bitsPerPixel = 1, .planes = 3})},
        {"no planes", file({.planes = 0})},
        {"unknown encoding", file({.encoding = 2})},
        {"version 6, after the last known", file({.version = 6})},
        {"not PCX", QByteArray(200, 'x')},
        {"8 bits without the palette marker", file({}).chopped(769) + QByteArray(769, '\x0B')},
    };
    for (const auto &[name, bytes] : cases) {
        const common::Expected<QImage> refused = readPcx(bytes);
        ASSERT_FALSE(refused) << name;
        EXPECT_FALSE(refused.failure().text.isEmpty()) << name;
    }
}
