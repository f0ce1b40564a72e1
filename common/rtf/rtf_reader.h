#pragma once

#include <QByteArray>
#include <QString>
#include <QTextDocument>

namespace common {

// Reads the common subset of RTF into `document` (cleared first): the font
// table with each font's charset, the colour table with \cfN and the
// background \highlightN or \cbN (0: none), sizes (at 96 dpi, see
// rtf_sizes.h), bold, italic, underline and strike-out, paragraphs, line
// breaks and alignment, \'hh bytes in the current font's code page (else the
// document's \ansicpgN), \uN characters with their \ucN fallback skipped.
// Pictures, headers, footers, document properties, styles, field
// instructions, hidden text and every {\*\...} destination are skipped;
// unknown control words are ignored. A trailing \par before the end of the
// document ends the last paragraph rather than starting an empty one, as
// word processors read it.
//
// Any input is safe: groups nested deeper than 256 are skipped, missing
// closing braces end the document, text after the closing brace is ignored,
// and the work is linear in the input size.
//
// False and `error` set when the bytes are not RTF (they must start with
// "{\rtf", after optional white space or a UTF-8 byte order mark).
bool readRtf(const QByteArray &rtf, QTextDocument &document, QString *error = nullptr);

} // namespace common
