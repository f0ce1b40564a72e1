#include "fake_file_chooser.h"

#include "pravik/app/app_state.h"
#include "pravik/app/main_window.h"
#include "pravik/app/splash_window.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/editor/screen_list_model.h"
#include "pravik/show_window/show_window.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
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
        environment.documentFolder = folder.path();
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

TEST_F(MainWindowTest, StartsWithoutAFileOnTheComputersAddressSizedForTheDesktop)
{
    auto window = start(1280);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Sunvane"));
    EXPECT_EQ(state.stripWidth, 1256);
    EXPECT_FALSE(window->windowState().testFlag(Qt::WindowMaximized));
    // The board's address starts as the computer's own.
    EXPECT_EQ(state.settings.ipOctets, (std::array<std::int16_t, 4>{192, 168, 1, 20}));
    EXPECT_TRUE(state.currentFileName.isEmpty());
    EXPECT_EQ(state.programFolder, folder.path());
    EXPECT_FALSE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isVisible());
    EXPECT_TRUE(window->findChild<QLabel *>(QStringLiteral("panel1"))->text().contains(u"Pravik"));
    EXPECT_TRUE(prompter.messages().isEmpty());

    // Clearing the compare file waits until one is chosen.
    EXPECT_FALSE(action(*window, "m_clear_com")->isEnabled());

    // A small desktop maximises the window.
    auto small = start(640);
    EXPECT_EQ(state.stripWidth, 616);
    EXPECT_TRUE(small->windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(MainWindowTest, AboutShowsTheSystemInformation)
{
    auto window = start(1024);
    action(*window, "mnuhlpabout")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Information);
    EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::Ok);
    const QStringList lines = {"当前屏幕宽:  160",         "当前屏幕高:  32",
                               "当前屏幕类型: 0, 128    ", "4Mb 估计可存储数量:512           ",
                               "当前握手信号:1",           "Version  5. 1. 5",
                               "ID V5.14 (0409101757)",    "-------------------------------       ",
                               pravik::kContactText};
    EXPECT_EQ(prompter.titledTexts(), QStringList{"系统信息|" + lines.join("\r\n")});
}

TEST_F(MainWindowTest, ClockWithoutAnOpenPortReportsTheFailure)
{
    auto window = start(1024);
    action(*window, "Com_timer")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("系统错误"));
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Question);
}

// Both Board Setting commands and New show the one settings dialog.
TEST_F(MainWindowTest, NewShowsTheSettingsDialogAndAFreshScreenListThatTheEditMenuChanges)
{
    auto window = start(1024);
    action(*window, "Command3d1")->trigger();
    action(*window, "mnueditsetting")->trigger();
    state.screens.setText(1, pravik::document::PictureColumn, QStringLiteral("old.bmp"));
    action(*window, "Command3d7")->trigger();
    QApplication::processEvents();
    const auto dialogs = window->findChildren<QDialog *>(QStringLiteral("size"));
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_TRUE(dialogs[0]->isVisible());
    EXPECT_EQ(state.currentFileName, QStringLiteral("Noname.lt"));
    EXPECT_EQ(state.screens.screenCount(), 0);
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    EXPECT_TRUE(grid->isVisible());
    ASSERT_EQ(grid->model()->rowCount(), 239);
    EXPECT_EQ(grid->model()->index(238, 0).data().toString(), QStringLiteral("238"));
    EXPECT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("画面停留"));
    EXPECT_TRUE(grid->isColumnHidden(6));

    grid->setCurrentIndex(grid->model()->index(2, 1)); // row 3
    action(*window, "mnueditins")->trigger();
    EXPECT_EQ(state.screens.rowCount(), 241);
    EXPECT_EQ(state.screens.text(3, pravik::document::NumberColumn), QStringLiteral(" 2"));
    action(*window, "mnueditdel")->trigger(); // the recording prompter answers OK
    EXPECT_EQ(state.screens.rowCount(), 240);
    EXPECT_EQ(prompter.texts(), QStringList{"第 2 幕\n确信要删除此幕吗?"});
}

// "模拟显示" from the menu and the toolbar: one window, playing the grid from
// its current row, edits included.
TEST_F(MainWindowTest, ShowFromTheMenuAndTheToolbarPlaysTheGridFromTheCurrentRow)
{
    using pravik::show_window::ShowWindow;
    auto window = start(1024);
    action(*window, "Command3d7")->trigger();
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    auto *model = qobject_cast<pravik::editor::ScreenListModel *>(grid->model());
    for (const int row : {1, 2})
        model->setCellText(row, pravik::document::PictureColumn, QStringLiteral("a.bmp"));

    grid->setCurrentIndex(model->index(1, 1));
    action(*window, "MNUSIMRUN")->trigger();
    const auto shows = window->findChildren<ShowWindow *>();
    ASSERT_EQ(shows.size(), 1);
    EXPECT_TRUE(shows[0]->isVisible());
    EXPECT_TRUE(shows[0]->playing());
    EXPECT_EQ(shows[0]->player().moment().screen, 1);
    EXPECT_EQ(shows[0]->player().screenCount(), 2);

    grid->setCurrentIndex(model->index(0, 1));
    action(*window, "Command3d8")->trigger();
    EXPECT_EQ(window->findChildren<ShowWindow *>(), shows);
    EXPECT_EQ(shows[0]->player().moment().screen, 0);

    model->setCellText(3, pravik::document::PictureColumn, QStringLiteral("b.bmp"));
    EXPECT_TRUE(shows[0]->player().inputStale());
}

// Letters: runs of lit (red) columns between gaps a dot wide, an unlit LED column.
TEST(SplashWindow, CentredOnTheDesktopWithTheLettersOfTheNameApart)
{
    SplashWindow splash(pravik::kBuildId);
    splash.show();
    const QPoint offCentre = splash.frameGeometry().center() -
                             QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    const QImage image = splash.grab().toImage();
    QString columns(image.width(), u'.');
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qRed(image.pixel(x, y)) > 127 && qGreen(image.pixel(x, y)) < 100)
                columns[x] = u'#';
    const QStringList runs = columns.split(u'.', Qt::SkipEmptyParts);
    const qsizetype dot =
        std::ranges::min(runs, {}, [](const QString &r) { return r.size(); }).size();
    const QRegularExpression letterGap(QStringLiteral("\\.{%1,}").arg(dot));
    EXPECT_EQ(columns.split(letterGap, Qt::SkipEmptyParts).size(), 6); // P r a v i k
}
