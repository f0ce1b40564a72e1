// Send All driven through the main window's menu against the board simulator,
// with the message boxes recorded: a whole transfer, and what the operator can
// and cannot do while one runs. How a transfer ends on each fault of the
// board or the line is in the fault cases.
#include "window_on_simulator.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class TransferTest : public WindowOnSimulator
{
protected:
    // A 64 × 16 single-colour board on a pseudo-terminal with `options`
    // besides, and a window that opened a display file of `screens` red
    // screens for it.
    LedboardSim &windowOnBoard(int screens, const QStringList &options = {})
    {
        window.reset();
        m_board = std::make_unique<LedboardSim>(
            QStringList{"--pty", "--width", "64", "--height", "16"} + options);
        writeDisplayFile(1, 64, 16, QList<QRgb>(screens, qRgb(255, 0, 0)));
        startWindow();
        openOn(*m_board);
        return *m_board;
    }

    std::unique_ptr<LedboardSim> m_board;
};

QList<int> commandsOf(const QList<QJsonObject> &frames)
{
    QList<int> commands;
    for (const auto &frame : frames)
        commands << frame["command"].toInt();
    return commands;
}

} // namespace

TEST_F(TransferTest, SendAllThroughTheMenu)
{
    LedboardSim &sim = windowOnBoard(2);
    trigger("mnurunStr");
    EXPECT_EQ(prompter.titledTexts(),
              (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ", "Pravik|发送成功"}));
    EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
    EXPECT_FALSE(window->findChild<QGroupBox *>(QStringLiteral("scrFrame"))->isVisible());
    sim.stop();
    EXPECT_EQ(commandsOf(sim.frames()), (QList<int>{0x12, 0x12, 4, 0x12, 0x12, 4, 1}));
    EXPECT_EQ(sim.frames().last()["raw"].toString(),
              QStringLiteral("fa fa 01 01 00 00 00 00 00 02") + QStringLiteral(" 00").repeated(14) +
                  QStringLiteral(" 03"));
}

// The window runs its events while the board is awaited, but nothing the
// operator does can start a second job inside the first (feedback on and off).
TEST_F(TransferTest, NothingStartsInsideATransfer)
{
    for (const int feedback : {1, 0}) {
        SCOPED_TRACE(feedback);
        LedboardSim &sim = windowOnBoard(3, {"--echo-delay-ms", "20"});
        state.settings.feedback = static_cast<std::int16_t>(feedback);
        int attempts = 0;
        QTimer again;
        QObject::connect(&again, &QTimer::timeout, [&] {
            ++attempts;
            trigger("mnurunStr");
            trigger("mnufilNew");
        });
        again.start(15);
        trigger("mnurunStr");
        again.stop();
        EXPECT_GT(attempts, 0);
        EXPECT_EQ(
            prompter.titledTexts(),
            (QStringList{"发送显示命令|    开始显示从0幕开始, 3幕画面  ", "Pravik|发送成功"}));
        EXPECT_EQ(state.screens.text(3, pravik::document::PictureColumn), QStringLiteral("s3.bmp"));
        sim.stop();
        EXPECT_EQ(commandsOf(sim.frames()),
                  (QList<int>{0x12, 0x12, 4, 0x12, 0x12, 4, 0x12, 0x12, 4, 1}));
        prompter.clear();
    }
}

// 停止发送 (or Escape) ends the job after the frame on the wire, over a
// pseudo-terminal and over UDP: whole frames only, no display question, the
// count told, the window usable.
TEST_F(TransferTest, StopEndsTheJobAfterTheFrameOnTheWire)
{
    for (const bool udp : {false, true}) {
        SCOPED_TRACE(udp);
        LedboardSim sim(QStringList{udp ? "--udp" : "--pty"} +
                        (udp ? QStringList{"127.0.0.2:0"} : QStringList()) +
                        QStringList{"--width", "64", "--height", "16", "--echo-delay-ms", "20"});
        writeDisplayFile(1, 64, 16, QList<QRgb>(6, qRgb(255, 0, 0)),
                         udp ? sim.udpPort() : QString());
        startWindow();
        openOn(sim);
        auto *stop = window->findChild<QPushButton *>(QStringLiteral("cmdstop"));
        QTimer::singleShot(100, [&] {
            if (udp)
                QTest::keyClick(window.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(stop, Qt::LeftButton);
        });
        trigger("mnurunStr");
        sim.stop();
        const QList<int> commands = commandsOf(sim.frames());
        const int screens = static_cast<int>(commands.count(4));
        QList<int> wholeRun;
        for (int screen = 0; screen < 6; ++screen)
            wholeRun << 0x12 << 0x12 << 4;
        EXPECT_EQ(commands, wholeRun.first(commands.size()));
        EXPECT_LT(screens, 6);
        EXPECT_EQ(
            prompter.titledTexts(),
            QStringList{QStringLiteral("Pravik|已停止发送，%1 幕画面已送到屏幕").arg(screens)});
        EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
        EXPECT_FALSE(stop->isVisible());
        EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("mnurunStr"))->isEnabled());
        prompter.clear();
    }
}

// Closing the window mid-transfer: the frame on the wire is the last one,
// nothing more is shown, and the program is told to end.
TEST_F(TransferTest, ClosingTheWindowEndsTheTransferQuietly)
{
    LedboardSim &sim = windowOnBoard(6, {"--echo-delay-ms", "20"});
    qsizetype loggedAtClose = -1;
    QTimer::singleShot(100, [&] {
        loggedAtClose = sim.frames().size();
        window->close();
    });
    trigger("mnurunStr");
    sim.stop();
    ASSERT_GE(loggedAtClose, 0); // the window ran its events mid-transfer
    EXPECT_LE(sim.frames().size(), loggedAtClose + 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_FALSE(window->isVisible());
}

// A silent board: the window stays alive through the whole time-out, and a
// stop meanwhile waits for the frame on the wire to time out.
TEST_F(TransferTest, StopWhileASilentBoardIsAwaited)
{
    LedboardSim &sim = windowOnBoard(2, {"--silent-after", "1"});
    bool stopped = false;
    QTimer::singleShot(300, [&] {
        QTest::keyClick(window.get(), Qt::Key_Escape);
        stopped = true;
    });
    trigger("mnurunStr");
    EXPECT_TRUE(stopped);
    EXPECT_EQ(prompter.titledTexts(),
              (QStringList{"超时|请检查线路", "Pravik|已停止发送，0 幕画面已送到屏幕"}));
    sim.stop();
    EXPECT_EQ(sim.frames().size(), 2);
    EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
}

// 发送修改的画面 tells what went out, and that nothing did when the board
// holds everything.
TEST_F(TransferTest, SendChangedTellsWhichScreensWentOut)
{
    // A line of the same name in an earlier run left no record here.
    const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", folder.filePath(QStringLiteral("cache")).toLocal8Bit());
    LedboardSim sim({"--pty", "--width", "64", "--height", "16"});
    writeDisplayFile(1, 64, 16, {qRgb(255, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0)});
    startWindow();
    openOn(sim);
    trigger("mnusendchg");
    trigger("mnusendchg");
    QImage changed(64, 16, QImage::Format_RGB32);
    changed.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(changed.save(folder.filePath(QStringLiteral("s2.bmp"))));
    trigger("mnusendchg");
    const QString question = QStringLiteral("发送显示命令|    开始显示从0幕开始, 3幕画面  ");
    EXPECT_EQ(prompter.titledTexts(), (QStringList{question, "Pravik|已发送第 0-2 幕",
                                                   "Pravik|屏上的画面都是最新的，未发送", question,
                                                   "Pravik|已发送第 1 幕，2 幕未修改"}));
    qputenv("XDG_CACHE_HOME", cacheBefore);
}

// While a box is on screen the window is out of its transfer mode: a
// question has nothing to stop, and the last message comes after the end.
TEST_F(TransferTest, MessagesComeWithTheTransferModeLeft)
{
    LedboardSim &sim = windowOnBoard(2);
    auto *stop = window->findChild<QPushButton *>(QStringLiteral("cmdstop"));
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    auto *sendAll = window->findChild<QAction *>(QStringLiteral("mnurunStr"));
    QStringList seen;
    prompter = common::RecordingPrompter([&](const common::Message &message) {
        seen << QStringLiteral("%1 stop %2 grid %3 menu %4")
                    .arg(message.text.trimmed().left(6))
                    .arg(stop->isVisible())
                    .arg(grid->isEnabled())
                    .arg(sendAll->isEnabled());
        return common::RecordingPrompter::accept(message);
    });
    trigger("mnurunStr");
    EXPECT_EQ(seen,
              (QStringList{"开始显示从0 stop 0 grid 1 menu 1", "发送成功 stop 0 grid 1 menu 1"}));
    sim.stop();
    EXPECT_EQ(sim.frames().size(), 7); // the display command went out after the question
}

// The window goes back where it was before the transfer enlarged it, unless
// the operator moved it meanwhile: then it stays where the operator put it.
TEST_F(TransferTest, TheWindowEndsWhereTheOperatorLeftIt)
{
    for (const bool movedDuringTransfer : {false, true}) {
        SCOPED_TRACE(movedDuringTransfer);
        windowOnBoard(3, {"--echo-delay-ms", "20"});
        window->resize(300, 90);
        window->move(40, 50);
        const QRect before(window->pos(), window->size());
        QRect during;
        QTimer watch; // looks as soon as the transfer has enlarged the window
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QRect(window->pos(), window->size()) == before)
                return;
            watch.stop();
            during = QRect(window->pos(), window->size());
            if (movedDuringTransfer)
                window->move(10, 20);
        });
        watch.start(5);
        trigger("mnurunStr");
        ASSERT_TRUE(during.isValid()); // the transfer enlarged it for the preview
        EXPECT_EQ(QRect(window->pos(), window->size()),
                  movedDuringTransfer ? QRect(QPoint(10, 20), during.size()) : before);
        prompter.clear();
    }
}

