#include "common/numbers.h"

#include <gtest/gtest.h>

using namespace common;

TEST(LeadingNumber, TakesTheLeadingDecimalNumberOrZero)
{
    const struct
    {
        const char16_t *text;
        double value;
    } cases[] = {{u"  9600", 9600}, {u"115200", 115200}, {u"152000", 152000},
                 {u"12ab", 12},     {u"ab12", 0},        {u"", 0},
                 {u"   ", 0},       {u"-8", -8},         {u" 2.5x", 2.5},
                 {u"1 2 3", 123},   {u"= -8", 0},        {u".5", 0.5},
                 {u"  -", 0},       {u"+7", 7},          {u"0.1.2", 0.1},
                 {u"\t96\t00", 9600}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    const std::pair<double, std::int64_t> cases[] = {
        {2.5, 2},  {3.5, 4},  {-2.5, -2},
        {2.51, 3}, {-0.4, 0}, {1e300, std::numeric_limits<std::int64_t>::max()}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

TEST(AsInteger, AcceptsBlanksAroundTheNumberOnly)
{
    const std::pair<const char16_t *, std::int64_t> numbers[] = {
        {u" 1", 1}, {u"17", 17}, {u"  1  ", 1}, {u"-1", -1}, {u"2.5", 2}, {u"3.5", 4}, {u"\t5\t", 5}};
    for (const auto &[text, value] : numbers)
        EXPECT_EQ(asInteger(text), value) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"", u"  ", u"=1", u"1x", u"1 2"})
        EXPECT_EQ(asInteger(text), std::nullopt) << QString::fromUtf16(text).toStdString();
}

TEST(SignPosition, LeadsWithABlankOrTheMinusSign)
{
    const std::pair<double, const char *> cases[] = {
        {9600, " 9600"}, {0, " 0"}, {-5, "-5"}, {115200.0, " 115200"}, {2.5, " 2.5"}, {-0.0, " 0"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(signPosition(value), QString::fromLatin1(text)) << value;
}
