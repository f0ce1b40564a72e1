#pragma once

#include <QByteArray>
#include <QTextDocument>

namespace common {

// Writes the document as RTF that readRtf reads back to the same text, fonts,
// sizes, colours and backgrounds (\highlightN), bold/italic/underline/
// strike-out, paragraph alignment, indents and tab stops, and the default tab
// distance where it is not the 720 twips a reader assumes.
//
// The document is in the Chinese code page (\ansicpg936): a character GBK
// holds is written as its two \'hh bytes, in a font marked \fcharset134;
// anything else outside ASCII as \uN with a '?' fallback. Sizes are written
// in points and distances in twips at 96 dpi (rtf_sizes.h). A fragment
// without a font family gets the document's default font, so it reads back
// with that family set.
QByteArray writeRtf(const QTextDocument &document);

} // namespace common
