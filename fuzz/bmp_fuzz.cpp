// Any bytes offered as a plain BMP: the one-pass reader either declines (the
// general reader then decides) or returns a picture that the toolkit's own
// BMP reader reads the same, and never reads outside the bytes.

#include "pravik/picture/formats/bmp_reader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    const QImage fast = pravik::picture::readPlainBmp(bytes);
    if (fast.isNull())
        return 0;
    const QImage general = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
    if (fast != general)
        std::abort();
    return 0;
}
