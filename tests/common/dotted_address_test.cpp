#include "common/dotted_address.h"

#include <gtest/gtest.h>

using namespace common;

// Network modules show octets with three digits; they are decimal, not octal.
TEST(DottedAddress, ZeroPaddedOctetsAreDecimal)
{
    const std::pair<const char *, const char *> cases[] = {
        {"127.000.000.002", "127.0.0.2"}, {"192.168.001.010", "192.168.1.10"},
        {" 10.0.0.255 ", "10.0.0.255"},   {"256.000.000.001", "256.000.000.001"},
        {"0127.0.0.1", "0127.0.0.1"},     {"10.000.7", "10.000.7"},
    };
    for (const auto &[text, canonical] : cases)
        EXPECT_EQ(canonicalDottedQuad(QString::fromLatin1(text)), QString::fromLatin1(canonical));
    EXPECT_TRUE(isDottedQuad(canonicalDottedQuad(QStringLiteral("010.000.000.002"))));
}
