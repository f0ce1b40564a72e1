#include "grid_fixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace pravik::document;

namespace {

using GridEditorTest = GridFixture;

// --- which editor a click opens ---------------------------------------------

class TextColumnClick : public GridFixture, public ::testing::WithParamInterface<int>
{
};

TEST_P(TextColumnClick, PlacesTheTextEditorOverTheCellWithItsTextSelected)
{
    const int column = GetParam();
    setCell(2, column, QStringLiteral("42"));
    clickCell(2, column);

    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_TRUE(textEditor->isEnabled());
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(2, column));
    EXPECT_EQ(textEditor->text(), QStringLiteral("42"));
    EXPECT_EQ(textEditor->selectedText(), QStringLiteral("42"));
    for (QComboBox *list : {comin, comout, comdisp, comexp})
        EXPECT_FALSE(list->isVisible()) << list->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Columns, TextColumnClick,
                         ::testing::Values(PictureColumn, EntrySpeedColumn, StayTimeColumn,
                                           ExitSpeedColumn));

struct ListCase
{
    int column;
    const char *listName;
    const char *cellText;
    int selected;
    const char *rewritten;
};

void PrintTo(const ListCase &c, std::ostream *os)
{
    *os << c.listName << " with \"" << c.cellText << '"';
}

class ListColumnClick : public GridFixture, public ::testing::WithParamInterface<ListCase>
{
};

TEST_P(ListColumnClick, SelectsTheEntryOfTheCellsCodeAndWritesItsName)
{
    const ListCase &c = GetParam();
    setCell(5, c.column, QString::fromUtf8(c.cellText));
    clickCell(5, c.column);

    auto *list = window->findChild<QComboBox *>(QString::fromLatin1(c.listName));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(list->currentIndex(), c.selected);
    EXPECT_EQ(cell(5, c.column), QString::fromUtf8(c.rewritten));
    const QRect rect = cellRectInWindow(5, c.column);
    EXPECT_EQ(list->geometry().topLeft(), rect.topLeft());
    EXPECT_EQ(list->width(), rect.width());
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_FALSE(textEditor->isEnabled());
    for (QComboBox *other : {comin, comout, comdisp, comexp}) {
        if (other != list) {
            EXPECT_FALSE(other->isVisible()) << other->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListColumnClick,
    ::testing::Values(ListCase{StayModeColumn, "Comdisp", "随机", 4, "随机"},
                      ListCase{StayModeColumn, "Comdisp", "特种幕2", 10, "特种幕2"},
                      ListCase{StayModeColumn, "Comdisp", "停留", 3, "连续显示"},
                      ListCase{EntryEffectColumn, "Comin", "备用3", 7, "向左移动"},
                      ListCase{EntryEffectColumn, "Comin", "向上移动", 11, "向上移动"},
                      ListCase{EntryEffectColumn, "Comin", "备用1", 7, "向左移动"},
                      ListCase{ExitEffectColumn, "Comout", "备用17", 7, "向左移动"},
                      ListCase{ExitEffectColumn, "Comout", "动画/连续", 14, "动画/连续"}));

TEST_F(GridEditorTest, ChoosingFromTheListWritesTheCellAndHidesTheList)
{
    clickCell(4, StayModeColumn);
    ASSERT_TRUE(comdisp->isVisible());
    QTest::keyClick(comdisp, Qt::Key_Down);

    EXPECT_EQ(cell(4, StayModeColumn), QStringLiteral("亮灭闪烁"));
    EXPECT_FALSE(comdisp->isVisible());
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(GridEditorTest, AListLeftOpenClosesWhenAnotherCellIsClicked)
{
    clickCell(4, EntryEffectColumn);
    ASSERT_TRUE(comin->isVisible());
    clickCell(6, NumberColumn);

    EXPECT_FALSE(comin->isVisible());
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(cell(6, NumberColumn), QStringLiteral("5"));
}

// --- committing when the editor is left -------------------------------------
// The rule of each column is checked on its own in cell_commit_test; here the
// grid applies it.

struct TypedCase
{
    int column;
    const char *typed;
    const char *stored;
};

void PrintTo(const TypedCase &c, std::ostream *os)
{
    *os << "column " << c.column << " \"" << c.typed << '"';
}

class CommitOnLeave : public GridFixture, public ::testing::WithParamInterface<TypedCase>
{
};

TEST_P(CommitOnLeave, ClickingAnotherCellStoresTheEditorValue)
{
    const TypedCase &c = GetParam();
    clickCell(2, c.column);
    QTest::keyClicks(textEditor, QString::fromUtf8(c.typed));
    clickCell(7, PictureColumn);

    EXPECT_EQ(cell(2, c.column), QString::fromUtf8(c.stored));
    EXPECT_EQ(editor->currentRow(), 7);
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(7, PictureColumn));
}

INSTANTIATE_TEST_SUITE_P(Cases, CommitOnLeave,
                         ::testing::Values(TypedCase{EntrySpeedColumn, "300", "0"},
                                           TypedCase{EntrySpeedColumn, "20", "20"},
                                           TypedCase{PictureColumn, " a b.txt", " a b.txt"}));

TEST_F(GridEditorTest, ClickingTheSameCellAgainCommitsAndReopens)
{
    clickCell(3, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("300"));
    clickCell(3, EntrySpeedColumn);

    EXPECT_EQ(cell(3, EntrySpeedColumn), QStringLiteral("0"));
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("0"));
}

// --- Enter ------------------------------------------------------------------

TEST_F(GridEditorTest, EnterOnRow3StoresTheLeaveValueAndOpensTheRowBelow)
{
    clickCell(3, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("-5"));
    QTest::keyClick(textEditor, Qt::Key_Return);

    // Enter writes "1", leaving the cell with the editor still open writes "0".
    EXPECT_EQ(cell(3, StayTimeColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 4);
    EXPECT_EQ(editor->currentColumn(), int(StayTimeColumn));
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(textEditor->text(), QStringLiteral("1"));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(4, StayTimeColumn));
}

TEST_F(GridEditorTest, EnterKeepsTwentyInASpeedCellAndWalksDownThePictures)
{
    clickCell(5, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("20"));
    QTest::keyClick(textEditor, Qt::Key_Enter);
    EXPECT_EQ(cell(5, EntrySpeedColumn), QStringLiteral("20"));

    clickCell(1, PictureColumn);
    QTest::keyClicks(textEditor, QStringLiteral("a.bmp"));
    QTest::keyClick(textEditor, Qt::Key_Return);
    QTest::keyClicks(textEditor, QStringLiteral("b.bmp"));
    QTest::keyClick(textEditor, Qt::Key_Return);

    EXPECT_EQ(cell(1, PictureColumn), QStringLiteral("a.bmp"));
    EXPECT_EQ(cell(2, PictureColumn), QStringLiteral("b.bmp"));
    EXPECT_EQ(editor->currentRow(), 3);
    EXPECT_EQ(textEditor->text(), QString());
}

TEST_F(GridEditorTest, EnterOnRow130MovesNothing)
{
    clickCell(130, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("9"));
    QTest::keyClick(textEditor, Qt::Key_Return);

    EXPECT_EQ(editor->currentRow(), 130);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("9"));
    EXPECT_EQ(cell(130, EntrySpeedColumn), QStringLiteral("1"));
    EXPECT_EQ(cell(131, EntrySpeedColumn), QStringLiteral("1"));
}

