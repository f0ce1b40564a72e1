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
    QStringList captions;
    for (QAction *entry : editMenu->actions())
        captions << entry->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("编辑RTF文件(&E)"),
                                     QStringLiteral("屏幕设置/LED Board Setting"),
                                     QStringLiteral("插入/Insert Pic"),
                                     QStringLiteral("删除/Delete Pic")}));
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

TEST_F(GridMenuTest, TheFileStopsBeforeAnInsertedRowUntilItHasAPicture)
{
    for (int r = 1; r <= 4; ++r)
        setCell(r, PictureColumn, QStringLiteral("p%1.bmp").arg(r));
    clickCell(3, NumberColumn);
    action("mnueditins")->trigger();

    EXPECT_EQ(screens.screenCount(), 2);
    const QString file = common::decodeGbk(displayFileBytes(BoardSettings{}, screens));
    EXPECT_TRUE(file.contains(QStringLiteral("p2.bmp")));
    EXPECT_FALSE(file.contains(QStringLiteral("p3.bmp")));

    clickCell(3, PictureColumn);
    QTest::keyClicks(textEditor, QStringLiteral("new.bmp"));
    clickCell(1, NumberColumn);
    EXPECT_EQ(screens.screenCount(), 5);
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

TEST_F(GridMenuTest, ANewListAfterDeletionsHas239ScreenRowsAgain)
{
    clickCell(5, NumberColumn);
    for (int i = 0; i < 10; ++i)
        action("mnueditdel")->trigger();
    ASSERT_EQ(screens.rowCount(), 230);

    initScreenList(screens);
    model->reload();
    EXPECT_EQ(model->rowCount(), 239);
    EXPECT_EQ(cell(239, NumberColumn), QStringLiteral("238"));
}

TEST_F(GridMenuTest, RowsInsertedBeyond239AreNeitherSavedNorBreakALoad)
{
    for (int r = 1; r <= 239; ++r)
        setCell(r, PictureColumn, QStringLiteral("p%1.bmp").arg(r));
    clickCell(239, NumberColumn);
    action("mnueditins")->trigger();
    action("mnueditins")->trigger();
    setCell(239, PictureColumn, QStringLiteral("extra.bmp"));
    setCell(240, PictureColumn, QStringLiteral("extra.bmp"));
    ASSERT_EQ(screens.rowCount(), 242);

    const QByteArray bytes = displayFileBytes(BoardSettings{}, screens);
    EXPECT_EQ(common::decodeGbk(bytes).count(QStringLiteral(".bmp")), 239);

    BoardSettings settings;
    ScreenList loaded;
    common::RecordingPrompter quiet;
    EXPECT_EQ(loadDisplayFileBytes(bytes, settings, loaded, quiet), LoadResult::Loaded);
    EXPECT_TRUE(quiet.messages().isEmpty());
    EXPECT_EQ(loaded.rowCount(), 240);
    EXPECT_EQ(loaded.screenCount(), 239);
}

} // namespace
