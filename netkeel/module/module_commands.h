#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The network module's text commands: "W" and two letters write a setting,
// "r" and the same two letters read it; a line ends with CR LF. Answers to
// reads begin with "L" and the two letters.
namespace netkeel {

inline constexpr char kLineEnd[] = "\r\n";

// code + argument + CR LF, one byte per character.
QByteArray commandLine(QStringView code, QStringView argument = {});

// The module's serial baud rates; the value of "br" is the position in this list.
inline constexpr std::array<int, 8> kBaudRates = {1200,  2400,  4800,  9600,
                                                  19200, 28800, 38400, 57600};

// The "br" code of a rate, or -1 for a rate the module does not offer.
int baudCodeForRate(int rate);
std::optional<int> baudRateForCode(int code);

} // namespace netkeel
