#include "fake_file_chooser.h"
#include "test_files.h"

#include "pravik/app/app_state.h"
#include "pravik/app/file_commands.h"
#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::app;
using namespace pravik::document;

namespace {

class FakeView : public FileCommandsView
{
public:
    void showScreenList() override { gridShown = true; }
    void screenListChanged() override {}
    void showFileName(const QString &name) override { shownFileName = name; }
    void showBoardSettings() override { ++settingsShown; }
    std::optional<OpenCellEditor> takeOpenCellEditor() override
    {
        return std::exchange(openEditor, std::nullopt);
    }
    void boardGeometryChanged() override { calls << QStringLiteral("layout"); }
    void openLink() override { calls << QStringLiteral("openLink"); }
    void bringToFront() override { calls << QStringLiteral("front"); }

    bool gridShown = false;
    int settingsShown = 0;
    QString shownFileName = QStringLiteral("<none>");
    std::optional<OpenCellEditor> openEditor;
    QStringList calls;
};

class FileCommandsTest : public ::testing::Test
{
protected:
    FileCommandsTest()
    {
        state.programFolder = folder.path();
        state.documentFolder = folder.path();
        initScreenList(state.screens);
    }

    QString path(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }
    QByteArray readFile(const char *name) const { return readFileBytes(path(name)); }

    QTemporaryDir folder;
    AppState state;
    common::RecordingPrompter prompter;
    FakeFileChooser chooser;
    FakeView view;
    FileCommands commands{state, prompter, chooser, view};
};

BoardSettings board64x16()
{
    BoardSettings s;
    s.port = 3;
    s.baud = 19200;
    s.scrtype = 2;
    s.scrwidth = 64;
    s.scrhigh = 16;
    return s;
}

ScreenList listWith(const QStringList &pictures)
{
    ScreenList list;
    initScreenList(list);
    for (int i = 0; i < pictures.size(); ++i)
        list.setText(i + 1, PictureColumn, pictures[i]);
    return list;
}

} // namespace

TEST_F(FileCommandsTest, NewStartsAFreshListSavedInTheProgramFolder)
{
    state.screens = listWith({"a.bmp"});
    state.settings = board64x16();
    commands.newFile();
    EXPECT_EQ(state.currentFileName, QStringLiteral("Noname.lt"));
    EXPECT_EQ(state.screens.screenCount(), 0);
    EXPECT_EQ(state.settings, board64x16());
    EXPECT_TRUE(view.gridShown);
    EXPECT_EQ(view.settingsShown, 1);

    state.screens.setText(1, PictureColumn, QStringLiteral("a.bmp"));
    commands.save();
    EXPECT_TRUE(readFile("Noname.lt").startsWith("[comm]\r\n"));
}

TEST_F(FileCommandsTest, OpenReadsTheFileThenOpensTheLink)
{
    ASSERT_TRUE(
        writeFileBytes(path("board.lt"), displayFileBytes(board64x16(), listWith({"x.bmp"}))));
    chooser.answers = {path("board.lt")};
    commands.openFile();

    ASSERT_EQ(chooser.requests.size(), 1);
    EXPECT_EQ(chooser.requests[0].kind, common::FileDialogRequest::Kind::Open);
    EXPECT_EQ(chooser.requests[0].folder, folder.path());

    EXPECT_EQ(state.settings, board64x16());
    EXPECT_EQ(state.screens.text(1, PictureColumn), QStringLiteral("x.bmp"));
    EXPECT_EQ(view.calls, (QStringList{"layout", "openLink"}));
    EXPECT_EQ(state.currentFileName, path("board.lt"));
    EXPECT_EQ(view.shownFileName, state.currentFileName);
    EXPECT_TRUE(view.gridShown);
}

TEST_F(FileCommandsTest, OpenOfABrokenFileStillOpensTheLinkAndNamesTheFile)
{
    QByteArray bytes = displayFileBytes(board64x16(), listWith({"x.bmp", "y.bmp"}));
    bytes.chop(10);
    ASSERT_TRUE(writeFileBytes(path("cut.lt"), bytes));
    chooser.answers = {path("cut.lt")};
    commands.openFile();
    EXPECT_EQ(prompter.texts(), QStringList{"显示文件错误"});
    EXPECT_EQ(view.calls, (QStringList{"layout", "front", "openLink"}));
    EXPECT_EQ(view.shownFileName, path("cut.lt"));
}

TEST_F(FileCommandsTest, OpenOfAMissingFileOrACancelStartsANewOneUnlessOneIsNamed)
{
    state.screens = listWith({"a.bmp"});
    chooser.answers = {path("new.lt")};
    commands.openFile();
    EXPECT_EQ(state.currentFileName, QStringLiteral("Noname.lt"));
    EXPECT_EQ(state.screens.screenCount(), 0);
    EXPECT_TRUE(view.calls.isEmpty());
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(view.shownFileName, QStringLiteral("Noname.lt"));

    state.currentFileName.clear();
    commands.openFile();
    EXPECT_EQ(view.shownFileName, QStringLiteral("Noname.lt"));

    state.currentFileName = path("kept.lt");
    state.screens = listWith({"a.bmp"});
    commands.openFile();
    EXPECT_EQ(state.currentFileName, path("kept.lt"));
    EXPECT_EQ(state.screens.screenCount(), 1);
}

