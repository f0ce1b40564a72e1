// pravik-cli send --changed and --fleet against the board simulator: what a
// board's record lets a send leave out, and many boards at once.
#include "fleet_report.h"
#include "pravik_cli_run.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/display_file.h"
#include "pravik/document/screen_list.h"

#include "common/recording_prompter.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace pravik;

namespace {

constexpr int kScreens = 8;

// "command screen" for each frame the simulator took.
QStringList framesOf(const QList<QJsonObject> &frames)
{
    QStringList result;
    for (const QJsonObject &frame : frames) {
        const QByteArray raw = QByteArray::fromHex(frame["raw"].toString().toLatin1());
        result << QStringLiteral("%1 %2").arg(int(raw[3])).arg(int(raw[4]));
    }
    return result;
}

// Each screen's picture packets, then its properties.
QStringList screenFrames(int first, int last)
{
    QStringList frames;
    for (int s = first; s <= last; ++s)
        frames << QStringLiteral("18 %1").arg(s) << QStringLiteral("18 %1").arg(s)
               << QStringLiteral("4 %1").arg(s);
    return frames;
}

// A display file of single-colour 32 x 8 screens, screen k lighting column
// k, sent over UDP; the records go to a cache folder of the test's own.
class BoardRecords : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        for (int s = 0; s < kScreens; ++s)
            drawScreen(s, qRgb(255, 0, 0));
        writeList(32, kScreens);
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    void drawScreen(int screen, QRgb colour)
    {
        QImage picture(32, 8, QImage::Format_RGB32);
        picture.fill(Qt::black);
        picture.setPixel(screen, 0, colour);
        picture.save(dir.filePath(QStringLiteral("s%1.bmp").arg(screen)));
    }
    void writeList(int width, int screenCount)
    {
        document::BoardSettings settings;
        settings.port = 0;
        settings.ipAddress = QStringLiteral("127.0.0.2");
        settings.scrtype = 1;
        settings.scrwidth = static_cast<std::int16_t>(width);
        settings.scrhigh = 8;
        document::ScreenList screens;
        document::initScreenList(screens);
        for (int s = 0; s < screenCount; ++s)
            screens.setText(s + 1, document::PictureColumn, QStringLiteral("s%1.bmp").arg(s));
        common::RecordingPrompter prompter;
        ASSERT_TRUE(document::saveDisplayFile(list, settings, screens, prompter));
    }
    QString recordFile() const
    {
        const QDir boards(cache.filePath(QStringLiteral("pravik/boards")));
        return boards.filePath(boards.entryList({QStringLiteral("*.json")}).value(0));
    }
    ProgramRun send(const QString &link, const QStringList &options = {})
    {
        return runPravikCli(QStringList{"send", list, "--yes", "--link", link} + options);
    }

    QTemporaryDir dir;
    QTemporaryDir cache;
    const QString list = dir.filePath(QStringLiteral("list.lt"));
};

QStringList simulatorOptions(const QString &udp)
{
    return {"--udp", udp, "--width", "32", "--height", "8", "--type", "1"};
}

} // namespace

