// Any bytes offered as an RTF text screen: the reader fills the document or
// refuses the bytes, in time linear in their size, whatever the nesting,
// control words and code pages.

#include "common/rtf/rtf_reader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

// QTextDocument needs the application's font database; one application, on
// the off-screen platform, serves every input.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    if (const common::Status failed = common::readRtf(bytes, document);
        failed && failed->text.isEmpty())
        std::abort();
    // Laying the text out reaches the fonts and sizes the reader chose.
    document.setTextWidth(160);
    volatile qreal height = document.size().height();
    (void)height;
    return 0;
}
