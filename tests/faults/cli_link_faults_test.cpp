// Faults of the board and of the line while pravik-cli sends the whole
// example display file (five screens for a 160 x 32 three-colour board): each
// ends with the exchange's own message and result as exit status, changes
// nothing on disk, and the next send to a sound board goes through.
#include "fault_fixtures.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

namespace {

const QString kExamples = QStringLiteral(EXAMPLES_DIR);
// The example board takes 12 picture packets and one properties command per
// screen, then the display command: 66 frames.
constexpr int kAllFrames = 5 * 13 + 1;

QStringList exampleBoard(bool overUdp, const QStringList &faults = {})
{
    return (overUdp ? QStringList{"--udp", "127.0.0.2:0"} : QStringList{"--pty"}) +
           QStringList{"--width", "160", "--height", "32", "--type", "2"} + faults;
}

ProgramRun sendAll(const QString &link)
{
    return runPravikCli({"send", kExampleFile, "--yes", "--link", link});
}

class CliLinkFaults : public ::testing::Test
{
protected:
    // Nothing changed on disk, and the same file goes out whole to a sound
    // board over the same kind of link.
    void expectUsableAfterwards(bool overUdp) const
    {
        EXPECT_EQ(snapshot(kExamples), before);
        LedboardSim sound(exampleBoard(overUdp));
        const ProgramRun run = sendAll(overUdp ? udpLink(sound) : serialLink(sound));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.messages(), (QStringList{"发送显示命令:     开始显示从0幕开始, 5幕画面   yes",
                                               "Pravik: 发送成功"}));
        sound.stop();
        EXPECT_EQ(sound.frames().size(), kAllFrames);
    }

    const FolderSnapshot before = snapshot(kExamples);
};

} // namespace

TEST_F(CliLinkFaults, GarbageMidPictureIsAChecksumError)
{
    // Noise instead of the echo from frame 20 on, a picture packet of the
    // second screen: judged by its first byte, a wrong echo, so the frame is
    // sent once more and the second noise answer ends the send.
    constexpr int kFaultless = 19;
    LedboardSim sim(exampleBoard(false, {"--garbage-after", QString::number(kFaultless)}));
    const ProgramRun run = sendAll(serialLink(sim));
    EXPECT_EQ(run.status, 3);
    sim.stop();
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), kFaultless + 2);
    EXPECT_EQ(frames[kFaultless]["command"].toInt(), 0x12);
    EXPECT_EQ(frames[kFaultless]["fields"]["screen"].toInt(), 1);
    EXPECT_EQ(frames[kFaultless + 1]["raw"], frames[kFaultless]["raw"]);
    for (int n = 0; n < frames.size(); ++n)
        EXPECT_EQ(frames[n]["reply_kind"].toString(), n < kFaultless ? "echo" : "garbage") << n;
    // Both numbers with their leading blank: the checksum sent and the first
    // noise byte.
    const QByteArray reply = QByteArray::fromHex(frames.last()["reply"].toString().toLatin1());
    ASSERT_FALSE(reply.isEmpty());
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("校验错误: SEND  %1  RETURN  %2")
                                              .arg(frames.last()["checksum"].toInt())
                                              .arg(static_cast<quint8>(reply[0]))});
    expectUsableAfterwards(false);
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
    const ProgramRun run = sendAll(QStringLiteral("udp:127.0.0.2:%1").arg(port));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.messages(), QStringList{"超时: 请检查线路"});
    // Whole seconds on Ethernet: more than 5, at most 6.
    EXPECT_GE(clock.elapsed(), 5000);
    EXPECT_LT(clock.elapsed(), 6900);
    expectUsableAfterwards(true);
}
