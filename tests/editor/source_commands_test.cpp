#include "fake_file_chooser.h"
#include "grid_fixture.h"
#include "test_files.h"

#include "pravik/document/board_settings.h"
#include "pravik/editor/source_commands.h"

#include <QDir>
#include <QTemporaryDir>

using namespace pravik::document;

namespace {

class SourceCommandsTest : public GridFixture
{
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        programFolder = folder.path();
        documentFolder = folder.filePath(QStringLiteral("documents"));
        commands = std::make_unique<pravik::editor::SourceCommands>(
            *editor, settings, programFolder, documentFolder, prompter, chooser,
            [this](const QString &program, const QStringList &arguments) -> common::Status {
                started.append(QStringList{program} + arguments);
                if (startError.isEmpty())
                    return {};
                return common::Failure{common::kFailedCode, {}, startError, {}};
            });
    }

    QTemporaryDir folder;
    QString programFolder;
    QString documentFolder;
    const QString slatepad = QDir(folder.path()).filePath(QStringLiteral("slatepad"));
    BoardSettings settings;
    FakeFileChooser chooser;
    QList<QStringList> started; // each program with its arguments
    QString startError;
    std::unique_ptr<pravik::editor::SourceCommands> commands;
};

TEST_F(SourceCommandsTest, DoubleClickOnThePictureCellPutsTheChosenPathIntoEditorAndCell)
{
    // Cancelled, the dialog changes nothing.
    setCell(1, PictureColumn, QStringLiteral("first.bmp"));
    setCell(2, PictureColumn, QStringLiteral("old.bmp"));
    clickCell(2, PictureColumn);
    QTest::keyClicks(textEditor, QStringLiteral("typed"));
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());
    EXPECT_EQ(cell(2, PictureColumn), QStringLiteral("old.bmp"));
    EXPECT_EQ(textEditor->text(), QStringLiteral("typed"));
    EXPECT_TRUE(textEditor->isVisible());

    chooser.answers << QStringLiteral("C:\\pic\\a.txt");
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());
    ASSERT_EQ(chooser.requests.size(), 2);
    EXPECT_EQ(chooser.requests[1].kind, common::FileDialogRequest::Kind::Open);
    EXPECT_EQ(chooser.requests[1].folder, documentFolder);
    EXPECT_FALSE(chooser.requests[1].mustExist); // a name typed in may be new
    EXPECT_EQ(cell(2, PictureColumn), QStringLiteral("C:\\pic\\a.txt"));
    EXPECT_EQ(textEditor->text(), QStringLiteral("C:\\pic\\a.txt"));

    // Other columns open no dialog.
    clickCell(3, EntrySpeedColumn);
    QTest::mouseDClick(textEditor, Qt::LeftButton, {}, textEditor->rect().center());
    EXPECT_EQ(chooser.requests.size(), 2);
    EXPECT_EQ(cell(3, EntrySpeedColumn), QStringLiteral("1"));
}

TEST_F(SourceCommandsTest, SlatepadIsStartedWithTheBoardSizeInTheSignPositionForm)
{
    ASSERT_TRUE(writeFileBytes(slatepad, {}));
    settings.scrwidth = 64;
    settings.scrhigh = 16;
    commands->editRtfFile();
    settings.scrwidth = 160;
    settings.scrhigh = 32;
    commands->editRtfFile();
    EXPECT_EQ(started, (QList<QStringList>{{slatepad, " 64", " 16"}, {slatepad, " 160", " 32"}}));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(SourceCommandsTest, ASlatepadMissingOrFailingToStartIsReportedWithItsPath)
{
    commands->editRtfFile();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|找不到RTF文件编辑器：" + slatepad});
    EXPECT_EQ(prompter.messages().value(0).icon, common::MessageIcon::Error);

    prompter.clear();
    ASSERT_TRUE(writeFileBytes(slatepad, {}));
    startError = QStringLiteral("Permission denied");
    commands->editRtfFile();
    EXPECT_EQ(prompter.texts(),
              QStringList{"无法启动RTF文件编辑器：" + slatepad + "\nPermission denied"});
}

} // namespace

TEST(ProcessStart, ReportsAProgramThatCannotRun)
{
    const common::Status failed = pravik::editor::startDetachedProcess(
        QStringLiteral("/nonexistent/slatepad"), {QStringLiteral(" 64")});
    ASSERT_TRUE(failed.has_value());
    EXPECT_FALSE(failed->text.isEmpty());
    EXPECT_EQ(pravik::editor::startDetachedProcess(QStringLiteral("/bin/true"), {}), std::nullopt);
}
