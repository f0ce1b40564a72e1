#include "fake_file_chooser.h"
#include "ledboard_sim_process.h"

#include "pravik/app/app_state.h"
#include "pravik/app/main_window.h"
#include "pravik/document/display_file.h"
#include "pravik/document/program_texts.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::app;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    std::unique_ptr<MainWindow> start(int desktopWidth)
    {
        MainWindowEnvironment environment;
        environment.desktopWidthPixels = desktopWidth;
        environment.localIpAddress = QStringLiteral("192.168.1.20");
        environment.programFolder = folder.path();
        environment.prompter = &prompter;
        environment.fileChooser = &chooser;
        auto window = std::make_unique<MainWindow>(state, environment);
        window->show();
        return window;
    }

    QAction *action(MainWindow &window, const char *name)
    {
        auto *found = window.findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir folder;
    AppState state;
    common::RecordingPrompter prompter;
    FakeFileChooser chooser;
};

} // namespace

TEST_F(MainWindowTest, StartsWithTheBoardDefaultsAndNoFile)
{
    auto window = start(1280);
    EXPECT_EQ(window->objectName(), QStringLiteral("scredit"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Sunvane"));
    EXPECT_EQ(state.stripWidth, 1256);
    EXPECT_FALSE(window->windowState().testFlag(Qt::WindowMaximized));

    const auto &s = state.settings;
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.baud, 0);
    EXPECT_EQ(s.busAddress(), 1);
    EXPECT_EQ(s.address[1], 1);
    EXPECT_EQ(s.feedback, 1);
    EXPECT_EQ(s.scrtype, 0);
    EXPECT_EQ(s.scrwidth, 160);
    EXPECT_EQ(s.scrhigh, 32);
    EXPECT_TRUE(s.ipAddress.isEmpty());
    EXPECT_EQ(s.ipOctets, (std::array<std::int16_t, 4>{192, 168, 1, 20}));
    EXPECT_EQ(s.ipPort, 1973);

    EXPECT_TRUE(state.currentFileName.isEmpty());
    EXPECT_EQ(state.programFolder, folder.path());
    EXPECT_FALSE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isVisible());
    EXPECT_FALSE(window->findChild<QLineEdit *>(QStringLiteral("txtedit"))->isVisible());
    EXPECT_TRUE(window->findChild<QLabel *>(QStringLiteral("panel1"))->text().contains(u"Pravik"));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(MainWindowTest, SmallDesktopMaximisesTheWindow)
{
    auto window = start(640);
    EXPECT_EQ(state.stripWidth, 616);
    EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(MainWindowTest, DropDownListsOfferTheVocabulary)
{
    auto window = start(1024);
    const auto list = [&](const char *name) {
        return window->findChild<QComboBox *>(QString::fromLatin1(name));
    };
    EXPECT_EQ(list("Comin")->count(), 16);
    EXPECT_EQ(list("Comout")->itemText(15), QStringLiteral("备用1"));
    EXPECT_EQ(list("Comdisp")->count(), 11);
    EXPECT_EQ(list("Comdisp")->itemText(4), QStringLiteral("随机"));
    EXPECT_EQ(list("Comexp")->count(), 4);
    for (const char *name : {"Comin", "Comout", "Comdisp", "Comexp"})
        EXPECT_FALSE(list(name)->isVisible()) << name;
}

// The captions are the operator's words for the commands, byte for byte.
TEST_F(MainWindowTest, MenusAndToolbarCarryTheirCaptions)
{
    auto window = start(1024);
    const std::pair<const char *, const char16_t *> captions[] = {
        {"mnufilopen", u"打开/Open"},
        {"mnufilNew", u"新建/New"},
        {"mnufilsave", u"保存/Save"},
        {"mnufilsaveas", u"另存/Save As"},
        {"m_load_com", u"打开比较文件(&C)"},
        {"mnuFilExit", u"退出/Exit"},
        {"mnufiledit", u"编辑RTF文件(&E)"},
        {"mnueditsetting", u"屏幕设置/LED Board Setting"},
        {"mnueditins", u"插入/Insert Pic"},
        {"mnueditdel", u"删除/Delete Pic"},
        {"mnupicnew", u"新建(&N)"},
        {"mnupicEdt", u"编辑(&E)"},
        {"mnurunStr", u"发送全部/Send All"},
        {"mnusendp", u"改变属性/Change Property"},
        {"mnusendsp", u"发送指定图片/Send specify Pic"},
        {"mnusendclk", u"设置时钟/Setting Clock"},
        {"MNUSIMRUN", u"模拟显示"},
        {"mnuhlpabout", u"About"},
        {"mnuhelpHelp", u"帮助"},
        {"Command3d7", u"新建/New"},
        {"Command3d2", u"打开/Open"},
        {"Command3d5", u"保存/Save"},
        {"Command3d1", u"屏幕设置/Board Setting"},
        {"Command3d3", u"发送全部/Send All"},
        {"Com_timer", u"设置时钟/Seeting Clock"},
        {"Command3d8", u"模拟显示"},
        {"Command3d6", u""},
        {"Cmdhelp", u""},
        {"Command3d4", u"退出/Exit"},
    };
    for (const auto &[name, caption] : captions) {
        QAction *a = action(*window, name);
        if (a) {
            EXPECT_EQ(a->text(), QString::fromUtf16(caption)) << name;
        }
    }
}

TEST_F(MainWindowTest, NewShowsAFreshScreenList)
{
    auto window = start(1024);
    state.screens.setText(1, pravik::document::PictureColumn, QStringLiteral("old.bmp"));
    action(*window, "Command3d7")->trigger();

    EXPECT_EQ(state.currentFileName, QStringLiteral("Noname.lt"));
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    EXPECT_TRUE(grid->isVisible());
    ASSERT_EQ(grid->model()->rowCount(), 239);
    EXPECT_EQ(grid->model()->columnCount(), 9);
    EXPECT_EQ(grid->model()->index(238, 0).data().toString(), QStringLiteral("238"));
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QString());
    EXPECT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("画面停留"));
    EXPECT_TRUE(grid->isColumnHidden(6));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(MainWindowTest, AboutShowsTheSystemInformation)
{
    auto window = start(1024);
    action(*window, "mnuhlpabout")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    const common::Message &box = prompter.messages()[0];
    EXPECT_EQ(box.title, QStringLiteral("系统信息"));
    EXPECT_EQ(box.icon, common::MessageIcon::Information);
    EXPECT_EQ(box.buttons, common::MessageButtons::Ok);
    const QStringList lines = box.text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], QStringLiteral("当前屏幕宽:  160"));
    EXPECT_EQ(lines[1], QStringLiteral("当前屏幕高:  32"));
    EXPECT_EQ(lines[2], QStringLiteral("当前屏幕类型: 0, 128    "));
    EXPECT_EQ(lines[3], QStringLiteral("4Mb 估计可存储数量:512           "));
    EXPECT_EQ(lines[4], QStringLiteral("当前握手信号:1"));
    EXPECT_EQ(lines[5], QStringLiteral("Version  5. 1. 5"));
    EXPECT_EQ(lines[6], QStringLiteral("ID V5.14 (0409101757)"));
    EXPECT_EQ(lines[7], QStringLiteral("-------------------------------       "));
    EXPECT_EQ(lines[8], pravik::kContactText);
}

