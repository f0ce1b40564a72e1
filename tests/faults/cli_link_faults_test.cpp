// Faults of the board and of the line while pravik-cli sends the whole
// example display file: each ends with the exchange's own message and result
// as exit status, changes nothing on disk, and the next send to a sound board
// goes through.
#include "fault_fixtures.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>
#include <memory>

using namespace faults;

namespace {

// The example board takes 12 picture packets and one properties command per
// screen, then the display command: 66 frames.
constexpr int kFramesPerScreen = 13;
constexpr int kAllFrames = 5 * kFramesPerScreen + 1;
// Faults set in after frame 19: the first screen and six picture packets of
// the second are through, so the fault hits the middle of a picture.
constexpr int kMidSecondPicture = 19;

const QStringList kSent{QStringLiteral("发送显示命令:     开始显示从0幕开始, 5幕画面   yes"),
                        QStringLiteral("Pravik: 发送成功")};

// The frame after the fault is one of the second screen's picture packets.
void expectInsideTheSecondPicture(const LedboardSim &sim, int frameNumber)
{
    const auto frames = sim.frames();
    ASSERT_GE(frames.size(), frameNumber);
    const QJsonObject frame = frames[frameNumber - 1];
    EXPECT_EQ(frame[QStringLiteral("command")].toInt(), 0x12);
    EXPECT_EQ(frame[QStringLiteral("fields")][QStringLiteral("screen")].toInt(), 1);
}

// What the exchange shows for a wrong echo: both numbers with their leading
// blank, taken from what the board logged for the last frame.
QString checksumErrorOf(const LedboardSim &sim)
{
    const QJsonObject last = sim.frames().constLast();
    const int sent = last[QStringLiteral("checksum")].toInt();
    const QByteArray reply =
        QByteArray::fromHex(last[QStringLiteral("reply")].toString().toLatin1());
    const int echo = reply.isEmpty() ? -1 : static_cast<quint8>(reply[0]);
    return QStringLiteral("校验错误: SEND  %1  RETURN  %2").arg(sent).arg(echo);
}

class CliLinkFaults : public ::testing::Test
{
protected:
    CliRun sendAll(const QString &link)
    {
        return runCli({"send", example.displayFile(), "--yes", "--link", link});
    }

    // The program is usable afterwards: the same file goes out whole to a
    // sound board over the same kind of link. The board is returned stopped,
    // with its log and screens, for comparison with the faulty run.
    std::unique_ptr<LedboardSim> expectSoundBoardTakesItAll(bool overUdp)
    {
        auto sound = std::make_unique<LedboardSim>(exampleBoard(overUdp));
        const CliRun run = sendAll(overUdp ? udpLink(*sound) : serialLink(*sound));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.messages, kSent);
        sound->stop();
        EXPECT_EQ(sound->frames().size(), kAllFrames);
        return sound;
    }

    void expectNothingChangedOnDisk() const { EXPECT_EQ(snapshot(example.folder()), before); }

    ExampleCopy example;
    const FolderSnapshot before = snapshot(example.folder());
};

} // namespace

TEST_F(CliLinkFaults, BoardSilentFromTheStart)
{
    LedboardSim sim(exampleBoard(false, {"--silent-after", "0"}));
    QElapsedTimer clock;
    clock.start();
    const CliRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.messages, QStringList{"超时: 请检查线路"});
    // Whole seconds on the serial line: more than 2, at most 3.
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_LT(clock.elapsed(), 3900);
    sim.stop();
    EXPECT_EQ(replyKinds(sim), QStringList{"silent"}); // a time-out is never followed by a resend
    expectNothingChangedOnDisk();
    expectSoundBoardTakesItAll(false);
}

TEST_F(CliLinkFaults, WrongEchoOnceIsMendedByTheResend)
{
    LedboardSim sim(exampleBoard(false, {"--wrong-echo", QString::number(kMidSecondPicture)}));
    const CliRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.messages, kSent);
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), kAllFrames + 1);
    EXPECT_EQ(frames[kMidSecondPicture - 1][QStringLiteral("reply_kind")].toString(), "wrong-echo");
    EXPECT_EQ(frames[kMidSecondPicture][QStringLiteral("raw")],
              frames[kMidSecondPicture - 1][QStringLiteral("raw")]); // the same frame again
    expectNothingChangedOnDisk();
    const auto sound = expectSoundBoardTakesItAll(false);
    for (int screen = 0; screen < 5; ++screen)
        EXPECT_EQ(screenImage(sim, screen), screenImage(*sound, screen)) << screen;
}

TEST_F(CliLinkFaults, WrongEchoAlwaysIsAChecksumError)
{
    LedboardSim sim(exampleBoard(false, {"--wrong-echo-rate", "1"}));
    const CliRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 3);
    sim.stop();
    EXPECT_EQ(replyKinds(sim), (QStringList{"wrong-echo", "wrong-echo"}));
    EXPECT_EQ(run.messages, QStringList{checksumErrorOf(sim)});
    expectNothingChangedOnDisk();
    expectSoundBoardTakesItAll(false);
}

