#include "pravik/link/frame.h"

#include <gtest/gtest.h>

using namespace pravik::link;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray command(std::initializer_list<int> leading)
{
    QByteArray buffer(22, '\0');
    int i = 0;
    for (const int v : leading)
        buffer[i++] = static_cast<char>(v);
    return buffer;
}

} // namespace

TEST(Frame, PlainCommandFrame)
{
    QByteArray buffer = command({0x03});
    EXPECT_EQ(payloadChecksum(buffer, 21), 0x03);
    buffer[21] = 0x03;
    const QByteArray expected = bytes({0xFA, 0xFA, 0x01, 0x03}) + QByteArray(20, '\0') + bytes({0x03});
    EXPECT_EQ(buildFrame(1, buffer, 21), expected);
    EXPECT_EQ(expected.size(), 25);
}

TEST(Frame, MarkInPayloadAndChecksumIsEscaped)
{
    QByteArray buffer = command({0xFA});
    EXPECT_EQ(payloadChecksum(buffer, 21), 0xFA);
    buffer[21] = static_cast<char>(0xFA);
    const QByteArray expected =
        bytes({0xFA, 0xFA, 0x01, 0xFA, 0xFF}) + QByteArray(20, '\0') + bytes({0xFA, 0xFF});
    EXPECT_EQ(buildFrame(1, buffer, 21), expected);
    EXPECT_EQ(expected.size(), 27);
}

TEST(Frame, AddressIsNeverEscapedNorSummed)
{
    QByteArray buffer = command({0x04, 0x02});
    buffer[21] = static_cast<char>(payloadChecksum(buffer, 21));
    const QByteArray atFA = buildFrame(0xFA, buffer, 21);
    const QByteArray at7 = buildFrame(0x07, buffer, 21);
    EXPECT_EQ(atFA.mid(0, 4), bytes({0xFA, 0xFA, 0xFA, 0x04}));
    EXPECT_EQ(atFA.size(), 25);
    EXPECT_EQ(atFA.back(), at7.back());
    EXPECT_EQ(atFA.mid(3), at7.mid(3));
}

TEST(Frame, ChecksumKeepsTheLowByteOfTheSum)
{
    QByteArray buffer(133, '\0');
    buffer[0] = 0x12;
    for (int i = 4; i < 132; ++i)
        buffer[i] = static_cast<char>(0xFF);
    // 0x12 + 128 * 0xFF = 0x7F92
    EXPECT_EQ(payloadChecksum(buffer, 132), 0x92);
    buffer[132] = static_cast<char>(0x92);
    EXPECT_EQ(buildFrame(1, buffer, 132).size(), 136);
}
