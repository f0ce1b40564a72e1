#include "slatepad/board_size.h"

#include <gtest/gtest.h>

using slatepad::parseStartArguments;

namespace {

struct StartCase
{
    QStringList arguments;
    int width;
    int height;
    const char *file;
};

void PrintTo(const StartCase &c, std::ostream *os)
{
    *os << '{' << c.arguments.join(QLatin1Char('|')).toStdString() << '}';
}

class StartArguments : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(StartArguments, GiveTheBoardSizeAndTheFile)
{
    const StartCase &c = GetParam();
    const slatepad::StartRequest request = parseStartArguments(c.arguments);
    EXPECT_EQ(request.board, QSize(c.width, c.height));
    EXPECT_EQ(request.file, QString::fromUtf8(c.file));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartArguments,
    ::testing::Values(StartCase{{}, 160, 32, ""},
                      // As Pravik passes them: the sign-position form.
                      StartCase{{" 64", " 16"}, 64, 16, ""},
                      StartCase{{"64", "16"}, 64, 16, ""},
                      StartCase{{" 160", " 32", "/tmp/a.rtf"}, 160, 32, "/tmp/a.rtf"},
                      StartCase{{"/tmp/a.rtf"}, 160, 32, "/tmp/a.rtf"},
                      StartCase{{" 96"}, 96, 32, ""},
                      StartCase{{"0", "-3"}, 160, 32, ""},
                      StartCase{{"5000", "16"}, 160, 16, ""},
                      StartCase{{"63.6", "16.2"}, 64, 16, ""}));

} // namespace