TEST_F(GridEditorTest, EnterBelowRow128FollowsTheCellOutOfView)
{
    // Row 127 lies far below the first page: the grid scrolls to the row
    // below, and the editor still stores its value first.
    clickCell(126, ExitSpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("300"));
    grid->verticalScrollBar()->setValue(0);
    QTest::keyClick(textEditor, Qt::Key_Return);

    EXPECT_EQ(cell(126, ExitSpeedColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 127);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(index(127, ExitSpeedColumn))));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(127, ExitSpeedColumn));
}

// --- Escape and the arrow keys ----------------------------------------------

TEST_F(GridEditorTest, EscapeKeepsTheOldText)
{
    clickCell(2, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("99"));
    QTest::keyClick(textEditor, Qt::Key_Escape);

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(cell(2, EntrySpeedColumn), QStringLiteral("1"));
    clickCell(8, NumberColumn);
    EXPECT_EQ(cell(2, EntrySpeedColumn), QStringLiteral("1"));
}

TEST_F(GridEditorTest, DownArrowCommitsAndMovesOneRowWithoutAnEditor)
{
    clickCell(2, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("300"));
    QTest::keyClick(textEditor, Qt::Key_Down);

    EXPECT_EQ(cell(2, StayTimeColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 3);
    EXPECT_EQ(editor->currentColumn(), int(StayTimeColumn));
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(GridEditorTest, UpArrowCommitsAndStopsAtTheFirstScreen)
{
    clickCell(2, ExitSpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("12"));
    QTest::keyClick(textEditor, Qt::Key_Up);
    EXPECT_EQ(cell(2, ExitSpeedColumn), QStringLiteral("12"));
    EXPECT_EQ(editor->currentRow(), 1);

    clickCell(1, ExitSpeedColumn);
    QTest::keyClick(textEditor, Qt::Key_Up);
    EXPECT_EQ(editor->currentRow(), 1);
}

TEST_F(GridEditorTest, DownArrowStopsAtTheLastRow)
{
    clickCell(239, EntrySpeedColumn);
    QTest::keyClick(textEditor, Qt::Key_Down);
    EXPECT_EQ(editor->currentRow(), 239);
}

// --- typing into the grid ---------------------------------------------------

TEST_F(GridEditorTest, APrintableKeyInTheGridReplacesTheCellTextInTheEditor)
{
    clickCell(6, EntrySpeedColumn);
    QTest::keyClick(textEditor, Qt::Key_Escape);
    ASSERT_TRUE(grid->hasFocus());

    QTest::keyClicks(grid, QStringLiteral("7"));
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(textEditor->text(), QStringLiteral("7"));
    EXPECT_EQ(textEditor->cursorPosition(), 1);
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(6, EntrySpeedColumn));

    QTest::keyClicks(textEditor, QStringLiteral("5"));
    clickCell(9, NumberColumn);
    EXPECT_EQ(cell(6, EntrySpeedColumn), QStringLiteral("75"));
}

TEST_F(GridEditorTest, ChineseFromTheInputMethodReplacesTheCellTextInTheEditor)
{
    clickCell(6, PictureColumn);
    QTest::keyClick(textEditor, Qt::Key_Escape);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("欢迎"));
    QApplication::sendEvent(grid, &composed);

    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("欢迎"));
    EXPECT_EQ(textEditor->cursorPosition(), 2);
}

