// Any bytes offered as a PCX picture: the reader returns a picture inside its
// size limits or a null image with the reason, and never writes outside it.

#include "pravik/picture/formats/pcx_reader.h"

#include <QByteArray>
#include <QImage>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace pravik::picture;

    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const common::Expected<QImage> read = readPcx(bytes);
    if (!read) {
        if (read.failure().text.isEmpty())
            std::abort();
        return 0;
    }
    const QImage &image = *read;
    if (image.width() > kPcxMaxSide || image.height() > kPcxMaxSide ||
        qint64(image.width()) * image.height() > kPcxMaxPixels)
        std::abort();
    // Reading every pixel back finds a palette index without a colour.
    volatile QRgb sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum = sum + image.pixel(x, y);
    }
    return 0;
}