TEST_F(CliLinkFaults, GarbageMidPictureIsAChecksumError)
{
    LedboardSim sim(exampleBoard(false, {"--garbage-after", QString::number(kMidSecondPicture)}));
    const CliRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 3);
    sim.stop();
    expectInsideTheSecondPicture(sim, kMidSecondPicture + 1);
    // Noise twice to the same frame: judged by its first byte, resent once.
    const QStringList kinds = replyKinds(sim);
    ASSERT_EQ(kinds.size(), kMidSecondPicture + 2);
    EXPECT_EQ(kinds.mid(kMidSecondPicture), (QStringList{"garbage", "garbage"}));
    EXPECT_EQ(run.messages, QStringList{checksumErrorOf(sim)});
    expectNothingChangedOnDisk();
    expectSoundBoardTakesItAll(false);
}

TEST_F(CliLinkFaults, LineHungUpMidTransferIsTheDeviceBeingUnavailable)
{
    // The board answers frame 19 and closes the pseudo-terminal, as an
    // unplugged USB adapter takes the device away.
    LedboardSim sim(exampleBoard(false, {"--hangup-after", QString::number(kMidSecondPicture)}));
    const CliRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.messages, QStringList{"COM Error: 当前串口操作失败，请重新设置!"});
    sim.stop();
    EXPECT_EQ(sim.frames().size(), kMidSecondPicture);
    expectNothingChangedOnDisk();
    expectSoundBoardTakesItAll(false);
}

TEST_F(CliLinkFaults, UdpPortWithoutABoardIsSilence)
{
    // Nobody listens on that port of the board's address: the kernel answers
    // each datagram with port-unreachable, which is no echo.
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        port = probe.localPort();
    }
    QElapsedTimer clock;
    clock.start();
    const CliRun run = sendAll(QStringLiteral("udp:127.0.0.2:%1").arg(port));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.messages, QStringList{"超时: 请检查线路"});
    // Whole seconds on Ethernet: more than 5, at most 6.
    EXPECT_GE(clock.elapsed(), 5000);
    EXPECT_LT(clock.elapsed(), 6900);
    expectNothingChangedOnDisk();
    expectSoundBoardTakesItAll(true);
}

TEST_F(CliLinkFaults, StrayDatagramsFromAnotherAddressAreNotEchoes)
{
    // The board takes 10 ms over each echo, so that some of the stranger's
    // datagrams arrive before every one of them.
    LedboardSim sim(exampleBoard(true, {"--echo-delay-ms", "10"}));
    ASSERT_FALSE(sim.udpPort().isEmpty());
    // A stranger on another address keeps sending echo bytes to Pravik's
    // port (the board's port number) for the whole transfer, eight a
    // millisecond, going through every value: about 80 before each echo of
    // the board, the right one among them for a third of the frames. Taken as
    // echoes, the wrong ones would be checksum errors and the right ones would
    // run ahead of the board. (A flood hundreds of times faster fills the
    // socket's receive queue, so the kernel drops the board's echo too: that
    // ends in a time-out, as a lost echo should.)
    QUdpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    const auto pravikPort = static_cast<quint16>(sim.udpPort().toUInt());

    QProcess cli;
    cli.start(QStringLiteral(PRAVIK_CLI_PATH),
              {"send", example.displayFile(), "--yes", "--link", udpLink(sim)});
    cli.closeWriteChannel();
    int strayDatagrams = 0;
    QElapsedTimer clock;
    clock.start();
    for (int value = 0; !cli.waitForFinished(1) && clock.elapsed() < 30000;) {
        for (int i = 0; i < 8; ++i, value = (value + 1) % 256) {
            strayDatagrams += stranger.writeDatagram(QByteArray(1, static_cast<char>(value)),
                                                     QHostAddress::LocalHost, pravikPort) == 1;
        }
    }
    ASSERT_EQ(cli.state(), QProcess::NotRunning);
    EXPECT_GT(strayDatagrams, kAllFrames * 40);
    const QString err = QString::fromUtf8(cli.readAllStandardError()).trimmed();
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(err.split(u'\n'), kSent);
    sim.stop();

    // Frame by frame with the board: each sent once and answered once.
    const QStringList kinds = replyKinds(sim);
    EXPECT_EQ(kinds, QStringList(kAllFrames, QStringLiteral("echo")));
    expectNothingChangedOnDisk();
    const auto sound = expectSoundBoardTakesItAll(true);
    EXPECT_EQ(commands(sim), commands(*sound));
    for (int screen = 0; screen < 5; ++screen)
        EXPECT_EQ(screenImage(sim, screen), screenImage(*sound, screen)) << screen;
}
