#pragma once

#include <QImage>
#include <QSize>

class QTextDocument;

namespace slatepad {

// What a three-colour board shows of the document once it is saved: the
// document goes through the file form Pravik reads (RTF, or the bare text of
// a .txt file in Pravik's yellow plain-text font), is drawn the way Pravik
// draws a text screen, and every pixel becomes an LED that is off, red, green
// or yellow. One image pixel per LED.
QImage boardPicture(const QTextDocument &document, QSize board, bool plainText);

} // namespace slatepad