TEST_F(GridEditorTest, ABlankInTheGridOpensTheEditorWithTheCellText)
{
    setCell(6, PictureColumn, QStringLiteral("b.bmp"));
    clickCell(6, PictureColumn);
    QTest::keyClick(textEditor, Qt::Key_Escape);

    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("b.bmp"));
    EXPECT_EQ(textEditor->cursorPosition(), 5);
}

TEST_F(GridEditorTest, ArrowKeysInTheGridStillMoveTheCurrentCell)
{
    clickCell(6, PictureColumn);
    QTest::keyClick(textEditor, Qt::Key_Escape);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(editor->currentRow(), 7);
    EXPECT_FALSE(textEditor->isVisible());
}

TEST_F(GridEditorTest, TheNumberColumnOpensNoEditor)
{
    clickCell(3, NumberColumn);
    EXPECT_FALSE(textEditor->isVisible());
    for (QComboBox *list : {comin, comout, comdisp, comexp})
        EXPECT_FALSE(list->isVisible());
}

// --- scrolling and resizing -------------------------------------------------

TEST_F(GridEditorTest, ScrollingHidesTheEditorWithoutCommitting)
{
    clickCell(2, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("9"));
    const QPoint at = grid->viewport()->rect().center();
    QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);

    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(textEditor->isVisible());
    clickCell(20, PictureColumn);
    EXPECT_EQ(cell(2, EntrySpeedColumn), QStringLiteral("1"));
}

TEST_F(GridEditorTest, ScrollingHidesAnOpenList)
{
    clickCell(2, ExitEffectColumn);
    ASSERT_TRUE(comout->isVisible());
    QTest::mouseClick(grid->verticalScrollBar(), Qt::LeftButton, {},
                      QPoint(grid->verticalScrollBar()->width() / 2,
                             grid->verticalScrollBar()->height() - 5));
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(comout->isVisible());
}

TEST_F(GridEditorTest, TheEditorFollowsItsCellWhenTheWindowIsResized)
{
    clickCell(12, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("8"));
    window->resize(640, 300);
    QTest::qWait(20);

    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("8"));
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(index(12, StayTimeColumn))));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(12, StayTimeColumn));

    grid->setColumnWidth(PictureColumn, 100);
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(12, StayTimeColumn));
}

TEST_F(GridEditorTest, AnOpenListFollowsItsCellWhenTheWindowIsResized)
{
    clickCell(3, EntryEffectColumn);
    window->resize(700, 400);
    QTest::qWait(20);
    grid->setColumnWidth(PictureColumn, 90);
    EXPECT_EQ(comin->geometry().topLeft(), cellRectInWindow(3, EntryEffectColumn).topLeft());
}

// --- Save and a replaced list -----------------------------------------------

TEST_F(GridEditorTest, SaveTakesTheOpenEditorWithoutCommittingIt)
{
    EXPECT_FALSE(editor->takeOpenTextEditor().has_value());
    clickCell(4, ExitSpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("5"));

    const auto open = editor->takeOpenTextEditor();
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(open->listRow, 4);
    EXPECT_EQ(open->column, int(ExitSpeedColumn));
    EXPECT_EQ(open->text, QStringLiteral("5"));
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(cell(4, ExitSpeedColumn), QStringLiteral("1"));
    EXPECT_FALSE(editor->takeOpenTextEditor().has_value());
}

TEST_F(GridEditorTest, ANewListClosesTheEditorWithoutWritingIntoIt)
{
    clickCell(4, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("77"));
    initScreenList(screens);
    model->reload();

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(cell(4, EntrySpeedColumn), QStringLiteral("1"));
    // The current cell stays where it was, so the next command acts there.
    EXPECT_EQ(editor->currentRow(), 4);
    EXPECT_EQ(editor->currentColumn(), int(EntrySpeedColumn));
}

TEST_F(GridEditorTest, TheGridStartsWithTheFirstPictureAsItsCurrentCell)
{
    EXPECT_EQ(editor->currentRow(), 1);
    EXPECT_EQ(editor->currentColumn(), int(PictureColumn));
}

} // namespace
