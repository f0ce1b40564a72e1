#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace pravik::document {

// The settings of the one board that a display file describes. The field
// types are those the file and the wire carry: a 16-bit port number where 0
// means Ethernet, a double baud rate, a pair of address bytes of which the
// first goes into every packet header.
struct BoardSettings
{
    std::int16_t port = 1; // 0 = Ethernet over UDP, n = serial port COMn
    double baud = 0;
    std::array<std::uint8_t, 2> address{1, 1}; // the second byte always equals the first
    QString ipAddress;
    std::array<std::int16_t, 4> ipOctets{};
    std::int32_t ipPort = 1973;
    std::int16_t feedback = 1; // 1: wait for the board's echo of every packet
    std::int16_t scrtype = 0;  // 1 single-colour, 2 three-colour, 3 multi-colour, 0 not chosen
    std::int16_t scrwidth = 160;
    std::int16_t scrhigh = 32;

    bool isEthernet() const { return port == 0; }
    std::uint8_t busAddress() const { return address[0]; }
    void setBusAddress(std::uint8_t value) { address = {value, value}; }

    friend bool operator==(const BoardSettings &, const BoardSettings &) = default;
};

} // namespace pravik::document
