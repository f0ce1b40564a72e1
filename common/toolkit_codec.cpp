#include "toolkit_codec.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>

namespace common {
namespace {

// The toolkit's name for a code page iconv names so.
const char *toolkitName(const char *codePage)
{
    return std::strcmp(codePage, "CP936") == 0 ? "windows-936" : codePage;
}

} // namespace

QString decodeWithToolkit(const char *codePage, const QByteArray &bytes, qsizetype *badBytes)
{
    QStringDecoder decoder(toolkitName(codePage));
    const QString text = decoder.isValid() ? QString(decoder(bytes)) : QString::fromLatin1(bytes);
    if (badBytes)
        *badBytes = decoder.isValid() ? text.count(QChar::ReplacementCharacter) : bytes.size();
    return text;
}

// Character by character, so that the first one the code page lacks is known.
QByteArray encodeWithToolkit(const char *codePage, const QString &text,
                             std::optional<char32_t> *refused)
{
    QByteArray out;
    for (const char32_t character : text.toUcs4()) {
        QStringEncoder encoder(toolkitName(codePage));
        const QByteArray encoded = encoder.isValid()
                                       ? QByteArray(encoder(QString::fromUcs4(&character, 1)))
                                       : QByteArray();
        if (encoder.isValid() && !encoder.hasError() && !encoded.isEmpty()) {
            out += encoded;
            continue;
        }
        if (refused && !*refused)
            *refused = character;
        out += '?';
    }
    return out;
}

} // namespace common