TEST_F(FileCommandsTest, SaveAsksThenCommitsAnOpenEditorWithItsOwnRule)
{
    state.screens = listWith({"a.bmp", "b.bmp"});
    state.currentFileName = path("board.lt");
    prompter = common::RecordingPrompter(
        [](const common::Message &) { return common::MessageAnswer::Cancel; });
    commands.save();
    EXPECT_EQ(prompter.titledTexts(), QStringList{"|保存当前的显示文件" + path("board.lt")});
    EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::OkCancel);
    EXPECT_FALSE(QFile::exists(path("board.lt")));

    prompter = common::RecordingPrompter();
    view.openEditor = OpenCellEditor{2, EntrySpeedColumn, QStringLiteral("12")};
    commands.save();
    EXPECT_EQ(state.screens.text(2, EntrySpeedColumn), QStringLiteral("0"));
    EXPECT_EQ(readFile("board.lt"), displayFileBytes(BoardSettings{}, state.screens));
    EXPECT_TRUE(chooser.requests.isEmpty());

    view.openEditor = OpenCellEditor{1, StayTimeColumn, QStringLiteral("10")};
    commands.save();
    EXPECT_EQ(state.screens.text(1, StayTimeColumn), QStringLiteral("10"));

    view.openEditor = OpenCellEditor{2, PictureColumn, QStringLiteral(" C:\\b 2.bmp")};
    commands.save();
    EXPECT_EQ(state.screens.text(2, PictureColumn), QStringLiteral(" C:\\b 2.bmp"));
    EXPECT_TRUE(readFile("board.lt").contains("\" C:\\b 2.bmp\""));
}

TEST_F(FileCommandsTest, SaveWithoutANameAsksForOneAndACancelChangesNothing)
{
    state.currentFileName = QStringLiteral("Noname.lt");
    commands.saveAs();
    EXPECT_EQ(state.currentFileName, QStringLiteral("Noname.lt"));
    EXPECT_FALSE(QFile::exists(path("Noname.lt")));

    state.currentFileName.clear();
    chooser.answers = {path("chosen.lt")};
    commands.save();
    ASSERT_EQ(chooser.requests.size(), 2);
    EXPECT_EQ(chooser.requests[1].kind, common::FileDialogRequest::Kind::Save);
    EXPECT_EQ(chooser.requests[1].title, QStringLiteral("另存显示文件"));
    EXPECT_EQ(state.currentFileName, path("chosen.lt"));
    EXPECT_TRUE(readFile("chosen.lt").startsWith("[comm]\r\n"));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

// Where the dialogs start, where New's file is saved and what the status bar
// names: the operator's own folder at first, made when first needed, then the
// folder of the display file last opened or saved as.
TEST_F(FileCommandsTest, DocumentsLiveInTheUsersFolderThenBesideTheDisplayFile)
{
    state.documentFolder = path("home/Documents/Pravik");
    ASSERT_TRUE(QDir().mkpath(path("shop")) && QDir().mkpath(path("bank")));
    ASSERT_TRUE(
        writeFileBytes(path("shop/board.lt"), displayFileBytes(board64x16(), listWith({"x.bmp"}))));
    enum class Step { NewThenSave, Open, SaveAs };
    struct Case
    {
        Step step;
        const char *chosen;       // the dialog's answer
        const char *dialogFolder; // where the dialog started
        const char *saved;        // the file Save wrote
        const char *shown;        // the status bar
    };
    const Case cases[] = {
        {Step::NewThenSave, "", nullptr, "home/Documents/Pravik/Noname.lt", "Noname.lt"},
        {Step::Open, "shop/board.lt", "home/Documents/Pravik", nullptr, "shop/board.lt"},
        {Step::SaveAs, "bank/copy.lt", "shop", "bank/copy.lt", "bank/copy.lt"},
        {Step::NewThenSave, "", nullptr, "bank/Noname.lt", "Noname.lt"},
        {Step::Open, "", "bank", nullptr, "Noname.lt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown);
        chooser.requests.clear();
        chooser.answers = {QString::fromLatin1(c.chosen).isEmpty() ? QString() : path(c.chosen)};
        view.shownFileName.clear();
        switch (c.step) {
        case Step::NewThenSave:
            commands.newFile();
            EXPECT_EQ(view.shownFileName, QString::fromUtf8(c.shown));
            state.screens.setText(1, PictureColumn, QStringLiteral("a.bmp"));
            commands.save();
            break;
        case Step::Open:
            commands.openFile();
            break;
        case Step::SaveAs:
            commands.saveAs();
            break;
        }
        if (c.dialogFolder) {
            ASSERT_EQ(chooser.requests.size(), 1);
            EXPECT_EQ(chooser.requests[0].folder, path(c.dialogFolder));
        }
        if (c.saved) {
            EXPECT_TRUE(readFileBytes(path(c.saved)).startsWith("[comm]\r\n"));
        }
        const QString shown = QString::fromLatin1(c.shown);
        EXPECT_EQ(view.shownFileName, shown.contains(u'/') ? path(c.shown) : shown);
    }
}
