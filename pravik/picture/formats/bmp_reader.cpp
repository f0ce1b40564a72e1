#include "bmp_reader.h"
#include "little_endian.h"

#include <cstdint>

namespace pravik::picture {
namespace {

constexpr qsizetype kHeadersEnd = 54; // file header and the 40-byte info header
constexpr int kLargestSide = 16384;

} // namespace

QImage readPlainBmp(const QByteArray &bytes)
{
    if (bytes.size() < kHeadersEnd || !bytes.startsWith("BM"))
        return {};
    // Only the usual headers (Windows 3, 4 and 5) without a colour table; an
    // odd header is the general reader's to judge.
    const std::uint32_t infoSize = littleEndian(bytes, 14, 4);
    if ((infoSize != 40 && infoSize != 108 && infoSize != 124) || littleEndian(bytes, 46, 4) != 0)
        return {};
    const auto width = static_cast<std::int32_t>(littleEndian(bytes, 18, 4));
    const auto height = static_cast<std::int32_t>(littleEndian(bytes, 22, 4));
    const bool uncompressed24 = littleEndian(bytes, 26, 2) == 1 && littleEndian(bytes, 28, 2) == 24 &&
                                littleEndian(bytes, 30, 4) == 0;
    if (!uncompressed24 || width <= 0 || width > kLargestSide || height == 0 ||
        height < -kLargestSide || height > kLargestSide)
        return {};
    const int rows = height < 0 ? -height : height;
    const qsizetype rowBytes = (qsizetype(width) * 24 + 31) / 32 * 4;
    const qsizetype dataStart = littleEndian(bytes, 10, 4);
    if (dataStart < 14 + qsizetype(infoSize) || dataStart + rowBytes * rows > bytes.size())
        return {};

    QImage picture(width, rows, QImage::Format_RGB32);
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData()) + dataStart;
    for (int fileRow = 0; fileRow < rows; ++fileRow) {
        // Rows are stored bottom-up unless the height is negative.
        const int y = height > 0 ? rows - 1 - fileRow : fileRow;
        const std::uint8_t *bgr = data + fileRow * rowBytes;
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, bgr += 3)
            line[x] = qRgb(bgr[2], bgr[1], bgr[0]);
    }
    return picture;
}

} // namespace pravik::picture
