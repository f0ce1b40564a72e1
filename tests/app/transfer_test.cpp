// The transmission jobs driven through the main window's menus, against the
// board simulator, with the message boxes recorded. How a transfer ends on
// each fault of the board or the line is in the fault cases.
#include "fake_file_chooser.h"
#include "ledboard_sim_process.h"

#include "pravik/app/app_state.h"
#include "pravik/app/main_window.h"
#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik;

namespace {

class TransferTest : public ::testing::Test
{
protected:
    // A display file of `screens` pictures for a 64 x 16 single-colour board
    // on the serial port COM9, which the simulator's pseudo-terminal stands for.
    void openDisplayFile(const LedboardSim &sim, int screens)
    {
        qputenv("COM9", sim.endpoint().toLocal8Bit());
        document::BoardSettings board;
        board.port = 9;
        board.baud = 115200;
        board.scrtype = 1;
        board.scrwidth = 64;
        board.scrhigh = 16;
        document::ScreenList list;
        document::initScreenList(list);
        QImage picture(64, 16, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        for (int r = 1; r <= screens; ++r) {
            const QString name = QStringLiteral("s%1.bmp").arg(r);
            picture.save(folder.filePath(name));
            list.setText(r, document::PictureColumn, name);
        }
        const QString path = folder.filePath(QStringLiteral("show.lt"));
        common::RecordingPrompter quiet;
        ASSERT_TRUE(document::saveDisplayFile(path, board, list, quiet));

        app::MainWindowEnvironment environment;
        environment.desktopWidthPixels = 1024;
        environment.desktopHeightPixels = 768;
        environment.localIpAddress = QStringLiteral("10.0.0.1");
        environment.programFolder = folder.path();
        environment.prompter = &prompter;
        environment.fileChooser = &chooser;
        window = std::make_unique<app::MainWindow>(state, environment);
        window->show();
        chooser.answers = {path};
        trigger("mnufilopen");
        qunsetenv("COM9");
        ASSERT_TRUE(prompter.messages().isEmpty());
    }

    void trigger(const char *name)
    {
        window->findChild<QAction *>(QString::fromLatin1(name))->trigger();
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &m : prompter.messages())
            texts << m.title + u'|' + m.text;
        return texts;
    }

    static QList<int> commands(const LedboardSim &sim)
    {
        QList<int> result;
        for (const auto &frame : sim.frames())
            result << frame["command"].toInt();
        return result;
    }

    QTemporaryDir folder;
    app::AppState state;
    common::RecordingPrompter prompter;
    FakeFileChooser chooser;
    std::unique_ptr<app::MainWindow> window;
};

} // namespace

TEST_F(TransferTest, SendAllThroughTheMenu)
{
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    openDisplayFile(sim, 2);
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(), (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ",
                                           "Pravik|发送成功"}));
    EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
    EXPECT_FALSE(window->findChild<QGroupBox *>(QStringLiteral("scrFrame"))->isVisible());
    sim.stop();
    EXPECT_EQ(commands(sim), (QList<int>{0x12, 0x12, 4, 0x12, 0x12, 4, 1}));
    EXPECT_EQ(sim.frames().last()["raw"].toString(),
              QStringLiteral("fa fa 01 01 00 00 00 00 00 02") +
                  QStringLiteral(" 00").repeated(14) + QStringLiteral(" 03"));
}

TEST_F(TransferTest, CompareFileStopsTransfersUntilCleared)
{
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    openDisplayFile(sim, 1);
    const QString compare = folder.filePath(QStringLiteral("show.lt"));
    chooser.answers = {compare};
    trigger("m_load_com");
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("panel2"))->text(),
              QStringLiteral("比较文件:") + compare);
    trigger("mnurunStr");
    EXPECT_TRUE(prompter.messages().isEmpty()); // a sound compare file passes silently

    trigger("m_clear_com");
    trigger("mnurunStr");
    EXPECT_EQ(prompter.messages().size(), 2);
    sim.stop();
    EXPECT_EQ(commands(sim), (QList<int>{0x12, 0x12, 4, 1}));
}

TEST_F(TransferTest, PropertiesAndOneScreen)
{
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    openDisplayFile(sim, 3);
    trigger("mnusendp");
    EXPECT_EQ(messageTexts(), QStringList{"Pravik|发送成功"});
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    grid->setCurrentIndex(grid->model()->index(1, 1)); // the second screen
    trigger("mnusendsp");
    EXPECT_EQ(prompter.messages().size(), 1);
    sim.stop();
    const auto frames = sim.frames();
    QList<int> screens;
    for (const auto &frame : frames)
        screens << frame["fields"]["screen"].toInt();
    EXPECT_EQ(commands(sim), (QList<int>{4, 4, 4, 0x12, 0x12, 4}));
    EXPECT_EQ(screens, (QList<int>{0, 1, 2, 1, 1, 1}));
}
