#include "pravik/document/list_input_reader.h"

#include <QStringList>
#include <gtest/gtest.h>

using pravik::document::ListInputReader;

TEST(ListInputReader, SplitsFieldsAtCommasAndLineEndsKeepingWhatQuotesHold)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"0\r\n\"a b\"\r\n\"1\"\r\n", {"0", "a b", "1"}},
        {"0,\"a\", b ,c\r\n", {"0", "a", "b", "c"}},
        {"1\n2\r3\r\n", {"1", "2", "3"}},
        {"\"C:\\a, b.bmp\",\"  x  \"\r\n", {"C:\\a, b.bmp", "  x  "}},
        {"\"a\"junk,\"b\"", {"a", "b"}}, // what follows a closing quote is dropped
        {"\"open", {"open"}},            // an unclosed quote runs to the end
        {"\"1\"\r\n\r\n", {"1", ""}},    // an empty line is one empty field
        {"a,\r\nb", {"a", "", "b"}},
    };
    for (const auto &[text, expected] : cases) {
        ListInputReader reader(QString::fromUtf8(text));
        QStringList fields;
        while (!reader.atEnd())
            fields << reader.readField();
        EXPECT_EQ(fields, expected) << text;
    }
}
