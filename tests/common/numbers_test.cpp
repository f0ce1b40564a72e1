#include "common/numbers.h"

#include <gtest/gtest.h>

using namespace common;

struct LeadingCase
{
    const char16_t *text;
    double value;
};

TEST(LeadingNumber, TakesTheLeadingDecimalNumberOrZero)
{
    const LeadingCase cases[] = {
        {u"  9600", 9600},  {u"115200", 115200}, {u"152000", 152000}, {u"12ab", 12},
        {u"ab12", 0},       {u"", 0},            {u"   ", 0},         {u"-8", -8},
        {u" 2.5x", 2.5},    {u"1 2 3", 123},     {u"= -8", 0},        {u".5", 0.5},
        {u"  -", 0},        {u"+7", 7},          {u"0.1.2", 0.1},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf16(c.text)), c.value)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.51), 3);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
    EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
}

TEST(AsInteger, AcceptsBlanksAroundTheNumberOnly)
{
    EXPECT_EQ(asInteger(u" 1"), 1);
    EXPECT_EQ(asInteger(u"17"), 17);
    EXPECT_EQ(asInteger(u"  1  "), 1);
    EXPECT_EQ(asInteger(u"-1"), -1);
    EXPECT_EQ(asInteger(u"2.5"), 2);
    EXPECT_EQ(asInteger(u"3.5"), 4);
    EXPECT_EQ(asInteger(u""), std::nullopt);
    EXPECT_EQ(asInteger(u"  "), std::nullopt);
    EXPECT_EQ(asInteger(u"=1"), std::nullopt);
    EXPECT_EQ(asInteger(u"1x"), std::nullopt);
    EXPECT_EQ(asInteger(u"1 2"), std::nullopt);
}

TEST(SignPosition, LeadsWithABlankOrTheMinusSign)
{
    EXPECT_EQ(signPosition(9600), QStringLiteral(" 9600"));
    EXPECT_EQ(signPosition(0), QStringLiteral(" 0"));
    EXPECT_EQ(signPosition(-5), QStringLiteral("-5"));
    EXPECT_EQ(signPosition(115200.0), QStringLiteral(" 115200"));
    EXPECT_EQ(signPosition(2.5), QStringLiteral(" 2.5"));
    EXPECT_EQ(signPosition(-0.0), QStringLiteral(" 0"));
}
