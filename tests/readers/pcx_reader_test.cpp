#include "pravik/picture/formats/pcx_reader.h"

#include "pcx_builder.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <random>
#include <tuple>

using pravik::picture::readPcx;
using namespace pcxtest;

// The fixtures were written once by ImageMagick, the PNG twins holding the
// same pixels:
//   convert src.png -dither None -colors 24 PNG24:palette_256.png
//   convert palette_256.png -type Palette palette_256.pcx
//   convert src.png -depth 8 PNG24:true_colour.png
//   convert true_colour.png -type TrueColor true_colour.pcx
// (src.png: 41 x 20, a red-blue gradient with a green square, a yellow disc
// and white/black corner dots). 41 pixels make the scan lines odd-sized.

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(READERS_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Every pixel equal, reporting the first one that is not.
::testing::AssertionResult samePixels(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = actual.pixel(x, y) | 0xFF000000u;
            const QRgb e = expected.pixel(x, y) | 0xFF000000u;
            if (a != e)
                return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is "
                                                     << std::hex << a << ", expected " << e;
        }
    }
    return ::testing::AssertionSuccess();
}

QList<QRgb> sixteenColours()
{
    QList<QRgb> colours;
    for (int i = 0; i < 16; ++i)
        colours.append(qRgb(i * 16, 255 - i * 15, (i * 37) % 256));
    return colours;
}

int patternIndex(int x, int y, int colourCount)
{
    return (x * 3 + y * 5 + x * y) % colourCount;
}

// The raw scan lines of the pattern in one of the paletted layouts. Padding
// bytes and the unused bits of the last byte are set, so a reader that looks
// at them shows it.
QByteArray patternLines(int bits, int planes, int width, int height, int bytesPerLine)
{
    const int colourCount = 1 << (bits * planes);
    QByteArray raw(qsizetype(bytesPerLine) * planes * height, char(0xFF));
    for (int y = 0; y < height; ++y) {
        char *line = raw.data() + qsizetype(y) * planes * bytesPerLine;
        const int usedBytes = (width * bits + 7) / 8;
        for (int plane = 0; plane < planes; ++plane)
            std::fill_n(line + plane * bytesPerLine, usedBytes, bits == 1 ? char(0xFF) : char(0));
        for (int x = 0; x < width; ++x) {
            const int index = patternIndex(x, y, colourCount);
            if (bits == 8) {
                line[x] = static_cast<char>(index);
            } else if (bits == 4) {
                line[x / 2] = static_cast<char>(line[x / 2] | (x % 2 ? index : index << 4));
            } else {
                for (int plane = 0; plane < planes; ++plane) {
                    if (!((index >> plane) & 1))
                        line[plane * bytesPerLine + x / 8] &= static_cast<char>(~(0x80 >> (x % 8)));
                }
            }
        }
    }
    return raw;
}

QImage patternImage(int width, int height, const QList<QRgb> &colours)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[patternIndex(x, y, int(colours.size()))]);
    }
    return image;
}

struct PalettedLayout
{
    const char *name;
    int bits;
    int planes;
};

const PalettedLayout kPalettedLayouts[] = {
    {"1 bit", 1, 1},
    {"4 bits packed", 4, 1},
    {"4 planes", 1, 4},
    {"8 bits", 8, 1},
};

QList<QRgb> coloursOf(const PalettedLayout &layout)
{
    if (layout.bits == 1 && layout.planes == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (layout.bits == 8) {
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours.append(qRgb(i, (i * 7) % 256, 255 - i));
        return colours;
    }
    return sixteenColours();
}

// A whole file of the pattern in `layout`, with bytes-per-line `extra` bytes
// (rounded to even) beyond what the width needs, and the window at (x0, y0).
QByteArray patternFile(const PalettedLayout &layout, int width, int height, int extra = 0,
                       int x0 = 0, int y0 = 0)
{
    PcxHeader header;
    header.bitsPerPixel = layout.bits;
    header.planes = layout.planes;
    header.bytesPerLine = ((width * layout.bits + 7) / 8 + extra + 1) & ~1;
    header.xmin = x0;
    header.ymin = y0;
    header.xmax = x0 + width - 1;
    header.ymax = y0 + height - 1;
    const QList<QRgb> colours = coloursOf(layout);
    if (colours.size() == 16)
        header.palette16 = colours;
    const int lineSize = header.bytesPerLine * layout.planes;
    QByteArray file =
        headerBytes(header) +
        encodeLines(patternLines(layout.bits, layout.planes, width, height, header.bytesPerLine),
                    lineSize);
    if (layout.bits == 8)
        file += trailingPalette(colours);
    return file;
}

} // namespace

