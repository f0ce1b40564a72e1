#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Lenient conversions between texts and numbers, as the display file, the
// dialogs and the messages use them.
namespace common {

// The leading decimal number of a text: blanks are skipped, an optional sign,
// digits and a fractional part are taken, the rest is ignored. A text that
// starts with no number gives 0 ("12ab" -> 12, "ab" -> 0, "  9600" -> 9600).
double leadingNumber(QStringView text);

// Rounds to the nearest integer, a tie going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t roundHalfEven(double value);

// The whole text as an integer: blanks are allowed around the number, a
// fractional part is rounded half to even. Anything else in the text, or no
// number at all, gives nothing.
std::optional<std::int64_t> asInteger(QStringView text);

// The sign-position form of a number: one leading blank when it is not
// negative, the minus sign otherwise, no decimal point for whole values
// (9600 -> " 9600", -5 -> "-5", 2.5 -> " 2.5").
QString signPosition(double value);

// The value of one hexadecimal digit ('7' -> 7, 'b' or 'B' -> 11), or -1
// for any other character.
int hexDigitValue(char c);

} // namespace common