TEST_F(BoardRecords, ChangedSendsWhatTheBoardDoesNotHoldAndTheDisplayCommandWhenNeeded)
{
    LedboardSim sim(simulatorOptions(QStringLiteral("127.0.0.2:0")));
    ASSERT_EQ(send(udpLink(sim)).status, 0);
    ASSERT_EQ(framesOf(sim.waitForFrames(3 * kScreens + 1)),
              screenFrames(0, kScreens - 1) + QStringList{"1 0"});
    struct Step
    {
        const char *name;
        std::function<void()> change;
        QStringList frames;
        QString out;
        QStringList messages;
    };
    const QString full = QStringLiteral("sent: 0-7\nunchanged: none\n");
    const QStringList fullFrames = screenFrames(0, kScreens - 1) + QStringList{"1 0"};
    const QString question = QStringLiteral("发送显示命令:     开始显示从0幕开始, %1幕画面   yes");
    const Step steps[] = {
        {"one picture",
         [&] { drawScreen(3, qRgb(0, 0, 0)); },
         {"18 3", "18 3", "4 3", "1 0"},
         "sent: 3\nunchanged: 0-2, 4-7\n",
         {question.arg(8), "Pravik: 发送成功"}},
        {"nothing", [] {}, {}, "sent: none\nunchanged: 0-7\n", {}},
        {"one screen fewer",
         [&] { writeList(32, 7); },
         {"1 0"},
         "sent: none\nunchanged: 0-6\n",
         {question.arg(7), "Pravik: 发送成功"}},
        {"a wider board",
         [&] { writeList(40, 7); },
         screenFrames(0, 6) + QStringList{"1 0"},
         "sent: 0-6\nunchanged: none\n",
         {"Pravik: 屏幕尺寸或类型已改变，发送全部画面", question.arg(7), "Pravik: 发送成功"}},
        {"a damaged record",
         [&] {
             writeFileBytes(recordFile(), "{\"format\": \"pravik board record\", \"version\": 1}");
         },
         screenFrames(0, 6) + QStringList{"1 0"},
         "sent: 0-6\nunchanged: none\n",
         {"Pravik: 屏幕记录无法读取 (damaged record)，发送全部画面", question.arg(7),
          "Pravik: 发送成功"}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        const qsizetype before = sim.frames().size();
        step.change();
        const ProgramRun run = send(udpLink(sim), {"--changed"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(QString::fromUtf8(run.out), step.out);
        EXPECT_EQ(run.messages(), step.messages);
        EXPECT_EQ(framesOf(sim.waitForFrames(before + step.frames.size()).mid(before)),
                  step.frames);
    }
}

TEST_F(BoardRecords, AfterASilentBoardStoppedScreen5ChangedSendsFromScreen5On)
{
    QString port;
    {
        LedboardSim silent(simulatorOptions(QStringLiteral("127.0.0.2:0")) +
                           QStringList{"--silent-after", "15"});
        port = silent.udpPort();
        const ProgramRun run = send(udpLink(silent));
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.messages(), QStringList{"超时: 请检查线路"});
    }
    LedboardSim board(simulatorOptions(QStringLiteral("127.0.0.2:") + port));
    const ProgramRun run = send(udpLink(board), {"--changed"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("sent: 5-7\nunchanged: 0-4\n"));
    EXPECT_EQ(framesOf(board.waitForFrames(10)), screenFrames(5, 7) + QStringList{"1 0"});
}

// Four boards on one port number, one silent and one echoing wrong: the good
// ones get what a send to one board gets, and the table names the bad ones.
TEST_F(BoardRecords, AFleetSendsToEveryBoardAtOnceAndNamesTheBadOnes)
{
    LedboardSim front(simulatorOptions(QStringLiteral("127.0.0.2:0")));
    const QString port = front.udpPort();
    const auto at = [&](const char *host) { return QStringLiteral("%1:%2").arg(host, port); };
    LedboardSim silent(simulatorOptions(at("127.0.0.3")) + QStringList{"--silent-after", "0"});
    LedboardSim wrong(simulatorOptions(at("127.0.0.4")) + QStringList{"--wrong-echo-rate", "1"});
    LedboardSim back(simulatorOptions(at("127.0.0.5")));
    LedboardSim alone(simulatorOptions(at("127.0.0.6")));
    const QString fleet = dir.filePath(QStringLiteral("boards.txt"));
    ASSERT_TRUE(writeFileBytes(
        fleet, QStringLiteral("# the shop\n"
                              "front udp:%1 1\n"
                              "silent udp:%2 1\n"
                              "wrong  udp:%3 1\n"
                              "back   udp:%4 1\n")
                   .arg(at("127.0.0.2"), at("127.0.0.3"), at("127.0.0.4"), at("127.0.0.5"))
                   .toUtf8()));
    // That the boards work at the same time is shown by the fleet's own tests.
    const ProgramRun run = runPravikCli({"send", list, "--fleet", fleet, "--yes", "--json"});
    EXPECT_EQ(run.status, 4);

    const QJsonArray table = QJsonDocument::fromJson(run.out)["boards"].toArray();
    QStringList results;
    for (const QJsonValue &row : table)
        results << QStringLiteral("%1 %2 %3 %4")
                       .arg(row["board"].toString(), row["result"].toString())
                       .arg(row["code"].toInt())
                       .arg(row["screens"].toInt());
    EXPECT_EQ(results, (QStringList{"front sent 0 8", "silent failed 4 0", "wrong failed 3 0",
                                    "back sent 0 8"}));
    EXPECT_EQ(table[1]["message"].toString(), QStringLiteral("超时: 请检查线路"));
    EXPECT_TRUE(table[2]["message"].toString().startsWith(QStringLiteral("校验错误: SEND ")));
    EXPECT_GE(table[1]["seconds"].toDouble(), 5.0);
    EXPECT_EQ(run.messages().value(0), QStringLiteral("silent: 超时: 请检查线路"));

    ASSERT_EQ(send(QStringLiteral("udp:") + at("127.0.0.6")).status, 0);
    const auto raw = [](const QList<QJsonObject> &frames) {
        QStringList bytes;
        for (const QJsonObject &frame : frames)
            bytes << frame["raw"].toString();
        return bytes;
    };
    const QStringList single = raw(alone.waitForFrames(3 * kScreens + 1));
    EXPECT_EQ(single.size(), 3 * kScreens + 1);
    EXPECT_EQ(raw(front.frames()), single);
    EXPECT_EQ(raw(back.frames()), single);
}

TEST(FleetReport, OneLinePerBoardWithTheMessageThatStoppedIt)
{
    const auto boards = fleet::parseFleet(QStringLiteral("a COM3 2\nb serial:COM3 3\n"));
    ASSERT_TRUE(boards);
    using fleet::BoardOutcome;
    const QList<BoardOutcome> outcomes{
        {BoardOutcome::Result::Sent, 0, {}, 239, 0.412, {}},
        {BoardOutcome::Result::Failed, 4, "超时: 请检查线路", 5, 6, {}}};
    EXPECT_EQ(cli::fleetTable(*boards, outcomes),
              QStringLiteral("BOARD  RESULT      SCREENS      TIME  MESSAGE\n"
                             "a      sent            239    0.41 s\n"
                             "b      failed 4          5    6.00 s  超时: 请检查线路\n"));
}
