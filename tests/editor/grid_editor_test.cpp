#include "grid_fixture.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QWheelEvent>

using namespace pravik::document;
using common::MessageAnswer;

namespace {

using GridEditorTest = GridFixture;

// --- which editor a click opens ---------------------------------------------

TEST_F(GridEditorTest, TextColumnsOpenTheTextEditorOverTheCellWithItsTextSelected)
{
    EXPECT_EQ(editor->currentRow(), 1); // the first picture is current from the start
    EXPECT_EQ(editor->currentColumn(), int(PictureColumn));
    for (const int column : {PictureColumn, EntrySpeedColumn, StayTimeColumn, ExitSpeedColumn}) {
        SCOPED_TRACE(column);
        setCell(2, column, QStringLiteral("42"));
        clickCell(2, column);
        EXPECT_TRUE(textEditor->isVisible());
        EXPECT_TRUE(textEditor->hasFocus());
        EXPECT_EQ(textEditor->geometry(), cellRectInWindow(2, column));
        EXPECT_EQ(textEditor->selectedText(), QStringLiteral("42"));
        for (QComboBox *list : {comin, comout, comdisp, comexp})
            EXPECT_FALSE(list->isVisible());
        QTest::keyClick(textEditor, Qt::Key_Escape);
    }
    clickCell(3, NumberColumn);
    EXPECT_FALSE(textEditor->isVisible());
}

TEST_F(GridEditorTest, ListColumnsSelectTheEntryOfTheCellsCodeAndWriteItsName)
{
    struct Case
    {
        int column;
        QComboBox *list;
        const char *cellText;
        int selected;
        const char *rewritten;
    };
    const Case cases[] = {
        {StayModeColumn, comdisp, "停留", 3, "连续显示"},
        {EntryEffectColumn, comin, "备用3", 7, "向左移动"},
        {ExitEffectColumn, comout, "动画/连续", 14, "动画/连续"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cellText);
        setCell(5, c.column, QString::fromUtf8(c.cellText));
        clickCell(5, c.column);
        EXPECT_TRUE(c.list->isVisible());
        EXPECT_TRUE(c.list->hasFocus());
        EXPECT_EQ(c.list->currentIndex(), c.selected);
        EXPECT_EQ(cell(5, c.column), QString::fromUtf8(c.rewritten));
        EXPECT_EQ(c.list->geometry().topLeft(), cellRectInWindow(5, c.column).topLeft());
        for (QComboBox *other : {comin, comout, comdisp, comexp})
            EXPECT_EQ(other->isVisible(), other == c.list) << other->objectName().toStdString();
        c.list->showPopup(); // the list it drops shows whole names
        const QAbstractItemView *popup = c.list->view();
        for (int i = 0; i < c.list->count(); ++i)
            EXPECT_LE(popup->sizeHintForIndex(popup->model()->index(i, 0)).width(),
                      popup->viewport()->width());
        c.list->hidePopup();
    }
}

TEST_F(GridEditorTest, AChoiceFromTheListWritesTheCellAndHidesTheList)
{
    clickCell(4, StayModeColumn);
    QTest::keyClick(comdisp, Qt::Key_Down);
    EXPECT_EQ(cell(4, StayModeColumn), QStringLiteral("亮灭闪烁"));
    EXPECT_FALSE(comdisp->isVisible());
    EXPECT_TRUE(grid->hasFocus());
}

// --- committing: the rules themselves are in cell_commit_test ---------------

TEST_F(GridEditorTest, EnterStoresTheLeaveValueAndOpensTheRowBelowUpToRow127)
{
    clickCell(3, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("-5"));
    QTest::keyClick(textEditor, Qt::Key_Return);
    // Enter writes "1", leaving the cell with the editor still open writes "0".
    EXPECT_EQ(cell(3, StayTimeColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 4);
    EXPECT_EQ(editor->currentColumn(), int(StayTimeColumn));
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(textEditor->text(), QStringLiteral("1"));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(4, StayTimeColumn));

    // Below the first page the grid follows the cell out of view.
    clickCell(127, ExitSpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("300"));
    grid->verticalScrollBar()->setValue(0);
    QTest::keyClick(textEditor, Qt::Key_Return);
    EXPECT_EQ(cell(127, ExitSpeedColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 128);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(index(128, ExitSpeedColumn))));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(128, ExitSpeedColumn));

    // From row 128 on Enter neither writes nor moves.
    QTest::keyClicks(textEditor, QStringLiteral("9"));
    QTest::keyClick(textEditor, Qt::Key_Return);
    EXPECT_EQ(editor->currentRow(), 128);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("9"));
    EXPECT_EQ(cell(128, ExitSpeedColumn), QStringLiteral("1"));
}

