// Send All driven through the main window's menu against the board simulator
// on a pseudo-terminal, with the message boxes recorded. How a transfer ends
// on each fault of the board or the line is in the fault cases.
#include "window_on_simulator.h"

#include <QGroupBox>
#include <QTableView>
#include <gtest/gtest.h>

using TransferTest = WindowOnSimulator;

TEST_F(TransferTest, SendAllThroughTheMenu)
{
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    writeDisplayFile(1, 64, 16, QList<QRgb>(2, qRgb(255, 0, 0)));
    startWindow();
    openOn(sim);
    trigger("mnurunStr");
    EXPECT_EQ(prompter.titledTexts(),
              (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ", "Pravik|发送成功"}));
    EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
    EXPECT_FALSE(window->findChild<QGroupBox *>(QStringLiteral("scrFrame"))->isVisible());
    sim.stop();
    QList<int> commands;
    for (const auto &frame : sim.frames())
        commands << frame["command"].toInt();
    EXPECT_EQ(commands, (QList<int>{0x12, 0x12, 4, 0x12, 0x12, 4, 1}));
    EXPECT_EQ(sim.frames().last()["raw"].toString(),
              QStringLiteral("fa fa 01 01 00 00 00 00 00 02") + QStringLiteral(" 00").repeated(14) +
                  QStringLiteral(" 03"));
}
