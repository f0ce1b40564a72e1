#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

namespace common {

// Reads the common subset of RTF into `document` (cleared first): the font
// table with each font's charset, the colour table with \cfN and the
// background \highlightN, \cbN or \chcbpatN (0: none), sizes (at 96 dpi, see
// rtf_sizes.h), bold, italic, underline and strike-out, paragraphs, line
// breaks, alignment, indents (\li, \ri, \fi; a hanging indent is also a tab
// stop) and tab stops (\tx, left or of the kind \tqr, \tqc or \tqdec before
// it), the document's default tab distance (\deftabN, 720 twips when absent;
// distances at 96 dpi too), \'hh bytes in the current font's code page (else
// the document's \ansicpgN), \uN characters with their \ucN fallback skipped.
// Pictures, headers, footers, document properties, styles, field
// instructions, hidden text and every {\*\...} destination are skipped;
// unknown control words are ignored. A trailing \par before the end of the
// document ends the last paragraph rather than starting an empty one, as
// word processors read it.
//
// Any input is safe: groups nested deeper than 256 are skipped, indents and
// stops are kept within a few board widths and stops to 64 a paragraph, missing
// closing braces end the document, text after the closing brace is ignored,
// and the work is linear in the input size.
//
// The failure when the bytes are not RTF (they must start with "{\rtf",
// after optional white space or a UTF-8 byte order mark).
Status readRtf(const QByteArray &rtf, QTextDocument &document);

} // namespace common
