#include "pravik/link/board_commands.h"

#include <gtest/gtest.h>

using namespace pravik::link;

namespace {

int at(const QByteArray &buffer, int index)
{
    return static_cast<std::uint8_t>(buffer[index]);
}

ClockFields fields(const char *section, const char *year, const char *month, const char *day,
                   const char *hour, const char *minute, const char *second, int zone)
{
    return ClockFields{QString::fromLatin1(section), QString::fromLatin1(year),
                       QString::fromLatin1(month),   QString::fromLatin1(day),
                       QString::fromLatin1(hour),    QString::fromLatin1(minute),
                       QString::fromLatin1(second),  zone};
}

} // namespace

TEST(ToBcd, PacksTwoDecimalDigits)
{
    EXPECT_EQ(toBcd(0), 0x00);
    EXPECT_EQ(toBcd(7), 0x07);
    EXPECT_EQ(toBcd(45), 0x45);
    EXPECT_EQ(toBcd(99), 0x99);
    EXPECT_EQ(toBcd(100), 0x00);
    EXPECT_EQ(toBcd(2004), 0x00);
}

TEST(ClockPayload, ComputerTimeOf3October2004)
{
    const QByteArray buffer = clockPayload(QDateTime(QDate(2004, 10, 3), QTime(14, 5, 30)));
    ASSERT_EQ(buffer.size(), 22);
    EXPECT_EQ(at(buffer, 0), 0x03);
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(at(buffer, i), 0) << i;
    const int expected[] = {0x30, 0x05, 0x14, 0x03, 0x10, 0x00, 0x00, 0x20, 0x04};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(at(buffer, 12 + i), expected[i]) << 12 + i;
    // Saturday is day 6, December stays 0x12.
    const QByteArray saturday = clockPayload(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59)));
    EXPECT_EQ(at(saturday, 18), 0x06);
    EXPECT_EQ(at(saturday, 16), 0x12);
    EXPECT_EQ(at(saturday, 14), 0x23);
}

TEST(ClockPayload, FromTheDialogFields)
{
    const auto buffer = fieldsClockPayload(fields("17", "12004", "12", "31", "25", "61", "59", 19));
    ASSERT_TRUE(buffer.has_value());
    EXPECT_EQ(at(*buffer, 0), 0x05);
    EXPECT_EQ(at(*buffer, 3), 0x01);  // 17 mod 16, not BCD
    EXPECT_EQ(at(*buffer, 4), 0x20);  // 12004 mod 10000 = 2004
    EXPECT_EQ(at(*buffer, 5), 0x04);
    EXPECT_EQ(at(*buffer, 6), 0x12);  // December as the computer clock sends it
    EXPECT_EQ(at(*buffer, 7), 0x31);
    EXPECT_EQ(at(*buffer, 8), 0x01);  // 25 mod 24
    EXPECT_EQ(at(*buffer, 9), 0x01);  // 61 mod 60
    EXPECT_EQ(at(*buffer, 10), 0x59);
    EXPECT_EQ(at(*buffer, 11), 0x19); // time zone index 19, UTC+8
    for (int i = 12; i <= 21; ++i)
        EXPECT_EQ(at(*buffer, i), 0) << i;

    const auto lenient = fieldsClockPayload(fields("", "2004年", "abc", "3.5", " 7", "", "", 0));
    ASSERT_TRUE(lenient.has_value());
    EXPECT_EQ(at(*lenient, 6), 0x00);
    EXPECT_EQ(at(*lenient, 7), 0x04);
    EXPECT_EQ(at(*lenient, 8), 0x07);
}

TEST(ClockPayload, NegativeFieldsCannotBeSent)
{
    EXPECT_FALSE(fieldsClockPayload(fields("0", "2004", "-1", "1", "1", "1", "1", 19)).has_value());
    EXPECT_FALSE(fieldsClockPayload(fields("0", "2004", "1", "1", "1", "1", "-5", 19)).has_value());
    EXPECT_FALSE(fieldsClockPayload(fields("0", "2004", "1", "1", "1", "1", "1", -1)).has_value());
}

TEST(DisplayRangePayload, StartAndCountModulo256)
{
    const QByteArray buffer = displayRangePayload(300 % 256, 12);
    EXPECT_EQ(at(buffer, 0), 0x01);
    EXPECT_EQ(at(buffer, 5), 44);
    EXPECT_EQ(at(buffer, 6), 12);
    EXPECT_EQ(buffer.count('\0'), 19);
}
