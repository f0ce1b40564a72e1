#include "pravik/document/list_input_reader.h"

#include <QStringList>
#include <gtest/gtest.h>

using pravik::document::ListInputReader;

namespace {
QStringList allFields(const QString &text)
{
    ListInputReader reader(text);
    QStringList fields;
    while (!reader.atEnd())
        fields << reader.readField();
    return fields;
}
} // namespace

TEST(ListInputReader, SplitsFieldsAtCommasAndLineEnds)
{
    EXPECT_EQ(allFields(QStringLiteral("0\r\n\"a b\"\r\n\"1\"\r\n")),
              (QStringList{"0", "a b", "1"}));
    EXPECT_EQ(allFields(QStringLiteral("0,\"a\", b ,c\r\n")), (QStringList{"0", "a", "b", "c"}));
    EXPECT_EQ(allFields(QStringLiteral("1\n2\r3\r\n")), (QStringList{"1", "2", "3"}));
}

TEST(ListInputReader, QuotedFieldsKeepCommasAndBlanks)
{
    EXPECT_EQ(allFields(QStringLiteral("\"C:\\a, b.bmp\",\"  x  \"\r\n")),
              (QStringList{"C:\\a, b.bmp", "  x  "}));
    // What stands between a closing quote and the separator is dropped.
    EXPECT_EQ(allFields(QStringLiteral("\"a\"junk,\"b\"")), (QStringList{"a", "b"}));
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(allFields(QStringLiteral("\"open")), QStringList{"open"});
}

TEST(ListInputReader, EmptyLineIsOneEmptyField)
{
    EXPECT_EQ(allFields(QStringLiteral("\"1\"\r\n\r\n")), (QStringList{"1", ""}));
    EXPECT_EQ(allFields(QStringLiteral("a,\r\nb")), (QStringList{"a", "", "b"}));
}

TEST(ListInputReader, LinesThenFields)
{
    ListInputReader reader(QStringLiteral("[comm]\r\nPort =   1\r\n\r\n0,\"x\""));
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, QStringLiteral("[comm]"));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, QStringLiteral("Port =   1"));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, QString());
    EXPECT_EQ(reader.readField(), QStringLiteral("0"));
    EXPECT_EQ(reader.readField(), QStringLiteral("x"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.readLine(line));
}
