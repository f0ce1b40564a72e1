#pragma once

#include <QByteArray>
#include <QColor>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextDocument>

#include <ostream>

// Readable colours in failure messages.
inline void PrintTo(const QColor &colour, std::ostream *out)
{
    *out << (colour.isValid() ? colour.name().toStdString() : std::string("default colour"));
}

// Looking into a QTextDocument the way the board sees it: paragraphs, and the
// format each piece of text is drawn in.
namespace rtftest {

QByteArray fixture(const char *name);

// Each paragraph's raw text (line separators and no-break spaces kept).
QStringList paragraphs(const QTextDocument &document);

// The format of the first character of the first occurrence of `text`;
// an empty format (and a test failure) when the text is missing.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text);

QColor colourOf(const QTextCharFormat &format); // invalid: the default colour
int pixelSizeOf(const QTextCharFormat &format);
QString familyOf(const QTextCharFormat &format);
Qt::Alignment alignmentOf(const QTextDocument &document, int paragraph);

// One line per character: the character and everything the board draws it
// with (family, pixel size, colour, bold, italic, underline, strike-out),
// plus one line per paragraph with its alignment. A character without a
// family is drawn in the document's default font, so that is what it names.
QStringList describe(const QTextDocument &document);

// What the text editor produces: Chinese and Latin text in several fonts,
// sizes and colours (red, green, yellow among them), bold, italic, underline,
// every alignment, an empty paragraph and the characters RTF must escape.
void buildEditorDocument(QTextDocument &document);

} // namespace rtftest
