#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class QTextDocument;

namespace pravik::picture {

// The font text screens are drawn in: a CJK font with hand-tuned bitmaps at
// 12-16 pixels, drawn without smoothing, because an LED is either on or off
// and a half-lit edge pixel would light a whole LED.
inline const QString kBoardFontFamily = QStringLiteral("WenQuanYi Zen Hei Sharp");
QFont boardFont(int pixelSize);

// The pixel size of plain text on a board of this height: one crisp line of
// Chinese fills a 16-LED board.
int plainTextPixelSize(int boardHeight);

// Text without an explicit colour: yellow, which every board type lights.
inline const QColor kDefaultTextColour = QColor(255, 255, 0);

// A plain-text file's text: code page 936 unless plainly UTF-8 (see
// common::decodePlainText).
QString decodeTextFile(const QByteArray &bytes);

// The text box's tab stops where a text sets none of its own: every 720
// twips, 48 pixels at 96 dpi, as rich text assumes. A plain text gets them
// too; a rich text gets its own from the reader.
void setDefaultTabStops(QTextDocument &document);

// Makes a document fit for the board: every character drawn without
// smoothing, and fonts this computer lacks replaced by the board font (the
// fallback a font lookup would pick draws smoothed glyphs).
void prepareForBoard(QTextDocument &document);

// Lays the document out at the board's width and draws it on black, moved
// down as far as its highest glyph rises above the top: a text box never cuts
// the top of its first line (see glyph_overhang.h).
QImage renderOnBoard(QTextDocument &document, int width, int height);

} // namespace pravik::picture
