// pravikd as a process against a board simulator on UDP, through what goes
// wrong around it: a schedule broken before a reload, and the service killed
// in the middle of a transfer. The test clock puts a window's start a couple
// of seconds after the service starts; every wait is for a log line or a
// frame, with a deadline.

#include "ledboard_sim_process.h"
#include "pravikd_process.h"
#include "service_folder.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace pravik;

namespace {

constexpr int kScreens = 12;

// The frames of screens `from` to `to` (each a 16 x 8 single-colour picture
// in two packets, then its properties) and the display command for all.
QStringList screensSent(int from, int to)
{
    QStringList frames;
    for (int screen = from; screen <= to; ++screen) {
        const QString number = QStringLiteral("%1").arg(screen, 2, 16, QLatin1Char('0'));
        frames << "12 " + number << "12 " + number << "04 " + number;
    }
    return frames << QStringLiteral("01 00 %1").arg(kScreens, 2, 16, QLatin1Char('0'));
}

class PravikdRecovery : public ::testing::Test, protected ServiceFolder
{
protected:
    void SetUp() override
    {
        write("pravikd.conf", "state = state\nrecords = records\ncontent = content\n"
                              "zone = Europe/Berlin\nlisten = 127.0.0.1:0\n");
    }

    // A 16 x 8 picture whose lit LEDs are a diagonal pattern of its own.
    void picture(const QString &name, int pattern) const
    {
        QImage image(16, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                image.setPixel(x, y, (x * 3 + y + pattern) % 7 < 3 ? qRgb(255, 0, 0) : 0);
        ServiceFolder::picture("content/pictures/" + name, image);
    }

    // A display file for a 16 x 8 single-colour board, one screen a picture.
    void displayFile(const QString &name, QStringList pictures) const
    {
        document::BoardSettings settings;
        settings.scrwidth = 16;
        settings.scrhigh = 8;
        settings.scrtype = 1;
        pictures.replaceInStrings(QRegularExpression("^"), "pictures/");
        write("content/" + name, displayFileNaming(pictures, settings));
    }

    void fleetOf(const LedboardSim &board) const
    {
        write("fleet.txt", "entrance udp:" + board.endpoint().toUtf8() + " 1\n");
    }
};

TEST_F(PravikdRecovery, AReloadOfABrokenScheduleKeepsTheOldOneUntilTheFileIsMended)
{
    LedboardSim board({"--udp", "127.0.0.2:0", "--width", "16", "--height", "8"});
    ASSERT_FALSE(board.udpPort().isEmpty());
    fleetOf(board);
    picture("normal.bmp", 0);
    picture("night.bmp", 1);
    displayFile("normal.lt", {"normal.bmp"});
    displayFile("night.lt", {"night.bmp"});
    write("schedule.txt", "default * normal.lt\nwindow * daily 08:00-09:00 file night.lt\n");

    PravikdProcess service;
    ASSERT_TRUE(service.startAt(path("pravikd.conf"), "2026-12-24T07:59:57+01:00"));
    ASSERT_TRUE(service.logs("entrance: shows normal.lt")) << service.log().toStdString();

    write("schedule.txt", "default * normal.lt\nwindow * daily 08:00-09:00 file night.lt\n"
                          "window * daily 25:00-26:00 file normal.lt\n");
    ASSERT_TRUE(service.signal(SIGHUP));
    ASSERT_TRUE(service.logs("reload refused, the files in use stay: " + path("schedule.txt") +
                             ": line 3: the times are HH:MM-HH:MM (up to 24:00) or all-day, "
                             "not '25:00-26:00'"))
        << service.log().toStdString();
    // The refusal came before 08:00: the window that follows is the old
    // schedule's, still in use.
    ASSERT_FALSE(service.log().contains(QStringLiteral("night.lt")))
        << "the window opened before the reload; " << service.log().toStdString();
    ASSERT_TRUE(service.logs("entrance: shows night.lt")) << service.log().toStdString();

    write("schedule.txt", "default * normal.lt\n");
    ASSERT_TRUE(service.signal(SIGHUP));
    EXPECT_TRUE(service.logs("reloaded: 1 boards")) << service.log().toStdString();
    EXPECT_TRUE(service.logs("entrance: shows normal.lt", 2)) << service.log().toStdString();
    EXPECT_EQ(service.stop(), 0);
}

// The board holds the twelve screens of day.lt; at 08:00 the schedule wants
// evening.lt, whose last six screens differ. The service is killed half way
// through sending those six. Restarted with nothing changed, it cannot trust
// the board's record of the transfer it did not finish: it sends all twelve
// screens, and the board ends showing evening.lt exactly.
TEST_F(PravikdRecovery, AServiceKilledInATransferSendsEverythingAfterItsRestart)
{
    LedboardSim board(
        {"--udp", "127.0.0.2:0", "--width", "16", "--height", "8", "--echo-delay-ms", "25"});
    ASSERT_FALSE(board.udpPort().isEmpty());
    fleetOf(board);
    QStringList day;
    QStringList evening;
    for (int screen = 0; screen < kScreens; ++screen) {
        day << QStringLiteral("d%1.bmp").arg(screen);
        picture(day.last(), screen);
        if (screen < kScreens / 2) {
            evening << day.last();
        } else {
            evening << QStringLiteral("e%1.bmp").arg(screen);
            picture(evening.last(), screen + 20);
        }
    }
    displayFile("day.lt", day);
    displayFile("evening.lt", evening);
    write("schedule.txt", "default * day.lt\nwindow * daily 08:00-23:00 file evening.lt\n");

    {
        PravikdProcess first;
        ASSERT_TRUE(first.startAt(path("pravikd.conf"), "2026-12-24T07:00:00+01:00"));
        ASSERT_TRUE(first.logs("entrance: shows day.lt")) << first.log().toStdString();
        ASSERT_EQ(first.stop(), 0);
    }
    const qsizetype dayFrames = board.frames().size();
    ASSERT_EQ(board.commands(), QStringList{"03 00"} + screensSent(0, kScreens - 1));

    {
        // A restart after a clean end sends nothing: the first job is the
        // window's, and the board's first frame since is its first screen
        // that changed.
        PravikdProcess second;
        ASSERT_TRUE(second.startAt(path("pravikd.conf"), "2026-12-24T07:59:58+01:00"));
        ASSERT_TRUE(second.logs("entrance: to show evening.lt (job 1)"))
            << second.log().toStdString();
        ASSERT_GE(board.waitForFrames(dayFrames + 9, 20000).size(), dayFrames + 9);
        second.kill();
        const QStringList sent = board.commands(dayFrames);
        ASSERT_LT(sent.size(), 19) << "the transfer ended before the service was killed";
        EXPECT_EQ(sent, screensSent(kScreens / 2, kScreens - 1).first(sent.size()));
    }
    const qsizetype killedAt = board.frames().size();

    // systemd restarts a service 100 ms after it died (RestartSec), by which
    // time the board's answer to the killed service's last frame is gone.
    QThread::msleep(100);
    PravikdProcess third;
    ASSERT_TRUE(third.startAt(path("pravikd.conf"), "2026-12-24T08:00:30+01:00"));
    ASSERT_TRUE(third.logs("entrance: shows evening.lt")) << third.log().toStdString();
    EXPECT_EQ(third.stop(), 0);
    EXPECT_EQ(board.commands(killedAt), screensSent(0, kScreens - 1)) << third.log().toStdString();

    // What the board shows is what evening.lt's screens look like.
    ASSERT_TRUE(board.stop());
    for (int screen = 0; screen < kScreens; ++screen) {
        SCOPED_TRACE(screen);
        const QString rendered = path(QStringLiteral("rendered-%1.png").arg(screen));
        ASSERT_EQ(runProgram(PRAVIK_CLI_PATH, {"render", path("content/evening.lt"),
                                               QString::number(screen), rendered})
                      .status,
                  0);
        const QImage shown(
            QDir(board.outDir())
                .filePath(QStringLiteral("screen-%1.png").arg(screen, 3, 10, QLatin1Char('0'))));
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
                  QImage(rendered).convertToFormat(QImage::Format_RGB32));
    }
}

} // namespace
