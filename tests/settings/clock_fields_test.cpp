#include "pravik/settings/clock_fields.h"

#include <gtest/gtest.h>

using namespace pravik::settings;

TEST(ClockFieldRules, NormalisingKeepsTheSizeOfTheWholeNumberBelow)
{
    const std::pair<QString, QString> cases[] = {{"-3.7", "4"}, {"12.9", "12"}, {"abc", "0"},
                                                 {"", "0"},     {"7", "7"},     {"-0.2", "1"},
                                                 {"9x", "9"},   {"0", "0"},     {"2004", "2004"}};
    for (const auto &[text, normalised] : cases)
        EXPECT_EQ(normalisedText(text), normalised) << text.toStdString();
}

TEST(ClockFieldRules, ATimeFieldAboveItsLimitBecomesZero)
{
    const std::tuple<QString, int, QString> cases[] = {
        {"24", 23, "0"},  {"23", 23, "23"},   {"-3.7", 23, "4"}, {"61", 60, "0"},
        {"60", 60, "60"}, {"12.9", 60, "12"}, {"17", 16, "0"},   {"abc", 16, "0"}};
    for (const auto &[text, most, limited] : cases)
        EXPECT_EQ(limitedText(text, most), limited) << text.toStdString() << " " << most;
}

TEST(ClockFieldRules, TheMonthCheckKnowsEachMonthsLength)
{
    // month/day as typed, then as checked
    const std::pair<QString, QString> cases[] = {
        {"1/31", "1/31"}, {"12/31", "12/31"}, {"12/32", "12/1"}, {"4/31", "4/1"},
        {"4/30", "4/30"}, {"11/31", "11/1"},  {"2/29", "2/29"},  {"2/30", "2/1"},
        {"13/5", "1/5"},  {"0/40", "1/40"},   {"2.5/3", "1/3"},  {"6/0", "6/0"}};
    for (const auto &[typed, expected] : cases) {
        const MonthAndDay checked =
            checkedMonthAndDay(typed.section(u'/', 0, 0), typed.section(u'/', 1));
        EXPECT_EQ(checked.month + u'/' + checked.day, expected) << typed.toStdString();
    }
}
