#include "link_fakes.h"

#include "pravik/link/board_commands.h"

#include <gtest/gtest.h>

using namespace pravik::link;

TEST(ToBcd, PacksTwoDecimalDigitsAndGivesZeroBeyond99)
{
    const std::pair<int, int> cases[] = {{0, 0x00},  {7, 0x07},   {45, 0x45},
                                         {99, 0x99}, {100, 0x00}, {2004, 0x00}};
    for (const auto &[number, bcd] : cases)
        EXPECT_EQ(toBcd(number), bcd) << number;
}

TEST(ClockPayload, FromTheComputerClockInBcdWithSundayAsZero)
{
    // 3 October 2004 was a Sunday; 5 December 2026 is a Saturday.
    EXPECT_EQ(clockPayload(QDateTime(QDate(2004, 10, 3), QTime(14, 5, 30))).toHex(' '),
              (bytes({0x03}) + QByteArray(11, '\0') +
               bytes({0x30, 0x05, 0x14, 0x03, 0x10, 0x00, 0x00, 0x20, 0x04, 0x00}))
                  .toHex(' '));
    EXPECT_EQ(clockPayload(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59))).mid(12).toHex(' '),
              bytes({0x59, 0x59, 0x23, 0x05, 0x12, 0x00, 0x06, 0x20, 0x26, 0x00}).toHex(' '));
}

TEST(ClockPayload, FromTheDialogFields)
{
    // Section 17 wraps at 16 and is no BCD; the year keeps four digits;
    // hour 25 and minute 61 wrap; time zone index 19 is UTC+8.
    const auto buffer = fieldsClockPayload({"17", "12004", "12", "31", "25", "61", "59", 19});
    ASSERT_TRUE(buffer.has_value());
    EXPECT_EQ(buffer->toHex(' '),
              (bytes({0x05, 0, 0, 0x01, 0x20, 0x04, 0x12, 0x31, 0x01, 0x01, 0x59, 0x19}) +
               QByteArray(10, '\0'))
                  .toHex(' '));

    // Fields are read as leading numbers, rounded half to even.
    const auto lenient = fieldsClockPayload({"", "2004年", "abc", "3.5", " 7", "", "", 0});
    ASSERT_TRUE(lenient.has_value());
    EXPECT_EQ(lenient->mid(6, 3).toHex(' '), bytes({0x00, 0x04, 0x07}).toHex(' '));

    for (const ClockFields &negative : {ClockFields{"0", "2004", "-1", "1", "1", "1", "1", 19},
                                        ClockFields{"0", "2004", "1", "1", "1", "1", "-5", 19},
                                        ClockFields{"0", "2004", "1", "1", "1", "1", "1", -1}})
        EXPECT_FALSE(fieldsClockPayload(negative).has_value()) << negative.month.toStdString();
}

TEST(DisplayRangePayload, StartAndCountModulo256)
{
    EXPECT_EQ(displayRangePayload(300, 12).toHex(' '),
              (bytes({0x01, 0, 0, 0, 0, 44, 12}) + QByteArray(15, '\0')).toHex(' '));
}
