#include "pravik/editor/cell_commit.h"
#include "pravik/editor/inserted_screen_row.h"
#include "pravik/editor/slatepad_command.h"

#include <gtest/gtest.h>

using namespace pravik::editor;

namespace {

// What an open cell editor writes into its cell: on leaving the cell, on Enter
// (nullptr: the cell keeps its text) and on Save. Columns: 0 number, 1
// picture, 2 entry effect, 3 entry speed, 4 stay mode, 5 stay time, 8 exit speed.
TEST(CellCommit, EachWayOfLeavingTheEditorHasItsOwnRange)
{
    enum Rule { Leave, Enter, Save };
    struct Case
    {
        Rule rule;
        int column;
        const char *typed;
        const char *stored;
    };
    // clang-format off
    const Case cases[] = {
        {Leave, 3, "300", "0"},    {Leave, 3, "20", "20"},   {Leave, 5, "1", "1"},
        {Leave, 5, "255", "255"},  {Leave, 5, "256", "0"},   {Leave, 8, "0", "0"},
        {Leave, 8, "-5", "0"},     {Leave, 3, "12ab", "12"}, {Leave, 3, "ab", "0"},
        {Leave, 5, " 7.5", "7.5"}, {Leave, 2, "3", "3"},     {Leave, 0, "9", "9"},
        {Leave, 1, " 300 a.bmp", " 300 a.bmp"},              {Leave, 1, "", ""},
        {Enter, 1, "C:\\pic\\a.txt", "C:\\pic\\a.txt"},
        {Enter, 3, "0", "0"},      {Enter, 3, "15", "15"},   {Enter, 3, "16", "2"},
        {Enter, 8, "-1", "2"},     {Enter, 8, "x", "0"},     {Enter, 5, "0", "0"},
        {Enter, 5, "255", "255"},  {Enter, 5, "256", "1"},   {Enter, 5, "-5", "1"},
        {Enter, 5, "-0", "0"},     {Enter, 2, "5", nullptr}, {Enter, 4, "5", nullptr},
        {Enter, 0, "5", nullptr},  {Save, 3, "10", "10"},    {Save, 3, "11", "0"},
        {Save, 5, "1", "1"},       {Save, 8, "0", "0"},      {Save, 1, " a", " a"},
        {Save, 3, "10.999999", "10.999999"},  {Save, 5, "3.1415926", "3.1415926"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "rule " << c.rule << " column " << c.column << " \"" << c.typed << '"');
        const QString typed = QString::fromUtf8(c.typed);
        std::optional<QString> stored;
        if (c.rule == Leave)
            stored = commitTextOnLeave(c.column, typed);
        else if (c.rule == Enter)
            stored = commitTextOnEnter(c.column, typed);
        else
            stored = commitTextForSave(c.column, typed);
        if (c.stored == nullptr)
            EXPECT_FALSE(stored.has_value());
        else
            EXPECT_EQ(stored.value_or(QStringLiteral("<nothing>")), QString::fromUtf8(c.stored));
    }
}

// Inserted before row 3 the number is " 2"; the grid's Edit menu checks that case.
TEST(InsertedScreenRow, BeforeTheFirstScreenIsNumberedBlankZero)
{
    EXPECT_EQ(insertedScreenRow(1)[0], QStringLiteral(" 0"));
}

TEST(SlatepadCommand, ShownAsProgramAndBoardSizeInTheSignPositionForm)
{
    // The program path, then 160 and 32 separated by two blanks.
    EXPECT_EQ(slatepadCommandLine(QStringLiteral("/opt/pravik"), 160, 32),
              QStringLiteral("/opt/pravik/slatepad 160  32"));
}

} // namespace
