#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The toolkit's converters, which stand in for the C library's where its
// code page modules are missing. They give the same bytes for the same text.
namespace common {

// `codePage` as iconv names it: "CP936" or "GB18030".
QString decodeWithToolkit(const char *codePage, const QByteArray &bytes, qsizetype *badBytes);
QByteArray encodeWithToolkit(const char *codePage, const QString &text,
                             std::optional<char32_t> *refused);

} // namespace common