// During a transfer nothing in the grid changes, and an open settings
// dialog keeps only Cancel, which closes it storing nothing.
TEST_F(TransferTest, DuringATransferTheGridAndTheDialogOnlyWait)
{
    windowOnBoard(4, {"--echo-delay-ms", "20"});
    auto *grid = window->findChild<QTableView *>(QStringLiteral("Grid1"));
    grid->setCurrentIndex(grid->model()->index(0, 1));
    trigger("Command3d1");
    const QPointer<QDialog> dialog = window->findChild<QDialog *>(QStringLiteral("size"));
    ASSERT_NE(dialog, nullptr);
    const auto button = [&](const char *name) {
        return dialog->findChild<QPushButton *>(QString::fromLatin1(name));
    };
    QStringList waiting;
    const QString widthBefore = QString::number(state.settings.scrwidth);
    bool checked = false;
    QTimer::singleShot(100, [&] {
        for (const char *name : {"Grid1", "txtedit", "Comin", "Comout", "Comdisp", "Comexp"})
            if (!window->findChild<QWidget *>(QString::fromLatin1(name))->isEnabled())
                waiting << QString::fromLatin1(name);
        for (const char *name : {"size_app", "sizeok", "sendcommand", "Command1", "sizedel"})
            if (!button(name)->isEnabled())
                waiting << QString::fromLatin1(name);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {},
                          grid->visualRect(grid->model()->index(2, 3)).center());
        dialog->findChild<QLineEdit *>(QStringLiteral("sizew"))->setText(QStringLiteral("128"));
        QTest::mouseClick(button("sizedel"), Qt::LeftButton);
        checked = true;
    });
    trigger("mnurunStr");
    ASSERT_TRUE(checked);
    EXPECT_EQ(waiting, (QStringList{"Grid1", "txtedit", "Comin", "Comout", "Comdisp", "Comexp",
                                    "size_app", "sizeok", "sendcommand", "Command1"}));
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 1));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(dialog && dialog->isVisible());
    EXPECT_EQ(QString::number(state.settings.scrwidth), widthBefore);
    EXPECT_TRUE(grid->isEnabled());
}
