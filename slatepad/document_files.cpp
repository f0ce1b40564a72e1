#include "document_files.h"

#include "pravik/picture/text_rendering.h"

#include "common/file_replace.h"
#include "common/rtf/rtf_reader.h"
#include "common/rtf/rtf_writer.h"
#include "common/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <optional>

namespace slatepad {

bool isPlainTextFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

common::Status loadDocumentFile(const QString &path, QTextDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return common::Failure{common::kFailedCode, QString(), file.errorString()};
    const QByteArray bytes = file.readAll();
    if (isPlainTextFile(path)) {
        // A text file sets no tab stops: the page's are the board's default.
        pravik::picture::setDefaultTabStops(document);
        document.setPlainText(pravik::picture::decodeTextFile(bytes));
        return {};
    }
    return common::readRtf(bytes, document);
}

// Pravik and the board's other software read a .txt screen in code page 936,
// so it is written in that code page; a character the code page cannot hold
// is refused rather than written as a "?" the operator would only see on the
// board. Rich text carries any character.
common::Status saveDocumentFile(const QString &path, const QTextDocument &document)
{
    if (!isPlainTextFile(path))
        return common::replaceFileContents(path, common::writeRtf(document));
    std::optional<char32_t> refused;
    const QByteArray bytes = common::encodeCodePage936(document.toPlainText(), &refused);
    if (refused)
        return common::Failure{common::kFailedCode, QString(),
                               QStringLiteral("文本文件以代码页 936 保存，其中没有字符%1。"
                                              "请删去该字符，或另存为 RTF 文件。")
                                   .arg(common::namedCharacter(*refused))};
    return common::replaceFileContents(path, bytes);
}

} // namespace slatepad
