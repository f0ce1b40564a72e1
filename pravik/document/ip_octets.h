#pragma once

#include <QStringView>
#include <array>
#include <cstdint>

namespace pravik::document {

// Splits a dotted address into octets from index 0 upward, each part read as
// its leading number rounded to an integer; octets the text does not reach keep
// their value. More than four parts, or a part beyond a 16-bit number, is no
// address and leaves the octets untouched.
bool splitIpOctets(QStringView address, std::array<std::int16_t, 4> &octets);

} // namespace pravik::document
