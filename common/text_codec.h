#pragma once

#include <QByteArray>
#include <QString>

// The display file's text encoding. Files are written in the Chinese code page
// (GBK); GB18030 gives the same bytes for every GBK character and can still
// carry a character outside GBK, so a path is never mangled on the way out.
namespace common {

QByteArray encodeGbk(const QString &text);

// Bytes that are not valid in the code page become U+FFFD, one per bad byte;
// the rest of the text is still read.
QString decodeGbk(const QByteArray &bytes);

} // namespace common
