// pravikd's answering modes run as the program, on a small fleet in a
// temporary folder: what an operator or a script reads, and the exit status.
#include "pravik/service/state_store.h"

#include "service_folder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace pravik;

namespace {

// A shop: two boards, a schedule with a night window, one display file with
// its picture in the content folder.
class PravikdModes : public ::testing::Test, protected ServiceFolder
{
protected:
    void SetUp() override
    {
        write("pravikd.conf", "fleet = fleet.txt\nschedule = schedule.txt\ncontent = content\n"
                              "state = state\nrecords = records\nzone = Europe/Berlin\n");
        write("fleet.txt", "entrance udp:127.0.0.2:1973 1\nkiosk serial:/dev/ttyUSB0@9600 2\n");
        write("schedule.txt", "default * lobby/normal.lt\n"
                              "window kiosk sat 22:00-06:00 range 0 1\n"
                              "window entrance daily 02:00-03:00 file lobby/night.lt\n");
        write("content/lobby/normal.lt", displayFileNaming({"pictures/welcome.bmp"}));
        write("content/lobby/pictures/welcome.bmp", "BM");
        write("content/lobby/night.lt", displayFileNaming({"pictures/welcome.bmp"}));
    }

    ProgramRun pravikd(QStringList arguments, const char *testClock = nullptr) const
    {
        arguments.prepend(path(QStringLiteral("pravikd.conf")));
        arguments.prepend(QStringLiteral("--config"));
        return runProgram(PRAVIKD_PATH, arguments, {}, 30000, [testClock] {
            unsetenv("STATE_DIRECTORY");
            if (testClock)
                setenv("PRAVIKD_TEST_CLOCK", testClock, 1);
            else
                unsetenv("PRAVIKD_TEST_CLOCK");
        });
    }
};

TEST_F(PravikdModes, CheckPrintsTheBoardsAndRulesAsUnderstood)
{
    const ProgramRun run = pravikd({"--check"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(QString::fromUtf8(run.out),
              QStringLiteral("configuration %1/pravikd.conf\n"
                             "  zone Europe/Berlin\n"
                             "  fleet %1/fleet.txt\n"
                             "  schedule %1/schedule.txt\n"
                             "  content %1/content\n"
                             "  state %1/state\n"
                             "  records %1/records\n"
                             "boards:\n"
                             "  entrance  udp:127.0.0.2:1973        1\n"
                             "  kiosk     serial:/dev/ttyUSB0@9600  2\n"
                             "rules (clocks set at 04:00):\n"
                             "  line 1: every board: default: lobby/normal.lt\n"
                             "  line 2: kiosk: sat 22:00-06:00 (next day): screen 0\n"
                             "  line 3: entrance: daily 02:00-03:00: lobby/night.lt\n"
                             "display files:\n"
                             "  lobby/normal.lt\n"
                             "  lobby/night.lt\n"
                             "ok\n")
                  .arg(folder()));
}

TEST_F(PravikdModes, CheckNamesEveryProblemAndFails)
{
    const QString dir = folder();
    const struct
    {
        const char *file;
        QByteArray bytes;
        QStringList problems;
    } cases[] = {
        {"schedule.txt",
         "default * lobby/normal.lt\nwindow till daily all-day file lobby/gone.lt\n"
         "window kiosk daily 01:00-02:00 file lobby/empty.lt\n",
         {dir + "/schedule.txt: line 2: no board named 'till' in the fleet",
          "lobby/gone.lt: No such file or directory",
          "lobby/empty.lt: the picture pictures/none.bmp is missing"}},
        // A bad fleet hides no problem of the schedule.
        {"fleet.txt",
         "entrance udp:127.0.0.2:1973\n",
         {dir + "/fleet.txt: line 1: write NAME LINK ADDRESS, not 'entrance udp:127.0.0.2:1973'",
          dir + "/schedule.txt: line 1: a rule is clock, default or window, not 'defualt'"}},
        {"pravikd.conf", "content = media\n", {dir + "/media: no such folder"}},
        {"pravikd.conf",
         "zone = Mars/Olympus\n",
         {dir + "/pravikd.conf: line 1: unknown zone 'Mars/Olympus'"}},
    };
    write("content/lobby/empty.lt", displayFileNaming({"pictures/none.bmp"}));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        SetUp();
        if (QString::fromUtf8(c.file) == u"fleet.txt")
            write("schedule.txt", "defualt * lobby/normal.lt\n");
        write(QString::fromUtf8(c.file), c.bytes);
        const ProgramRun run = pravikd({"--check"});
        EXPECT_EQ(run.status, 2);
        QStringList expected;
        for (const QString &problem : c.problems)
            expected << QStringLiteral("pravikd: ") + problem;
        EXPECT_EQ(run.messages(), expected);
        EXPECT_FALSE(run.out.endsWith("ok\n"));
    }
}

TEST_F(PravikdModes, CheckRefusesADisplayFileThatLeadsOutOfTheContentFolder)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(writeFileBytes(elsewhere.filePath("outside.lt"),
                               displayFileNaming({QStringLiteral("pictures/welcome.bmp")})));
    ASSERT_TRUE(QFile::link(elsewhere.filePath("outside.lt"), path("content/lobby/night.lt.new")));
    QFile::remove(path("content/lobby/night.lt"));
    ASSERT_TRUE(QFile::rename(path("content/lobby/night.lt.new"), path("content/lobby/night.lt")));
    const ProgramRun run = pravikd({"--check"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.messages(),
              QStringList{"pravikd: lobby/night.lt leads out of the content folder"});
    EXPECT_TRUE(run.out.contains("  lobby/night.lt  (unusable)\n"));
}

TEST_F(PravikdModes, PlanReadsRightAcrossTheClockChanges)
{
    const struct
    {
        QStringList arguments;
        const char *testClock;
        QStringList entrance;
        QStringList kiosk;
    } cases[] = {
        // The clocks go back at 03:00: the hour from 02:00 is lived twice.
        {{"--from", "2026-10-24T22:00", "--hours", "8"},
         nullptr,
         {"2026-10-24 22:00+02:00 – 2026-10-25 02:00+02:00  lobby/normal.lt",
          "2026-10-25 02:00+02:00 – 2026-10-25 03:00+01:00  lobby/night.lt",
          "2026-10-25 03:00+01:00 – 2026-10-25 05:00+01:00  lobby/normal.lt"},
         {"2026-10-24 22:00+02:00 – 2026-10-25 05:00+01:00  lobby/normal.lt, screen 0"}},
        // They go forward at 02:00: that night there is no 02:00 to 03:00.
        {{"--from", "2026-03-29T00:00:00Z", "--hours", "3"},
         nullptr,
         {"2026-03-29 01:00+01:00 – 2026-03-29 05:00+02:00  lobby/normal.lt"},
         {"2026-03-29 01:00+01:00 – 2026-03-29 05:00+02:00  lobby/normal.lt, screen 0"}},
        // Now is the service's clock, in whole minutes.
        {{"--hours", "1"},
         "2026-10-24T21:59:30+02:00",
         {"2026-10-24 21:59+02:00 – 2026-10-24 22:59+02:00  lobby/normal.lt"},
         {"2026-10-24 21:59+02:00 – 2026-10-24 22:00+02:00  lobby/normal.lt",
          "2026-10-24 22:00+02:00 – 2026-10-24 22:59+02:00  lobby/normal.lt, screen 0"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const ProgramRun run = pravikd(QStringList{"--plan"} + c.arguments, c.testClock);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        QStringList expected{"times in Europe/Berlin", "", "entrance:"};
        for (const QString &line : c.entrance)
            expected << "  " + line;
        expected << ""
                 << "kiosk:";
        for (const QString &line : c.kiosk)
            expected << "  " + line;
        EXPECT_EQ(QString::fromUtf8(run.out), expected.join(u'\n') + u'\n');
    }
}

TEST_F(PravikdModes, PlanRefusesWhatItCannotPlan)
{
    const struct
    {
        QStringList arguments;
        const char *testClock;
        QString message;
    } cases[] = {
        {{"--from", "tomorrow"},
         nullptr,
         "pravikd: --from is a time such as 2026-10-25T01:30, not 'tomorrow'"},
        {{},
         "2026-12-24T07:59:58",
         "pravikd: PRAVIKD_TEST_CLOCK is a time with its offset from UTC, such as "
         "2026-12-24T07:59:58+01:00, not '2026-12-24T07:59:58'"},
        {{"--hours", "400"},
         nullptr,
         "pravikd: --hours is a number from 1 to 336, not '400'\nTry 'pravikd --help'."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        const ProgramRun run = pravikd(QStringList{"--plan"} + c.arguments, c.testClock);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.trimmed(), c.message);
        EXPECT_EQ(run.out, QByteArray());
    }
    write("fleet.txt", "entrance udp:127.0.0.2:1973 1\n");
    const ProgramRun run = pravikd({"--plan"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.messages(), QStringList{"pravikd: " + path("schedule.txt") +
                                          ": line 2: no board named 'kiosk' in the fleet"});
}

TEST_F(PravikdModes, StatusTellsWhatTheServiceSaved)
{
    service::BoardState entrance;
    entrance.board = QStringLiteral("entrance");
    entrance.health = service::Health::Ok;
    entrance.lastContact = QDateTime::fromString("2026-12-24T07:00:00Z", Qt::ISODate);
    entrance.lastSuccess = entrance.lastContact;
    entrance.shown = service::Shown{"lobby/normal.lt", schedule::DisplayRange{0, 2}, "stamp",
                                    QDateTime::fromString("2026-12-24T06:00:00Z", Qt::ISODate)};
    entrance.nextChange = QDateTime::fromString("2026-12-24T08:00:00Z", Qt::ISODate);
    service::BoardState kiosk;
    kiosk.board = QStringLiteral("kiosk");
    kiosk.health = service::Health::Failing;
    kiosk.failuresInARow = 1;
    kiosk.lastFailure =
        service::LastFailure{4, "No echo: the board did not answer",
                             QDateTime::fromString("2026-12-24T07:30:00Z", Qt::ISODate)};
    const service::StateStore store(path("state"));
    ASSERT_FALSE(store.write(kiosk).has_value());
    ASSERT_FALSE(store.write(entrance).has_value());

    const ProgramRun table = pravikd({"--status"});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(QString::fromUtf8(table.out),
              "BOARD     STATE    SHOWS                         SINCE                   "
              "LAST CONTACT            NEXT CHANGE             LAST FAILURE\n"
              "entrance  ok       lobby/normal.lt, screens 0-1  2026-12-24 07:00+01:00  "
              "2026-12-24 08:00+01:00  2026-12-24 09:00+01:00  -\n"
              "kiosk     failing  -                             -                       "
              "-                       -                       No echo: the board did not "
              "answer\n");

    const ProgramRun json = pravikd({"--status", "--json"});
    EXPECT_EQ(json.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(object.keys(), QStringList{"boards"});
    EXPECT_EQ(object.value("boards").toArray(),
              (QJsonArray{service::stateToJson(entrance), service::stateToJson(kiosk)}));
}

TEST_F(PravikdModes, StatusFailsWhereTheStateFolderCannotBeRead)
{
    const ProgramRun none = pravikd({"--status", "--json"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(none.out).object().value("boards"), QJsonArray());

    write("state", "a file");
    const ProgramRun file = pravikd({"--status"});
    EXPECT_EQ(file.status, 2);
    EXPECT_EQ(file.messages(),
              QStringList{"pravikd: " + path("state") + ": the state folder cannot be read"});

    QFile::remove(path("state"));
    ASSERT_TRUE(QDir().mkdir(path("state")));
    write("state/kiosk.state.json", "{\"format\": \"other\"}");
    const ProgramRun damaged = pravikd({"--status"});
    EXPECT_EQ(damaged.status, 2);
    ASSERT_EQ(damaged.messages().size(), 1);
    EXPECT_TRUE(damaged.messages()[0].startsWith("pravikd: " + path("state/kiosk.state.json")));
}

} // namespace
