// The transmission jobs driven through the main window's menus, against the
// board simulator, with the message boxes recorded. How a transfer ends on
// each fault of the board or the line is in the fault cases.
#include "window_on_simulator.h"

#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <gtest/gtest.h>

using namespace pravik;

namespace {

class TransferTest : public WindowOnSimulator
{
protected:
    // A display file of `screens` pictures for a 64 x 16 single-colour board,
    // opened in a new window on the simulator's line.
    void openDisplayFile(const LedboardSim &sim, int screens)
    {
        writeDisplayFile(1, 64, 16, QList<QRgb>(screens, qRgb(255, 0, 0)));
        startWindow();
        openOn(sim);
    }

    static QList<int> commands(const LedboardSim &sim)
    {
        QList<int> result;
        for (const auto &frame : sim.frames())
            result << frame["command"].toInt();
        return result;
    }

};

} // namespace

TEST_F(TransferTest, SendAllThroughTheMenu)
{
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    openDisplayFile(sim, 2);
    trigger("mnurunStr");
    EXPECT_EQ(prompter.titledTexts(), (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ",
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
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|发送成功"});
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
