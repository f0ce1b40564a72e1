#include "picture_completeness.h"

#include "pravik/picture/formats/little_endian.h"

namespace pravik::picture {
namespace {

// An uncompressed BMP holds every row in full after its headers; a
// run-length one says how many bytes of picture data follow.
bool bmpCutShort(const QByteArray &bytes)
{
    constexpr qsizetype kInfoHeaderEnd = 54;
    if (bytes.size() < kInfoHeaderEnd || littleEndian(bytes, 14, 4) < 40)
        return false; // too short for Qt as well, or an old header: Qt decides
    const qint64 dataStart = littleEndian(bytes, 10, 4);
    const auto width = static_cast<qint32>(littleEndian(bytes, 18, 4));
    const auto height = static_cast<qint32>(littleEndian(bytes, 22, 4));
    const qint64 bitCount = littleEndian(bytes, 28, 2);
    const quint32 compression = littleEndian(bytes, 30, 4);
    const qint64 rows = height < 0 ? -qint64(height) : height;
    if (width <= 0 || width > 65535 || rows > 65535 || bitCount == 0 || bitCount > 32)
        return false;
    qint64 dataSize = 0;
    if (compression == 1 || compression == 2) // RLE8, RLE4
        dataSize = littleEndian(bytes, 34, 4);
    else
        dataSize = (width * bitCount + 31) / 32 * 4 * rows;
    return bytes.size() < dataStart + dataSize;
}

// Skips a chain of GIF data sub-blocks; false when the file ends inside it.
bool skipGifSubBlocks(const QByteArray &bytes, qsizetype &at)
{
    for (;;) {
        if (at >= bytes.size())
            return false;
        const int length = static_cast<quint8>(bytes[at++]);
        if (length == 0)
            return true;
        at += length;
    }
}

// The board shows the first picture of a GIF, so that one must be complete.
bool gifCutShort(const QByteArray &bytes)
{
    constexpr qsizetype kScreenDescriptorEnd = 13;
    if (bytes.size() < kScreenDescriptorEnd)
        return false;
    const auto colourTable = [](quint8 flags) {
        return (flags & 0x80) ? 3 * (qsizetype(1) << ((flags & 7) + 1)) : 0;
    };
    qsizetype at = kScreenDescriptorEnd + colourTable(static_cast<quint8>(bytes[10]));
    for (;;) {
        if (at >= bytes.size())
            return true;
        const auto block = static_cast<quint8>(bytes[at]);
        if (block == 0x21) { // extension: label, then sub-blocks
            at += 2;
            if (!skipGifSubBlocks(bytes, at))
                return true;
        } else if (block == 0x2C) { // image: descriptor, colours, code size, data
            if (at + 10 > bytes.size())
                return true;
            at += 10 + colourTable(static_cast<quint8>(bytes[at + 9])) + 1;
            return !skipGifSubBlocks(bytes, at);
        } else {
            return false; // the trailer or something Qt judges itself
        }
    }
}

// A JPEG's coded data ends with the end-of-image marker after its last scan.
bool jpegCutShort(const QByteArray &bytes)
{
    const qsizetype lastScan = bytes.lastIndexOf("\xFF\xDA");
    return lastScan >= 0 && bytes.indexOf("\xFF\xD9", lastScan) < 0;
}

} // namespace

QString cutShortReason(const QByteArray &bytes)
{
    if ((bytes.startsWith("BM") && bmpCutShort(bytes)) ||
        ((bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) && gifCutShort(bytes)) ||
        (bytes.startsWith("\xFF\xD8") && jpegCutShort(bytes)))
        return QStringLiteral("The picture data ends early (truncated file?)");
    return {};
}

} // namespace pravik::picture