TEST(PcxReader, ReadsImageMagickFilesLikeTheirPngTwins)
{
    const struct
    {
        const char *pcx;
        const char *png;
    } cases[] = {
        {"palette_256.pcx", "palette_256.png"},
        {"true_colour.pcx", "true_colour.png"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pcx);
        const QByteArray bytes = fixture(c.pcx);
        ASSERT_FALSE(bytes.isEmpty());
        QImage expected;
        ASSERT_TRUE(expected.loadFromData(fixture(c.png), "PNG"));
        QString error = QStringLiteral("stale");
        const QImage image = readPcx(bytes, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_TRUE(samePixels(image, expected));
    }
}

// The picture is the header's window wherever it lies.
TEST(PcxReader, ReadsEveryPalettedLayoutAtOddAndPaddedWidthsAndAnyWindow)
{
    for (const PalettedLayout &layout : kPalettedLayouts) {
        for (int width : {1, 7, 9, 11, 13, 16}) {
            for (const auto &[extra, x0, y0] : {std::tuple{0, 0, 0}, {3, 0, 0}, {0, 300, 70}}) {
                SCOPED_TRACE(testing::Message() << layout.name << ", width " << width
                                                << ", extra bytes per line " << extra
                                                << ", window at " << x0 << "," << y0);
                const QImage image = readPcx(patternFile(layout, width, 5, extra, x0, y0));
                EXPECT_TRUE(samePixels(image, patternImage(width, 5, coloursOf(layout))));
            }
        }
    }
}

TEST(PcxReader, ReadsTrueColourPlanesIgnoringPadding)
{
    PcxHeader header;
    header.planes = 3;
    header.bytesPerLine = 4; // 3 pixels wide
    header.xmax = 2;
    header.ymax = 1;
    const QByteArray raw("\x10\x20\x30\xEE"
                         "\x40\x50\x60\xEE"
                         "\x70\x80\x90\xEE"
                         "\xFF\x00\x01\xEE"
                         "\x02\xFF\x03\xEE"
                         "\x04\x05\xFF\xEE",
                         24);
    const QImage image = readPcx(headerBytes(header) + encodeLines(raw, 12));
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x10, 0x40, 0x70));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0x30, 0x60, 0x90));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0xFF, 0x02, 0x04));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0x00, 0xFF, 0x05));
    EXPECT_EQ(image.pixel(2, 1), qRgb(0x01, 0x03, 0xFF));
}

TEST(PcxReader, RunsMayCrossScanLinesButNotThePictureEnd)
{
    PcxHeader header;
    header.bytesPerLine = 4;
    header.xmax = 3;
    header.ymax = 2;
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.append(qRgb(i, i, i));
    // Six 7s fill line 0 and half of line 1; the last run of 63 nines runs
    // far past the end of the picture.
    const QByteArray data("\xC6\x07\x01\x02\xFF\x09", 6);
    const QImage image = readPcx(headerBytes(header) + data + trailingPalette(grey));
    ASSERT_EQ(image.size(), QSize(4, 3));
    const int expected[3][4] = {{7, 7, 7, 7}, {7, 7, 1, 2}, {9, 9, 9, 9}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(qRed(image.pixel(x, y)), expected[y][x]) << x << "," << y;
    }
}

TEST(PcxReader, ReadsUncompressedData)
{
    PcxHeader header;
    header.encoding = 0;
    header.bytesPerLine = 2;
    header.xmax = 1;
    header.ymax = 0;
    QList<QRgb> colours(256, qRgb(0, 0, 0));
    colours[0xC3] = qRgb(1, 2, 3);
    colours[0x05] = qRgb(4, 5, 6);
    // 0xC3 would be a run count in compressed data.
    const QImage image =
        readPcx(headerBytes(header) + QByteArray("\xC3\x05", 2) + trailingPalette(colours));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(4, 5, 6));
}

TEST(PcxReader, VersionThreeUsesTheStandardSixteenColours)
{
    PcxHeader header;
    header.version = 3;
    header.bitsPerPixel = 4;
    header.bytesPerLine = 2;
    header.xmax = 1;
    header.ymax = 0;
    const QImage image = readPcx(headerBytes(header) + QByteArray("\x4E\x00", 2));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0xAA, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0xFF, 0xFF, 0x55));
}

