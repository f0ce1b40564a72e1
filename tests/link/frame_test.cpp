#include "link_fakes.h"

#include "pravik/link/frame.h"

#include <gtest/gtest.h>

using namespace pravik::link;

TEST(Frame, ChecksumAndFrameAreByteExact)
{
    QByteArray picture(133, '\0'); // a picture packet: checksum at 132
    picture[0] = 0x12;
    picture.replace(4, 128, QByteArray(128, '\xFF'));
    const struct
    {
        const char *what;
        int address;
        QByteArray buffer;
        int checksum;
        QByteArray frame;
    } cases[] = {
        {"plain command", 1, commandStartingWith({0x03}), 0x03,
         bytes({0xFA, 0xFA, 0x01, 0x03}) + QByteArray(20, '\0') + bytes({0x03})},
        {"mark in payload and checksum is escaped", 1, commandStartingWith({0xFA}), 0xFA,
         bytes({0xFA, 0xFA, 0x01, 0xFA, 0xFF}) + QByteArray(20, '\0') + bytes({0xFA, 0xFF})},
        {"the address is neither escaped nor summed", 0xFA, commandStartingWith({0x04, 0x02}), 0x06,
         bytes({0xFA, 0xFA, 0xFA, 0x04, 0x02}) + QByteArray(19, '\0') + bytes({0x06})},
        // 0x12 + 128 * 0xFF = 0x7F92: only the low byte is kept.
        {"long packet", 1, picture, 0x92,
         bytes({0xFA, 0xFA, 0x01, 0x12, 0, 0, 0}) + QByteArray(128, '\xFF') + bytes({0x92})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray buffer = c.buffer;
        const int n = static_cast<int>(buffer.size()) - 1;
        buffer[n] = 0x55; // whatever the checksum slot held before is no part of the sum
        EXPECT_EQ(payloadChecksum(buffer, n), c.checksum);
        buffer[n] = static_cast<char>(c.checksum);
        EXPECT_EQ(buildFrame(static_cast<std::uint8_t>(c.address), buffer, n).toHex(' '),
                  c.frame.toHex(' '));
    }
}
