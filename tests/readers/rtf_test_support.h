#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextDocument>

#include <initializer_list>
#include <utility>

// Looking into a QTextDocument the way the board sees it: paragraphs, and the
// format each piece of text is drawn in.
namespace rtftest {

QByteArray fixture(const char *name);

// Each paragraph's raw text (line separators and no-break spaces kept).
QStringList paragraphs(const QTextDocument &document);

// One letter per paragraph: L(eft), C(entre), R(ight), J(ustified).
QString alignments(const QTextDocument &document);

// The format of the first character of the first occurrence of `text`;
// an empty format (and a test failure) when the text is missing.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text);
int pixelSizeOf(const QTextCharFormat &format);

// Everything the board draws a character with: "family 16px #ff0000 on
// #00ff00 bold italic underline struck", "-" standing for no family, "default"
// for the default colour and no "on ..." for no background.
QString lookOf(const QTextCharFormat &format);
// Expects the first character of each text (UTF-8) to have its look.
void expectLooks(const QTextDocument &document,
                 std::initializer_list<std::pair<const char *, const char *>> textsAndLooks);

// The default tab distance, one line per paragraph with its alignment,
// indents (left, right, first line) and tab stops (kind and position), and
// one per character with its look. A character without a family is drawn in the document's default
// font, so that is what it names.
QStringList describe(const QTextDocument &document);

// What the text editor produces: Chinese and Latin text in several fonts,
// sizes, colours (red, green, yellow among them) and backgrounds, bold,
// italic, underline, every alignment, an empty paragraph and the characters
// RTF must escape.
void buildEditorDocument(QTextDocument &document);

} // namespace rtftest
