#include "pravik/editor/cell_commit.h"
#include "pravik/editor/inserted_screen_row.h"
#include "pravik/editor/slatepad_command.h"

#include <gtest/gtest.h>

using namespace pravik::editor;

namespace {

struct CommitCase
{
    int column;
    const char *typed;
    const char *stored;
};

void PrintTo(const CommitCase &c, std::ostream *os)
{
    *os << "column " << c.column << " \"" << c.typed << '"';
}

class LeaveCommit : public ::testing::TestWithParam<CommitCase>
{
};

TEST_P(LeaveCommit, StoresTheNumberWhenItLiesIn1To255)
{
    const CommitCase &c = GetParam();
    EXPECT_EQ(commitTextOnLeave(c.column, QString::fromUtf8(c.typed)), QString::fromUtf8(c.stored));
}

INSTANTIATE_TEST_SUITE_P(Cases, LeaveCommit,
                         ::testing::Values(CommitCase{3, "300", "0"}, CommitCase{3, "20", "20"},
                                           CommitCase{5, "1", "1"}, CommitCase{5, "255", "255"},
                                           CommitCase{5, "256", "0"}, CommitCase{8, "0", "0"},
                                           CommitCase{8, "-5", "0"}, CommitCase{3, "12ab", "12"},
                                           CommitCase{3, "ab", "0"}, CommitCase{5, " 7.5", "7.5"},
                                           CommitCase{2, "3", "3"}, CommitCase{0, "9", "9"},
                                           CommitCase{1, " 300 a.bmp", " 300 a.bmp"},
                                           CommitCase{1, "", ""}));

class EnterCommit : public ::testing::TestWithParam<CommitCase>
{
};

TEST_P(EnterCommit, UsesTheRangesOfEachColumn)
{
    const CommitCase &c = GetParam();
    const auto stored = commitTextOnEnter(c.column, QString::fromUtf8(c.typed));
    if (c.stored == nullptr) {
        EXPECT_FALSE(stored.has_value());
    } else {
        EXPECT_EQ(stored.value_or(QStringLiteral("<nothing>")), QString::fromUtf8(c.stored));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnterCommit,
    ::testing::Values(CommitCase{1, "C:\\pic\\a.txt", "C:\\pic\\a.txt"}, CommitCase{3, "0", "0"},
                      CommitCase{3, "15", "15"}, CommitCase{3, "16", "2"},
                      CommitCase{8, "-1", "2"}, CommitCase{8, "x", "0"}, CommitCase{5, "0", "0"},
                      CommitCase{5, "255", "255"}, CommitCase{5, "256", "1"},
                      CommitCase{5, "-5", "1"}, CommitCase{5, "-0", "0"},
                      CommitCase{2, "5", nullptr}, CommitCase{4, "5", nullptr},
                      CommitCase{0, "5", nullptr}));

TEST(SaveCommit, KeepsItsOwnRange)
{
    EXPECT_EQ(commitTextForSave(3, QStringLiteral("10")), QStringLiteral("10"));
    EXPECT_EQ(commitTextForSave(3, QStringLiteral("11")), QStringLiteral("0"));
    EXPECT_EQ(commitTextForSave(1, QStringLiteral(" a")), QStringLiteral(" a"));
}

// The row inserted before row 3 is checked through the grid's Edit menu.
TEST(InsertedScreenRow, BeforeTheFirstScreenIsNumberedBlankZero)
{
    EXPECT_EQ(insertedScreenRow(1)[0], QStringLiteral(" 0"));
}

// The arguments Slatepad is started with are checked through the source commands.
TEST(SlatepadCommand, ShownAsProgramAndBoardSizeInTheSignPositionForm)
{
    // The program path, then 160 and 32 separated by two blanks.
    EXPECT_EQ(slatepadCommandLine(QStringLiteral("/opt/pravik"), 160, 32),
              QStringLiteral("/opt/pravik/slatepad 160  32"));
}

} // namespace
