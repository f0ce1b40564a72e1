// pravik-cli send and render against the board simulator: what the board
// shows after a screen is sent must be exactly what render predicts.
#include "pravik_cli_run.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage rgb(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// Sends each screen on its own, then compares what the board shows with what
// render predicts for it.
void expectBoardShowsWhatRenderPredicts(LedboardSim &sim, const QString &file, const QString &link,
                                        const QList<int> &screens)
{
    for (const int screen : screens) {
        const ProgramRun sent =
            runPravikCli({"send", file, "--screen", QString::number(screen), "--link", link});
        EXPECT_EQ(sent.status, 0) << screen << " " << sent.err.toStdString();
    }
    sim.stop();
    QTemporaryDir dir;
    for (const int screen : screens) {
        const QString predicted = dir.filePath(QStringLiteral("render-%1.png").arg(screen));
        const ProgramRun rendered =
            runPravikCli({"render", file, QString::number(screen), predicted});
        ASSERT_EQ(rendered.status, 0) << rendered.err.toStdString();
        const QImage shown = rgb(
            QDir(sim.outDir())
                .filePath(QStringLiteral("screen-%1.png").arg(screen, 3, 10, QLatin1Char('0'))));
        ASSERT_FALSE(shown.isNull()) << screen;
        EXPECT_EQ(shown, rgb(predicted)) << "screen " << screen;
    }
    // Every screen's picture is followed by its properties.
    int properties = 0;
    for (const auto &frame : sim.frames())
        properties += frame["command"].toInt() == 4;
    EXPECT_EQ(properties, screens.size());
}

} // namespace

TEST(CliPictureWithSimulator, ThreeColourBoardOverUdp)
{
    // The example board: 160 x 32, three-colour, a BMP, a GIF, a PCX, a
    // Chinese text and a coloured rich text.
    LedboardSim sim({"--udp", "127.0.0.2:0", "--width", "160", "--height", "32", "--type", "2"});
    ASSERT_FALSE(sim.udpPort().isEmpty());
    expectBoardShowsWhatRenderPredicts(sim, kExampleFile, udpLink(sim), {0, 1, 2, 3, 4});
}

TEST(CliPictureWithSimulator, SingleColourBoardOverAPseudoTerminal)
{
    // The example file is three-colour; a copy beside its pictures says single-colour.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("pictures"));
    for (const QString &name :
         QDir(QStringLiteral(EXAMPLES_DIR "/pictures")).entryList(QDir::Files))
        QFile::copy(QStringLiteral(EXAMPLES_DIR "/pictures/") + name,
                    dir.filePath(QStringLiteral("pictures/") + name));
    const QString file = dir.filePath(QStringLiteral("single.lt"));
    ASSERT_TRUE(
        writeFileBytes(file, readFileBytes(kExampleFile).replace("scrtype =  2", "scrtype =  1")));
    LedboardSim sim({"--pty", "--width", "160", "--height", "32", "--type", "1"});
    expectBoardShowsWhatRenderPredicts(sim, file,
                                       QStringLiteral("serial:%1@115200").arg(sim.endpoint()), {2});
}