// --- Escape and the arrow keys ----------------------------------------------

TEST_F(GridEditorTest, EscapeKeepsTheOldText)
{
    clickCell(2, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("99"));
    QTest::keyClick(textEditor, Qt::Key_Escape);

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    clickCell(8, NumberColumn);
    EXPECT_EQ(cell(2, EntrySpeedColumn), QStringLiteral("1"));
}

TEST_F(GridEditorTest, DownCommitsAndMovesWithoutAnEditorUpToTheLastRow)
{
    clickCell(2, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("300"));
    QTest::keyClick(textEditor, Qt::Key_Down);
    EXPECT_EQ(cell(2, StayTimeColumn), QStringLiteral("0"));
    EXPECT_EQ(editor->currentRow(), 3);
    EXPECT_EQ(editor->currentColumn(), int(StayTimeColumn));
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_TRUE(grid->hasFocus());

    for (const auto &[from, to] : {std::pair{238, 239}, std::pair{239, 239}}) {
        clickCell(from, EntrySpeedColumn);
        QTest::keyClick(textEditor, Qt::Key_Down);
        EXPECT_EQ(editor->currentRow(), to) << from;
    }
}

TEST_F(GridEditorTest, UpCommitsAndStopsAtTheFirstScreen)
{
    clickCell(2, ExitSpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("12"));
    QTest::keyClick(textEditor, Qt::Key_Up);
    EXPECT_EQ(cell(2, ExitSpeedColumn), QStringLiteral("12"));
    EXPECT_EQ(editor->currentRow(), 1);

    clickCell(1, ExitSpeedColumn);
    QTest::keyClick(textEditor, Qt::Key_Up);
    EXPECT_TRUE(grid->currentIndex().isValid());
    EXPECT_EQ(editor->currentRow(), 1);
    EXPECT_EQ(editor->currentColumn(), int(ExitSpeedColumn));
}

// --- typing into the grid ---------------------------------------------------

TEST_F(GridEditorTest, TypingIntoTheGridOpensTheEditor)
{
    setCell(6, EntrySpeedColumn, QStringLiteral("3"));
    clickCell(6, EntrySpeedColumn);
    QTest::keyClick(textEditor, Qt::Key_Escape);

    // A blank keeps the cell text, with the cursor at its end.
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("3"));
    EXPECT_EQ(textEditor->cursorPosition(), 1);
    QTest::keyClick(textEditor, Qt::Key_Escape);

    // A printable key, or Chinese from the input method, replaces it.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("欢迎"));
    QApplication::sendEvent(grid, &composed);
    EXPECT_EQ(textEditor->text(), QStringLiteral("欢迎"));
    EXPECT_EQ(textEditor->cursorPosition(), 2);
    QTest::keyClick(textEditor, Qt::Key_Escape);

    QTest::keyClicks(grid, QStringLiteral("7"));
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(textEditor->text(), QStringLiteral("7"));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(6, EntrySpeedColumn));
    QTest::keyClicks(textEditor, QStringLiteral("5"));
    clickCell(9, NumberColumn);
    EXPECT_EQ(cell(6, EntrySpeedColumn), QStringLiteral("75"));
}

// --- resizing -------------------------------------------------------------

TEST_F(GridEditorTest, OpenEditorsFollowTheirCellWhenTheWindowIsResized)
{
    clickCell(12, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("8"));
    window->resize(640, 300);
    QTest::qWait(20);
    EXPECT_EQ(textEditor->text(), QStringLiteral("8"));
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(index(12, StayTimeColumn))));
    EXPECT_EQ(textEditor->geometry(), cellRectInWindow(12, StayTimeColumn));

    clickCell(3, EntryEffectColumn);
    window->resize(700, 400);
    QTest::qWait(20);
    grid->setColumnWidth(PictureColumn, 90);
    EXPECT_EQ(comin->geometry().topLeft(), cellRectInWindow(3, EntryEffectColumn).topLeft());
}

TEST_F(GridEditorTest, ScrollingHidesTheEditorWithoutCommittingAndHidesAnOpenList)
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

    grid->verticalScrollBar()->setValue(0);
    clickCell(2, ExitEffectColumn);
    ASSERT_TRUE(comout->isVisible());
    QTest::mouseClick(
        grid->verticalScrollBar(), Qt::LeftButton, {},
        QPoint(grid->verticalScrollBar()->width() / 2, grid->verticalScrollBar()->height() - 5));
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(comout->isVisible());
}

