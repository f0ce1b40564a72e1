#include "grid_fixture.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/display_file.h"

#include "common/text_codec.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using namespace pravik::document;
using common::MessageAnswer;

namespace {

using GridMenuTest = GridFixture;

QStringList numberColumn(const ScreenList &screens, int from, int to)
{
    QStringList numbers;
    for (int r = from; r <= to; ++r)
        numbers << screens.text(r, NumberColumn);
    return numbers;
}

TEST_F(GridMenuTest, TheRightButtonShowsTheEditMenuAtTheMouseWithoutMovingTheCell)
{
    clickCell(2, PictureColumn);
    const QPoint at = cellRect(9, EntrySpeedColumn).center();
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);

    EXPECT_EQ(QApplication::activePopupWidget(), editMenu);
    EXPECT_EQ(editMenu->pos(), grid->viewport()->mapToGlobal(at));
    EXPECT_EQ(editor->currentRow(), 2);
    editMenu->close();
}

TEST_F(GridMenuTest, InsertBeforeRow3ShowsABlankAnd2AndKeepsTheOtherNumbers)
{
    clickCell(3, EntrySpeedColumn);
    QTest::keyClicks(textEditor, QStringLiteral("9"));
    action("mnueditins")->trigger();

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(screens.rowCount(), 241);
    EXPECT_EQ(model->rowCount(), 240);
    EXPECT_EQ(numberColumn(screens, 1, 5),
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral(" 2"),
                           QStringLiteral("2"), QStringLiteral("3")}));
    const ScreenEntry inserted = screens.entry(3);
    EXPECT_EQ(inserted, (ScreenEntry{QString(), QStringLiteral("向右展开"), QStringLiteral("0"),
                                     QStringLiteral("画面停留"), QStringLiteral("0"),
                                     QStringLiteral("显示图片"), QStringLiteral("向右展开"),
                                     QStringLiteral("0")}));
    // The typed value was neither committed nor moved.
    EXPECT_EQ(cell(4, EntrySpeedColumn), QStringLiteral("1"));
    EXPECT_EQ(editor->currentRow(), 3);
    EXPECT_EQ(grid->model()->data(index(3, NumberColumn), Qt::DisplayRole).toString(),
              QStringLiteral(" 2"));
}

TEST_F(GridMenuTest, DeleteAsksAndRemovesTheCurrentRowOnOk)
{
    clickCell(4, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("33"));
    action("mnueditdel")->trigger();

    ASSERT_EQ(prompter.messages().size(), 1);
    const common::Message &question = prompter.messages().first();
    EXPECT_EQ(question.text, QStringLiteral("确信要删除此幕吗?"));
    EXPECT_EQ(question.title, QStringLiteral("删除"));
    EXPECT_EQ(question.icon, common::MessageIcon::Question);
    EXPECT_EQ(question.buttons, common::MessageButtons::OkCancel);

    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(screens.rowCount(), 239);
    EXPECT_EQ(numberColumn(screens, 2, 5),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"),
                           QStringLiteral("5")}));
    EXPECT_EQ(cell(4, StayTimeColumn), QStringLiteral("1"));
}

TEST_F(GridMenuTest, CancelKeepsEveryRow)
{
    prompter = common::RecordingPrompter([](const common::Message &) { return MessageAnswer::Cancel; });
    clickCell(4, NumberColumn);
    action("mnueditdel")->trigger();

    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(screens.rowCount(), 240);
    EXPECT_EQ(cell(4, NumberColumn), QStringLiteral("3"));
}

TEST_F(GridMenuTest, DeleteWithOneScreenRowLeftDoesNothing)
{
    clickCell(1, NumberColumn);
    while (screens.rowCount() > 2)
        action("mnueditdel")->trigger();
    ASSERT_EQ(screens.rowCount(), 2);
    const QString last = cell(1, NumberColumn);
    prompter.clear();

    action("mnueditdel")->trigger();
    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(screens.rowCount(), 2);
    EXPECT_EQ(cell(1, NumberColumn), last);
    EXPECT_EQ(last, QStringLiteral("238"));
}

TEST_F(GridMenuTest, EnterOnTheLastRowLeftAfterDeletionsKeepsTheEditorOpen)
{
    clickCell(1, NumberColumn);
    while (screens.rowCount() > 3)
        action("mnueditdel")->trigger();
    clickCell(2, StayTimeColumn);
    QTest::keyClicks(textEditor, QStringLiteral("7"));
    QTest::keyClick(textEditor, Qt::Key_Return);

    EXPECT_EQ(editor->currentRow(), 2);
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(cell(2, StayTimeColumn), QStringLiteral("7"));
}

} // namespace