// A truncated file is refused rather than shown with a black lower part.
TEST(PcxReader, RefusesEveryTruncation)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"1 bit", patternFile(kPalettedLayouts[0], 13, 6)},
        {"4 planes", patternFile(kPalettedLayouts[2], 13, 6)},
        {"8 bits", fixture("palette_256.pcx")},
        {"24 bits", fixture("true_colour.pcx")},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_FALSE(readPcx(file.bytes).isNull());
        for (qsizetype length = 0; length < file.bytes.size(); ++length) {
            QString error;
            const QImage image = readPcx(file.bytes.left(length), &error);
            EXPECT_TRUE(image.isNull()) << "length " << length;
            EXPECT_FALSE(error.isEmpty()) << "length " << length;
        }
    }
}

TEST(PcxReader, SurvivesCorruptedBytes)
{
    const QByteArray files[] = {
        patternFile(kPalettedLayouts[1], 13, 6),
        patternFile(kPalettedLayouts[2], 13, 6),
        fixture("palette_256.pcx"),
        fixture("true_colour.pcx"),
    };
    for (const QByteArray &original : files) {
        for (qsizetype at = 0; at < original.size(); ++at) {
            for (char value : {char(0x00), char(0xC0), char(0xFF), char(0x7F)}) {
                QByteArray bytes = original;
                bytes[at] = value;
                const QImage image = readPcx(bytes);
                if (!image.isNull()) {
                    EXPECT_LE(qint64(image.width()) * image.height(),
                              pravik::picture::kPcxMaxPixels);
                }
            }
        }
    }
}

TEST(PcxReader, SurvivesRandomDataBehindEveryLayout)
{
    std::mt19937 random(7);
    for (const auto &[bits, planes] : {std::pair{1, 1}, {4, 1}, {1, 4}, {8, 1}, {8, 3}}) {
        for (int round = 0; round < 200; ++round) {
            PcxHeader header;
            header.bitsPerPixel = bits;
            header.planes = planes;
            header.xmax = int(random() % 64);
            header.ymax = int(random() % 64);
            header.bytesPerLine = int(random() % 80);
            QByteArray bytes = headerBytes(header);
            const int length = int(random() % 3000);
            for (int i = 0; i < length; ++i)
                bytes += static_cast<char>(random() & 0xFF);
            const QImage image = readPcx(bytes);
            if (!image.isNull()) {
                EXPECT_EQ(image.size(), QSize(header.xmax + 1, header.ymax + 1));
            }
        }
    }
}

TEST(PcxReader, RefusesHeadersItCannotHonour)
{
    const auto withHeader = [](auto change) {
        PcxHeader header;
        header.bytesPerLine = 4;
        header.xmax = 3;
        header.ymax = 3;
        change(header);
        return headerBytes(header) + QByteArray(4096, '\0') + trailingPalette({});
    };
    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"65536 square", withHeader([](PcxHeader &h) {
             h.xmax = h.ymax = 65535;
             h.bytesPerLine = 65535;
         })},
        {"wider than 16384", withHeader([](PcxHeader &h) {
             h.xmax = 16384;
             h.bytesPerLine = 16384;
         })},
        {"too many pixels", withHeader([](PcxHeader &h) {
             h.xmax = h.ymax = 16383;
             h.bytesPerLine = 16384;
         })},
        {"more data than the file can hold", withHeader([](PcxHeader &h) {
             h.xmax = 9999;
             h.ymax = 4999;
             h.bytesPerLine = 10000;
         })},
        {"window upside down", withHeader([](PcxHeader &h) {
             h.ymin = 5;
             h.ymax = 4;
         })},
        {"bytes per line short of the width", withHeader([](PcxHeader &h) { h.bytesPerLine = 3; })},
        {"2 bits", withHeader([](PcxHeader &h) { h.bitsPerPixel = 2; })},
        {"8 bits x 4 planes", withHeader([](PcxHeader &h) { h.planes = 4; })},
        {"1 bit x 3 planes", withHeader([](PcxHeader &h) {
             h.bitsPerPixel = 1;
             h.planes = 3;
         })},
        {"no planes", withHeader([](PcxHeader &h) { h.planes = 0; })},
        {"unknown encoding", withHeader([](PcxHeader &h) { h.encoding = 2; })},
        {"unknown version", withHeader([](PcxHeader &h) { h.version = 9; })},
        {"not PCX", QByteArray(200, 'x')},
        {"8 bits without the palette marker",
         withHeader([](PcxHeader &) {}).chopped(769) + QByteArray(769, '\x0B')},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_TRUE(readPcx(c.bytes, &error).isNull()) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
    }
}