TEST_F(MainWindowTest, EntriesWithoutACommandDoNothing)
{
    auto window = start(1024);
    const pravik::app::AppState before = state;
    for (const char *name : {"Command3d8", "Command3d6", "Cmdhelp", "mnupicnew", "MNUSIMRUN",
                             "mnuhelpHelp"}) {
        QAction *a = action(*window, name);
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(chooser.requests.isEmpty());
    EXPECT_EQ(state.screens, before.screens);
    EXPECT_EQ(state.currentFileName, before.currentFileName);
}

TEST_F(MainWindowTest, ClockWithoutAnOpenPortReportsTheFailure)
{
    auto window = start(1024);
    action(*window, "Com_timer")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("系统错误"));
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Question);
}

TEST_F(MainWindowTest, OpenSetsUpTheLinkForTheClock)
{
    LedboardSim sim({QStringLiteral("--pty")});
    ASSERT_TRUE(sim.endpoint().startsWith(u"/dev/"));
    qputenv("COM7", sim.endpoint().toLocal8Bit());

    pravik::document::BoardSettings board;
    board.port = 7;
    board.baud = 9600;
    pravik::document::ScreenList screens;
    pravik::document::initScreenList(screens);
    const QString path = folder.filePath(QStringLiteral("com7.lt"));
    common::RecordingPrompter quiet;
    ASSERT_TRUE(pravik::document::saveDisplayFile(path, board, screens, quiet));

    auto window = start(1024);
    chooser.answers = {path};
    action(*window, "mnufilopen")->trigger();
    EXPECT_EQ(state.settings.port, 7);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("panel2"))->text(), path);

    action(*window, "mnusendclk")->trigger();
    qunsetenv("COM7");
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("发送成功"));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Success"));
    sim.stop();
    ASSERT_EQ(sim.frames().size(), 1);
    EXPECT_EQ(sim.frames()[0]["command"].toInt(), 3);
}

TEST_F(MainWindowTest, BoardSettingsDialogOpensOnceAndComesForward)
{
    auto window = start(1024);
    action(*window, "Command3d1")->trigger();
    QApplication::processEvents();
    const auto dialogs = [&] { return window->findChildren<QDialog *>(QStringLiteral("size")); };
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_TRUE(dialogs()[0]->isVisible());
    EXPECT_EQ(dialogs()[0]->windowTitle(), QStringLiteral("显示屏设置"));
    action(*window, "mnueditsetting")->trigger();
    action(*window, "mnufilNew")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(dialogs().size(), 1);
}

TEST_F(MainWindowTest, EditMenuInsertsAndDeletesScreens)
{
    auto window = start(1024);
    action(*window, "mnufilNew")->trigger();
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    grid->setCurrentIndex(grid->model()->index(2, 1)); // row 3
    action(*window, "mnueditins")->trigger();
    EXPECT_EQ(state.screens.rowCount(), 241);
    EXPECT_EQ(state.screens.text(3, pravik::document::NumberColumn), QStringLiteral(" 2"));
    action(*window, "mnueditdel")->trigger(); // the recording prompter answers OK
    EXPECT_EQ(state.screens.rowCount(), 240);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("确信要删除此幕吗?"));
}
