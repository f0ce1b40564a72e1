#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text encodings of the files the board's software shares. The display
// file and plain-text screens are in the Chinese code page 936 of Windows;
// rich text names its code page and may name GB18030.
namespace common {

// Code page 936 exactly as Windows writes it: the GBK characters in two
// bytes and the euro sign as the single byte 80. A character the code page
// cannot hold is written as "?"; `refused`, when given, receives the first of
// them, so that a caller can refuse the text instead of losing a character.
QByteArray encodeCodePage936(const QString &text, std::optional<char32_t> *refused = nullptr);

// The first character of the text that code page 936 cannot hold.
std::optional<char32_t> outsideCodePage936(const QString &text);

// A character as messages name it: “ä” (U+00E4).
QString namedCharacter(char32_t character);

// Reads code page 936. A byte that starts no character becomes U+FFFD and
// the rest of the text is still read; `badBytes`, when given, counts them.
QString decodeCodePage936(const QByteArray &bytes, qsizetype *badBytes = nullptr);

// GB18030, which gives every GBK character the same two bytes as code page
// 936 and carries any other character in four. Rich text finds its GBK pairs
// through it and reads the GB18030 code page with it; files that other
// programs read as code page 936 are not written with it.
QByteArray encodeGbk(const QString &text);

// Bytes that are not valid in GB18030 become U+FFFD, one per bad byte; the
// rest of the text is still read.
QString decodeGbk(const QByteArray &bytes);

// A plain-text screen (.txt). The board's software writes these in code page
// 936, editors on Linux in UTF-8. A UTF-8 byte-order mark always means UTF-8;
// without one the text is code page 936 unless it cannot be, or unless its
// code page 936 reading is implausible while its UTF-8 reading is plainly
// Chinese or Latin text.
QString decodePlainText(const QByteArray &bytes);

} // namespace common
