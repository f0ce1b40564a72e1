#include "picture_source.h"

#include "board_canvas.h"
#include "picture_completeness.h"
#include "pravik/picture/formats/bmp_reader.h"
#include "pravik/picture/formats/pcx_reader.h"
#include "text_rendering.h"

#include "common/rtf/rtf_reader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTextDocument>

namespace pravik::picture {
namespace {

constexpr char kPcxManufacturer = 0x0A;

SourceResult unreadable(const QString &reason)
{
    return SourceResult{SourceResult::Status::Unreadable, reason};
}

SourceResult drawText(const QString &type, const QByteArray &bytes, BoardCanvas &canvas)
{
    QTextDocument document;
    if (type == QLatin1String("rtf")) {
        if (const common::Status failed = common::readRtf(bytes, document))
            return unreadable(failed->text);
    } else {
        document.setDefaultFont(boardFont(plainTextPixelSize(canvas.height())));
        setDefaultTabStops(document);
        document.setPlainText(decodeTextFile(bytes));
    }
    prepareForBoard(document);
    canvas.drawPicture(renderOnBoard(document, canvas.width(), canvas.height()));
    return {};
}

QImage readPicture(const QByteArray &bytes, QString &error)
{
    if (bytes.startsWith(kPcxManufacturer)) {
        common::Expected<QImage> pcx = readPcx(bytes);
        if (!pcx)
            error = pcx.failure().text;
        return pcx ? *pcx : QImage();
    }
    if (QImage plain = readPlainBmp(bytes); !plain.isNull())
        return plain;
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    QImage picture = reader.read();
    error = reader.errorString();
    return picture;
}

SourceResult drawPicture(const QByteArray &bytes, BoardCanvas &canvas)
{
    if (const QString cutShort = cutShortReason(bytes); !cutShort.isEmpty())
        return unreadable(cutShort);
    QString error;
    const QImage picture = readPicture(bytes, error);
    if (picture.isNull())
        return unreadable(error);
    canvas.drawPicture(picture);
    return {};
}

} // namespace

bool isExistingPictureFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

SourceResult loadSource(const QString &path, BoardCanvas &canvas)
{
    if (!isExistingPictureFile(path))
        return SourceResult{SourceResult::Status::Missing, QString()};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file.errorString());
    const QByteArray bytes = file.readAll();
    // The type is the last three letters of the name: "picture.bmp.txt" is a
    // text, "photo.jpeg" a picture.
    const QString type = path.right(3).toLower();
    if (type == QLatin1String("txt") || type == QLatin1String("rtf"))
        return drawText(type, bytes, canvas);
    return drawPicture(bytes, canvas);
}

QString resolveSourcePath(const QString &picture, const QString &displayFilePath)
{
    if (picture.isEmpty() || QDir::isAbsolutePath(picture) || displayFilePath.isEmpty())
        return picture;
    return QFileInfo(displayFilePath).absoluteDir().filePath(picture);
}

} // namespace pravik::picture
