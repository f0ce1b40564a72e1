#pragma once

#include "common/failure.h"

#include <QString>

class QTextDocument;

namespace slatepad {

// A name ending in .txt is a plain text; anything else is kept as rich text.
bool isPlainTextFile(const QString &path);

// Reads an .rtf file through the same reader Pravik draws text screens with,
// or a .txt file (code page 936 unless plainly UTF-8, see
// common::decodePlainText). The failure when the file cannot be read or is no
// RTF.
common::Status loadDocumentFile(const QString &path, QTextDocument &document);

// Writes the document as .rtf through the writer whose output the reader
// reads back identically, or as a .txt file in code page 936 (its text only;
// a character outside the code page is refused). The old file is replaced
// only once the new one is complete.
common::Status saveDocumentFile(const QString &path, const QTextDocument &document);

} // namespace slatepad