// --- Save and a replaced list -----------------------------------------------

TEST_F(GridEditorTest, SaveTakesTheOpenEditorAndANewListClosesItWithoutWritingIt)
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

// --- the Edit menu ---------------------------------------------------------

using GridMenuTest = GridFixture;

QStringList numberColumn(const ScreenList &screens, int from, int to)
{
    QStringList numbers;
    for (int r = from; r <= to; ++r)
        numbers << screens.text(r, NumberColumn);
    return numbers;
}

TEST_F(GridMenuTest, TheRightButtonShowsTheEditMenuForTheCellUnderTheMouse)
{
    clickCell(2, PictureColumn);
    const QPoint at = cellRect(9, EntrySpeedColumn).center();
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);

    EXPECT_EQ(QApplication::activePopupWidget(), editMenu);
    EXPECT_EQ(editMenu->pos(), grid->viewport()->mapToGlobal(at));
    EXPECT_EQ(editor->currentRow(), 9);
    editMenu->close();
    deleteEntry->trigger();
    EXPECT_EQ(prompter.texts(), QStringList{"第 8 幕\n确信要删除此幕吗?"});
    EXPECT_EQ(numberColumn(screens, 8, 9), (QStringList{"7", "9"}));
    clickCell(3, StayTimeColumn); // the open text editor offers that menu, not its own
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, textEditor->mapToGlobal(QPoint()));
    QApplication::sendEvent(textEditor, &menuKey);
    EXPECT_EQ(QApplication::activePopupWidget(), editMenu);
    QApplication::activePopupWidget()->close();
}

TEST_F(GridMenuTest, InsertBeforeRow3ShowsABlankAnd2AndKeepsTheOtherNumbers)
{
    clickCell(3, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("9"));
    insertEntry->trigger();

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(model->rowCount(), 240);
    EXPECT_EQ(numberColumn(screens, 1, 5), (QStringList{"0", "1", " 2", "2", "3"}));
    EXPECT_EQ(screens.entry(3), (ScreenEntry{QString(), QStringLiteral("向右展开"),
                                             QStringLiteral("0"), QStringLiteral("画面停留"),
                                             QStringLiteral("0"), QStringLiteral("显示图片"),
                                             QStringLiteral("向右展开"), QStringLiteral("0")}));
    // The typed value was neither committed nor moved.
    EXPECT_EQ(cell(4, EntrySpeedColumn), QStringLiteral("1"));
    EXPECT_EQ(editor->currentRow(), 3);
}

TEST_F(GridMenuTest, DeleteAsksAndRemovesTheCurrentRowOnlyOnOk)
{
    prompter =
        common::RecordingPrompter([](const common::Message &) { return MessageAnswer::Cancel; });
    clickCell(4, StayTimeColumn);
    deleteEntry->trigger();
    EXPECT_EQ(screens.rowCount(), 240);

    prompter = common::RecordingPrompter(common::RecordingPrompter::accept);
    clickCell(4, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("33"));
    deleteEntry->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    const common::Message &question = prompter.messages().first();
    EXPECT_EQ(prompter.titledTexts(), QStringList{"删除|第 3 幕\n确信要删除此幕吗?"});
    EXPECT_EQ(question.icon, common::MessageIcon::Question);
    EXPECT_EQ(question.buttons, common::MessageButtons::OkCancel);

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(screens.rowCount(), 239);
    EXPECT_EQ(numberColumn(screens, 2, 5), (QStringList{"1", "2", "4", "5"}));
    EXPECT_EQ(cell(4, StayTimeColumn), QStringLiteral("1"));
}

TEST_F(GridMenuTest, TheLastScreenRowStaysAndEnterThereKeepsTheEditorOpen)
{
    clickCell(1, NumberColumn);
    while (screens.rowCount() > 2)
        deleteEntry->trigger();
    ASSERT_EQ(screens.rowCount(), 2);
    prompter.clear();

    deleteEntry->trigger();
    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(screens.rowCount(), 2);
    EXPECT_EQ(cell(1, NumberColumn), QStringLiteral("238"));

    // There is no row below for Enter to move to.
    clickCell(1, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("7"));
    QTest::keyClick(textEditor, Qt::Key_Return);
    EXPECT_EQ(editor->currentRow(), 1);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(cell(1, StayTimeColumn), QStringLiteral("7"));
}

} // namespace
