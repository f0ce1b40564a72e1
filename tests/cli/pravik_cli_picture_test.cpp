// pravik-cli send and render against the board simulator: what the board
// shows after a screen is sent must be exactly what render predicts.
#include "ledboard_sim_process.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int status = -1;
    QString err;
};

CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PRAVIK_CLI_PATH), arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return CliRun{process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

const QString kExample = QStringLiteral(EXAMPLES_DIR "/demo.lt");

QImage rgb(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(CliPictureWithSimulator, BoardShowsWhatRenderPredicts)
{
    // The example board: 160 x 32, three-colour, a BMP, a GIF, a PCX, a
    // Chinese text and a coloured rich text.
    LedboardSim sim({"--udp", "127.0.0.2:0", "--width", "160", "--height", "32", "--type", "2"});
    ASSERT_FALSE(sim.udpPort().isEmpty());
    const QString link = QStringLiteral("udp:127.0.0.2:%1").arg(sim.udpPort());
    for (int screen = 0; screen < 5; ++screen) {
        const CliRun sent = runCli({"send", kExample, "--screen", QString::number(screen), "--link", link});
        EXPECT_EQ(sent.status, 0) << screen << " " << sent.err.toStdString();
    }
    sim.stop();

    QTemporaryDir dir;
    for (int screen = 0; screen < 5; ++screen) {
        const QString predicted = dir.filePath(QStringLiteral("render-%1.png").arg(screen));
        const CliRun rendered = runCli({"render", kExample, QString::number(screen), predicted});
        ASSERT_EQ(rendered.status, 0) << rendered.err.toStdString();
        const QImage shown = rgb(QDir(sim.outDir()).filePath(
            QStringLiteral("screen-%1.png").arg(screen, 3, 10, QLatin1Char('0'))));
        ASSERT_FALSE(shown.isNull()) << screen;
        EXPECT_EQ(shown, rgb(predicted)) << "screen " << screen;
    }

    // Every screen's picture is followed by its properties.
    const auto frames = sim.frames();
    int properties = 0;
    for (const auto &frame : frames)
        properties += frame["command"].toInt() == 4;
    EXPECT_EQ(properties, 5);
}

TEST(CliPictureWithSimulator, SingleColourOverAPseudoTerminal)
{
    QTemporaryDir dir;
    LedboardSim sim({"--pty", "--width", "160", "--height", "32", "--type", "1"});
    // The example file is three-colour; a copy says single-colour.
    QFile source(kExample);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray bytes = source.readAll();
    bytes.replace("scrtype =  2", "scrtype =  1");
    QDir(dir.path()).mkpath(QStringLiteral("pictures"));
    for (const QString &name : QDir(QStringLiteral(EXAMPLES_DIR "/pictures")).entryList(QDir::Files))
        QFile::copy(QStringLiteral(EXAMPLES_DIR "/pictures/") + name,
                    dir.filePath(QStringLiteral("pictures/") + name));
    const QString file = dir.filePath(QStringLiteral("single.lt"));
    QFile copy(file);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(bytes);
    copy.close();

    const CliRun sent = runCli({"send", file, "--screen", "2", "--link",
                                QStringLiteral("serial:%1@115200").arg(sim.endpoint())});
    EXPECT_EQ(sent.status, 0) << sent.err.toStdString();
    sim.stop();
    const QString predicted = dir.filePath(QStringLiteral("render.png"));
    ASSERT_EQ(runCli({"render", file, "2", predicted}).status, 0);
    EXPECT_EQ(rgb(QDir(sim.outDir()).filePath(QStringLiteral("screen-002.png"))), rgb(predicted));
}

TEST(CliPictureWithSimulator, FailureMidPictureEndsWithTheExchangeResult)
{
    LedboardSim sim({"--pty", "--silent-after", "3", "--type", "2"});
    const CliRun sent = runCli({"send", kExample, "--screen", "0", "--link",
                                QStringLiteral("serial:%1@9600").arg(sim.endpoint())});
    EXPECT_EQ(sent.status, 4);
    EXPECT_TRUE(sent.err.contains(QStringLiteral("超时: 请检查线路")));
    sim.stop();
    EXPECT_EQ(sim.frames().size(), 4); // three echoed, the fourth unanswered, nothing after
}

TEST(CliPictureWithSimulator, MissingPictureSendsNothing)
{
    QTemporaryDir dir;
    LedboardSim sim({"--pty"});
    QFile source(kExample);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString file = dir.filePath(QStringLiteral("lonely.lt"));
    QFile copy(file);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(source.readAll()); // its pictures are not beside it
    copy.close();
    const CliRun sent = runCli({"send", file, "--screen", "1", "--link",
                                QStringLiteral("serial:%1@9600").arg(sim.endpoint())});
    EXPECT_EQ(sent.status, 1);
    EXPECT_TRUE(sent.err.startsWith(QStringLiteral("Pravik: 不存在的图形文件名")));
    sim.stop();
    EXPECT_TRUE(sim.frames().isEmpty());
}
