// Faults during Send All from the main window's menu, against the board
// simulator on a pseudo-terminal that COM9 names: each ends with its message,
// the grid enabled and the preview hidden, nothing on disk changed, and the
// next Send All, once the display file is opened on a sound board, goes through.
#include "fault_fixtures.h"

#include "window_on_simulator.h"

#include <QGroupBox>
#include <QTableView>

using namespace pravik;
using namespace faults;

namespace {

// A 64 x 32 three-colour board takes 4 picture packets and one properties
// command per screen. Faults set in after frame 7, inside the second picture.
constexpr int kMidSecondPicture = 7;
constexpr int kAllFrames = 2 * 5 + 1;

QStringList board(const QStringList &faults = {})
{
    return QStringList{"--pty", "--width", "64", "--height", "32", "--type", "2"} + faults;
}

class WindowLinkFaults : public WindowOnSimulator
{
protected:
    void SetUp() override
    {
        writeDisplayFile(2, 64, 32, {qRgb(255, 0, 0), qRgb(0, 255, 0)});
        startWindow();
    }

    // Opens the display file on the simulator's line and notes the folder as
    // it was before the transfer.
    void openOn(const LedboardSim &sim)
    {
        WindowOnSimulator::openOn(sim);
        before = snapshot(folder.path());
    }

    // The state every ending of a transfer leaves behind.
    void expectWindowUsable() const
    {
        EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("Grid1"))->isEnabled());
        EXPECT_FALSE(window->findChild<QGroupBox *>(QStringLiteral("scrFrame"))->isVisible());
    }

    void expectNothingChangedOnDisk() const { EXPECT_EQ(snapshot(folder.path()), before); }

    // The window goes on working: the display file opened on a sound board
    // goes out whole.
    void expectNextSendAllGoesThrough()
    {
        LedboardSim sound(board());
        prompter.clear();
        openOn(sound);
        trigger("mnurunStr");
        EXPECT_EQ(messageTexts(), (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ",
                                               "Pravik|发送成功"}));
        expectWindowUsable();
        sound.stop();
        EXPECT_EQ(sound.frames().size(), kAllFrames);
    }

    FolderSnapshot before;
};

} // namespace

TEST_F(WindowLinkFaults, BoardFallingSilentMidPicture)
{
    LedboardSim sim(board({"--silent-after", QString::number(kMidSecondPicture)}));
    openOn(sim);
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(), QStringList{"超时|请检查线路"});
    EXPECT_EQ(prompter.messages().constFirst().icon, common::MessageIcon::Information);
    expectWindowUsable();
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), kMidSecondPicture + 1); // no resend after a time-out, nothing after
    EXPECT_EQ(frames.last()[QStringLiteral("command")].toInt(), 0x12);
    EXPECT_EQ(frames.last()[QStringLiteral("fields")][QStringLiteral("screen")].toInt(), 1);
    expectNothingChangedOnDisk();
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, WrongEchoOnceIsMendedByTheResend)
{
    LedboardSim sim(board({"--wrong-echo", QString::number(kMidSecondPicture)}));
    openOn(sim);
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(),
              (QStringList{"发送显示命令|    开始显示从0幕开始, 2幕画面  ", "Pravik|发送成功"}));
    expectWindowUsable();
    sim.stop();
    EXPECT_EQ(sim.frames().size(), kAllFrames + 1);
    expectNothingChangedOnDisk();
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, WrongEchoAlwaysIsAChecksumError)
{
    LedboardSim sim(board({"--wrong-echo-rate", "1"}));
    openOn(sim);
    trigger("mnurunStr");
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), 2);
    const int sent = frames[0][QStringLiteral("checksum")].toInt();
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("校验错误|SEND  %1  RETURN  %2")
                                              .arg(sent)
                                              .arg(sent ^ 0xFF)}); // every bit flipped
    expectWindowUsable();
    expectNothingChangedOnDisk();
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, GarbageMidPictureIsAChecksumError)
{
    LedboardSim sim(board({"--garbage-after", QString::number(kMidSecondPicture)}));
    openOn(sim);
    trigger("mnurunStr");
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), kMidSecondPicture + 2);
    const QJsonObject last = frames.last();
    const QByteArray noise =
        QByteArray::fromHex(last[QStringLiteral("reply")].toString().toLatin1());
    ASSERT_FALSE(noise.isEmpty());
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("校验错误|SEND  %1  RETURN  %2")
                                              .arg(last[QStringLiteral("checksum")].toInt())
                                              .arg(static_cast<quint8>(noise[0]))});
    expectWindowUsable();
    expectNothingChangedOnDisk();
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, LineHungUpMidTransfer)
{
    LedboardSim sim(board({"--hangup-after", QString::number(kMidSecondPicture)}));
    openOn(sim);
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(), QStringList{" COM Error|当前串口操作失败，请重新设置!"});
    EXPECT_EQ(prompter.messages().constFirst().icon, common::MessageIcon::Question);
    expectWindowUsable();
    sim.stop();
    EXPECT_EQ(sim.frames().size(), kMidSecondPicture);
    expectNothingChangedOnDisk();
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, PictureCutShortStopsBeforeItsScreen)
{
    LedboardSim sim(board());
    openOn(sim);
    // The second picture loses its last rows after the file was opened.
    const QString second = folder.filePath(QStringLiteral("s2.bmp"));
    const QByteArray whole = fileBytes(second);
    ASSERT_TRUE(writeFile(second, whole.left(whole.size() / 2)));
    before = snapshot(folder.path());
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(),
              QStringList{"系统错误|s2.bmp: The picture data ends early (truncated file?)"});
    expectWindowUsable();
    sim.stop();
    EXPECT_EQ(commands(sim), (QList<int>{0x12, 0x12, 0x12, 0x12, 4})); // the first screen only
    expectNothingChangedOnDisk();
    ASSERT_TRUE(writeFile(second, whole));
    expectNextSendAllGoesThrough();
}

TEST_F(WindowLinkFaults, CompareFileDeletedAfterItWasChosen)
{
    LedboardSim sim(board());
    openOn(sim);
    const QString compare = folder.filePath(QStringLiteral("old.lt"));
    ASSERT_TRUE(QFile::copy(displayFile(), compare));
    chooser.answers = {compare};
    trigger("m_load_com");
    ASSERT_TRUE(QFile::remove(compare));
    before = snapshot(folder.path());
    trigger("mnurunStr");
    EXPECT_EQ(messageTexts(),
              QStringList{QStringLiteral("系统错误|%1: No such file or directory").arg(compare)});
    EXPECT_EQ(prompter.messages().constFirst().icon, common::MessageIcon::Question);
    expectWindowUsable();
    sim.stop();
    EXPECT_TRUE(sim.frames().isEmpty());
    expectNothingChangedOnDisk();
    trigger("m_clear_com");
    expectNextSendAllGoesThrough();
}
