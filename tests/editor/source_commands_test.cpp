#include "fake_file_chooser.h"
#include "grid_fixture.h"

#include "pravik/document/board_settings.h"
#include "pravik/editor/source_commands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pravik::document;
using pravik::editor::SourceCommands;

namespace {

struct StartedProcess
{
    QString program;
    QStringList arguments;
};

class SourceCommandsTest : public GridFixture
{
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        programFolder = folder.path();
        commands = std::make_unique<SourceCommands>(
            *editor, settings, programFolder, prompter, chooser,
            [this](const QString &program, const QStringList &arguments, QString *error) {
                started.append(StartedProcess{program, arguments});
                if (!startError.isEmpty())
                    *error = startError;
                return startError.isEmpty();
            });
    }

    void TearDown() override
    {
        commands.reset();
        GridFixture::TearDown();
    }

    void placeSlatepad()
    {
        QFile program(QDir(folder.path()).filePath(QStringLiteral("slatepad")));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    }

    QTemporaryDir folder;
    QString programFolder;
    BoardSettings settings;
    FakeFileChooser chooser;
    QList<StartedProcess> started;
    QString startError;
    std::unique_ptr<SourceCommands> commands;
};

TEST_F(SourceCommandsTest, DoubleClickOnThePictureCellPutsTheChosenPathIntoEditorAndCell)
{
    chooser.answers << QStringLiteral("C:\\pic\\a.txt");
    clickCell(2, PictureColumn);
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());

    ASSERT_EQ(chooser.requests.size(), 1);
    const common::FileDialogRequest &request = chooser.requests.first();
    EXPECT_EQ(request.kind, common::FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.title, QStringLiteral("调入图形文件"));
    EXPECT_EQ(request.filter.split(QStringLiteral(";;")),
              (QStringList{QStringLiteral("位图文件(*.BMP)"), QStringLiteral("文本文件(*.TXT *.RTF)"),
                           QStringLiteral("其他图片文件(*.pcx *.gif)"), QStringLiteral("所有文件(*)")}));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("bmp"));
    EXPECT_EQ(request.folder, folder.path());
    EXPECT_FALSE(request.mustExist);

    EXPECT_EQ(cell(2, PictureColumn), QStringLiteral("C:\\pic\\a.txt"));
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), QStringLiteral("C:\\pic\\a.txt"));
}

TEST_F(SourceCommandsTest, AChosenPictureForRow2IsSavedWhenRow1HasOne)
{
    setCell(1, PictureColumn, QStringLiteral("first.bmp"));
    chooser.answers << QStringLiteral("/pic/a.txt");
    clickCell(2, PictureColumn);
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());
    EXPECT_EQ(screens.screenCount(), 2);
}

TEST_F(SourceCommandsTest, ACancelledDialogChangesNothing)
{
    setCell(2, PictureColumn, QStringLiteral("old.bmp"));
    clickCell(2, PictureColumn);
    QTest::keyClicks(textEditor, QStringLiteral("typed"));
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());

    EXPECT_EQ(chooser.requests.size(), 1);
    EXPECT_EQ(cell(2, PictureColumn), QStringLiteral("old.bmp"));
    EXPECT_EQ(textEditor->text(), QStringLiteral("typed"));
    EXPECT_TRUE(textEditor->isVisible());
}

TEST_F(SourceCommandsTest, DoubleClickOnASpeedCellOpensNoDialog)
{
    chooser.answers << QStringLiteral("/pic/a.bmp");
    clickCell(2, EntrySpeedColumn);
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());

    EXPECT_TRUE(chooser.requests.isEmpty());
    EXPECT_EQ(cell(2, EntrySpeedColumn), QStringLiteral("1"));
}

struct BoardSize
{
    std::int16_t width;
    std::int16_t height;
    const char *first;
    const char *second;
};

class SlatepadStart : public SourceCommandsTest, public ::testing::WithParamInterface<BoardSize>
{
};

TEST_P(SlatepadStart, PassesTheBoardSizeInTheSignPositionForm)
{
    placeSlatepad();
    settings.scrwidth = GetParam().width;
    settings.scrhigh = GetParam().height;
    commands->editRtfFile();

    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.first().program, QDir(folder.path()).filePath(QStringLiteral("slatepad")));
    EXPECT_EQ(started.first().arguments,
              (QStringList{QString::fromLatin1(GetParam().first), QString::fromLatin1(GetParam().second)}));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Boards, SlatepadStart,
                         ::testing::Values(BoardSize{64, 16, " 64", " 16"},
                                           BoardSize{160, 32, " 160", " 32"}));

TEST_F(SourceCommandsTest, AMissingSlatepadIsReportedWithItsPath)
{
    commands->editRtfFile();

    EXPECT_TRUE(started.isEmpty());
    ASSERT_EQ(prompter.messages().size(), 1);
    const common::Message &message = prompter.messages().first();
    EXPECT_EQ(message.text, QStringLiteral("找不到RTF文件编辑器：") +
                                QDir(folder.path()).filePath(QStringLiteral("slatepad")));
    EXPECT_EQ(message.title, QStringLiteral("Pravik"));
    EXPECT_EQ(message.icon, common::MessageIcon::Error);
}

TEST_F(SourceCommandsTest, ASlatepadThatFailsToStartIsReportedWithPathAndReason)
{
    placeSlatepad();
    startError = QStringLiteral("Permission denied");
    commands->editRtfFile();

    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages().first().text,
              QStringLiteral("无法启动RTF文件编辑器：") +
                  QDir(folder.path()).filePath(QStringLiteral("slatepad")) +
                  QStringLiteral("\nPermission denied"));
}

TEST(ProcessStart, ReportsAProgramThatCannotRun)
{
    QString error;
    EXPECT_FALSE(pravik::editor::startDetachedProcess(QStringLiteral("/nonexistent/slatepad"),
                                                      {QStringLiteral(" 64")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(pravik::editor::startDetachedProcess(QStringLiteral("/bin/true"), {}, &error));
}

TEST_F(SourceCommandsTest, PictureEditOnlyShowsItsDialog)
{
    chooser.answers << QStringLiteral("/pic/a.pcx");
    commands->editPicture();

    ASSERT_EQ(chooser.requests.size(), 1);
    const common::FileDialogRequest &request = chooser.requests.first();
    EXPECT_EQ(request.kind, common::FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.title, QStringLiteral("编辑图形文件"));
    EXPECT_EQ(request.filter, QStringLiteral("(*.pcx *.bmp *.tga *.dib)"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("bmp"));
    EXPECT_EQ(request.folder, folder.path());
    EXPECT_TRUE(request.mustExist);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(SourceCommandsTest, NewPictureDoesNothing)
{
    commands->newPicture();
    EXPECT_TRUE(chooser.requests.isEmpty());
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(started.isEmpty());
}

} // namespace
