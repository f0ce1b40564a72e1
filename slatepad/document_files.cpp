#include "document_files.h"

#include "pravik/picture/text_rendering.h"

#include "common/file_replace.h"
#include "common/rtf/rtf_reader.h"
#include "common/rtf/rtf_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

namespace slatepad {

bool isPlainTextFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

bool loadDocumentFile(const QString &path, QTextDocument &document, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (isPlainTextFile(path)) {
        document.setPlainText(pravik::picture::decodeTextFile(bytes));
        return true;
    }
    return common::readRtf(bytes, document, error);
}

bool saveDocumentFile(const QString &path, const QTextDocument &document, QString *error)
{
    const QByteArray bytes =
        isPlainTextFile(path) ? document.toPlainText().toUtf8() : common::writeRtf(document);
    return common::replaceFileContents(path, bytes, error);
}

} // namespace slatepad
