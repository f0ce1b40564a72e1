#pragma once

#include <QByteArray>
#include <cstdint>

namespace pravik::link {

inline constexpr std::uint8_t kFrameMark = 0xFA;
inline constexpr std::uint8_t kEscapeFill = 0xFF;

// The low 8 bits of the sum of payload bytes 0..n-1.
std::uint8_t payloadChecksum(const QByteArray &buffer, int checksumIndex);

// The frame for the payload bytes 0..n-1 and the checksum at index n:
// FA FA, the bus address, then payload and checksum with an FF inserted after
// every FA among them. The address byte is never escaped.
QByteArray buildFrame(std::uint8_t busAddress, const QByteArray &buffer, int checksumIndex);

} // namespace pravik::link
