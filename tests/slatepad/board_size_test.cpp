#include "slatepad/board_size.h"

#include <gtest/gtest.h>

using slatepad::parseStartArguments;

TEST(StartArguments, GiveTheBoardSizeAndTheFile)
{
    struct Case
    {
        QStringList arguments;
        int width;
        int height;
        const char *file;
    };
    const Case cases[] = {
        {{}, 160, 32, ""},
        {{" 64", " 16"}, 64, 16, ""}, // as Pravik passes them: the sign-position form
        {{"64", "16"}, 64, 16, ""},
        {{" 160", " 32", "/tmp/a.rtf"}, 160, 32, "/tmp/a.rtf"},
        {{"/tmp/a.rtf"}, 160, 32, "/tmp/a.rtf"},
        {{" 96"}, 96, 32, ""},
        {{"0", "-3"}, 160, 32, ""},
        {{"5000", "16"}, 160, 16, ""},
        {{"63.6", "16.2"}, 64, 16, ""},
    };
    for (const Case &c : cases) {
        const slatepad::StartRequest request = parseStartArguments(c.arguments);
        EXPECT_EQ(request.board, QSize(c.width, c.height)) << c.arguments.join(u'|').toStdString();
        EXPECT_EQ(request.file, QString::fromUtf8(c.file)) << c.arguments.join(u'|').toStdString();
    }
}
