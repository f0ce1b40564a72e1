// The remote control of a real pravikd over real boards: every route as an
// operator uses it, the jobs read back until they end, the audit trail of
// each change and of the schedule's, and the event stream of a Send All.
#include "running_service.h"

#include <QJsonDocument>
#include <future>

namespace {

QString pictureName(int i)
{
    return QStringLiteral("pics/%1.bmp").arg(i);
}

class RemoteControlEndToEnd : public RunningService
{
protected:
    // lobby.lt: three screens; night.lt: one.
    void writeContent()
    {
        for (int i = 0; i < 4; ++i)
            picture(QStringLiteral("content/") + pictureName(i), patternPicture(i));
        write(QStringLiteral("content/lobby.lt"),
              threeColourFileNaming({pictureName(0), pictureName(1), pictureName(2)}));
        write(QStringLiteral("content/night.lt"), threeColourFileNaming({pictureName(3)}));
    }
};

TEST_F(RemoteControlEndToEnd, EveryRouteAnswersAsTheServiceActs)
{
    LedboardSim &a = board(QStringLiteral("a"));
    board(QStringLiteral("b"));
    // Slow enough that a stop arrives while its Send All is under way.
    board(QStringLiteral("c"), {QStringLiteral("--echo-delay-ms"), QStringLiteral("100")});
    writeContent();
    // The window opens two seconds after the start.
    startService("window b daily 08:00-09:00 file night.lt\n",
                 QStringLiteral("2026-12-24T07:59:58+01:00"));

    // The schedule's action is on the audit trail.
    const QJsonObject scheduled{{QStringLiteral("time"), QStringLiteral("2026-12-24T07:00:00Z")},
                                {QStringLiteral("actor"), QStringLiteral("schedule")},
                                {QStringLiteral("board"), QStringLiteral("b")},
                                {QStringLiteral("what"), QStringLiteral("night.lt")}};
    ASSERT_TRUE(eventually([&] {
        return get("/api/v1/audit").json[QStringLiteral("entries")].toArray().contains(scheduled);
    })) << get("/api/v1/audit").body;
    ASSERT_TRUE(idle());

    // Every change, its job read back until it ends.
    const struct
    {
        std::string route;
        QJsonObject body;
        QString board;
        QString kind;
        QString what;
    } changes[] = {
        {"/api/v1/boards/a/send", {{"file", "lobby.lt"}}, "a", "send", "lobby.lt"},
        {"/api/v1/boards/a/send",
         {{"file", "lobby.lt"}, {"all", true}},
         "a",
         "send-all",
         "lobby.lt"},
        {"/api/v1/send",
         {{"boards", QJsonArray{"a", "b"}}, {"file", "night.lt"}},
         "",
         "send",
         "night.lt"},
        {"/api/v1/boards/b/clock", {}, "b", "clock", "clock"},
        {"/api/v1/boards/a/range",
         {{"start", 1}, {"count", 2}},
         "a",
         "range",
         "screens 1-2 of the file on the board"},
    };
    QJsonArray audited;
    for (const auto &change : changes) {
        SCOPED_TRACE(change.route);
        const Answer started = post(change.route, change.body);
        ASSERT_EQ(started.status, 202) << started.body;
        QMap<QString, int> jobs;
        if (change.board.isEmpty()) {
            const QJsonObject list = started.json[QStringLiteral("jobs")].toObject();
            for (auto job = list.begin(); job != list.end(); ++job)
                jobs.insert(job.key(), job.value().toInt());
            EXPECT_EQ(jobs.keys(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        } else {
            jobs.insert(change.board, started.json[QStringLiteral("job")].toInt());
        }
        QStringList outcome;
        for (auto job = jobs.begin(); job != jobs.end(); ++job) {
            const QJsonObject end = ended(job.value());
            EXPECT_EQ(end[QStringLiteral("state")], QStringLiteral("done"));
            EXPECT_EQ(end[QStringLiteral("board")], job.key());
            EXPECT_EQ(end[QStringLiteral("kind")], change.kind);
            EXPECT_EQ(end[QStringLiteral("what")], change.what);
            outcome << (change.board.isEmpty() ? job.key() + u' ' : QString()) +
                           QStringLiteral("job %1").arg(job.value());
        }
        audited.append(QJsonArray{QString::fromStdString(change.route), 202,
                                  outcome.join(QStringLiteral(", "))});
    }
    // The board's state follows its job's end a moment later.
    const QJsonObject range{{QStringLiteral("start"), 1}, {QStringLiteral("count"), 2}};
    const auto shownRange = [this] {
        const Answer a = get("/api/v1/boards/a");
        return a.json["shows"]["range"];
    };
    EXPECT_TRUE(eventually([&] { return shownRange() == range; }, 5)) << get("/api/v1/boards/a").body;

    // A stop while c's Send All is under way.
    const int sending =
        post("/api/v1/boards/c/send", {{"file", "lobby.lt"}, {"all", true}}).json["job"].toInt();
    EXPECT_EQ(get("/api/v1/boards/c").json["busy"], true);
    EXPECT_EQ(get("/api/v1/boards/a").json["busy"], false);
    const Answer stop = post("/api/v1/boards/c/stop");
    EXPECT_EQ(stop.status, 200);
    EXPECT_EQ(stop.json, (QJsonObject{{QStringLiteral("job"), sending}}));
    EXPECT_EQ(ended(sending)[QStringLiteral("state")], QStringLiteral("stopped"));
    audited.append(QJsonArray{"/api/v1/boards/c/send", 202, QStringLiteral("job %1").arg(sending)});
    audited.append(
        QJsonArray{"/api/v1/boards/c/stop", 200, QStringLiteral("stop job %1").arg(sending)});

    // What can be read.
    const QJsonObject lateShift{
        {QStringLiteral("board"), QStringLiteral("b")},
        {QStringLiteral("segments"), QJsonArray{QJsonObject{{"from", "2026-12-24T08:30:00+01:00"},
                                                            {"until", "2026-12-24T09:00:00+01:00"},
                                                            {"file", "night.lt"},
                                                            {"range", QJsonValue()},
                                                            {"text", "night.lt"}},
                                                QJsonObject{{"from", "2026-12-24T09:00:00+01:00"},
                                                            {"until", "2026-12-24T10:30:00+01:00"},
                                                            {"file", ""},
                                                            {"range", QJsonValue()},
                                                            {"text", "nothing"}}}}};
    const struct
    {
        std::string target;
        std::string type;
        std::function<void(const Answer &)> check;
    } reads[] = {
        {"/api/v1/boards", "application/json",
         [](const Answer &answer) {
             QStringList names;
             for (const QJsonValue &board : answer.json["boards"].toArray()) {
                 names << board["board"].toString();
                 EXPECT_EQ(board["state"], QStringLiteral("ok"));
             }
             EXPECT_EQ(names, (QStringList{"a", "b", "c"}));
         }},
        {"/api/v1/boards/b", "application/json",
         [&](const Answer &answer) {
             EXPECT_EQ(answer.json["board"], QStringLiteral("b"));
             EXPECT_EQ(answer.json["shows"]["file"], QStringLiteral("night.lt"));
             // Set on the test clock's day, by the clock command.
             EXPECT_TRUE(answer.json["clockSet"].toString().startsWith("2026-12-24T07:00:"));
             EXPECT_EQ(answer.json["busy"], false);
         }},
        {"/api/v1/boards/a", "application/json",
         [&](const Answer &answer) {
             EXPECT_EQ(answer.json["link"], QStringLiteral("udp:") + a.endpoint());
         }},
        {"/api/v1/plan?from=2026-12-24T08:30:00%2B01:00&hours=2", "application/json",
         [&](const Answer &answer) {
             EXPECT_EQ(answer.json["zone"], QStringLiteral("Europe/Berlin"));
             EXPECT_EQ(answer.json["until"], QStringLiteral("2026-12-24T10:30:00+01:00"));
             EXPECT_EQ(answer.json["boards"][1], lateShift);
         }},
        {"/api/v1/content", "application/json",
         [](const Answer &answer) {
             const QJsonArray files = answer.json["files"].toArray();
             ASSERT_EQ(files.size(), 2);
             EXPECT_EQ(files[0]["file"], QStringLiteral("lobby.lt"));
             EXPECT_EQ(files[0]["type"], 2);
             EXPECT_EQ(files[0]["screens"][2]["picture"], pictureName(2));
             EXPECT_EQ(files[1]["file"], QStringLiteral("night.lt"));
         }},
        {"/api/v1/content/lobby.lt/screens/1.png", "image/png",
         [](const Answer &answer) { EXPECT_EQ(pngOf(answer), patternPicture(1)); }},
        {"/api/v1/content/lobby.lt/show.gif", "image/gif",
         [](const Answer &answer) { EXPECT_EQ(answer.body.substr(0, 6), "GIF89a"); }},
        {"/api/v1/audit", "application/json",
         [&](const Answer &answer) {
             QJsonArray requests;
             for (const QJsonValue &entry : answer.json["entries"].toArray()) {
                 if (entry["token"] == QStringLiteral("admin")) {
                     EXPECT_EQ(entry["method"], QStringLiteral("POST"));
                     EXPECT_EQ(entry["address"], QStringLiteral("127.0.0.1"));
                     requests.append(QJsonArray{entry["route"], entry["status"], entry["outcome"]});
                 }
             }
             EXPECT_EQ(requests, audited);
         }},
    };
    for (const auto &read : reads) {
        SCOPED_TRACE(read.target);
        const Answer answer = get(read.target);
        EXPECT_EQ(answer.status, 200) << answer.body;
        EXPECT_EQ(answer.type.substr(0, read.type.size()), read.type);
        read.check(answer);
    }
}

// What the event stream said about one job, or about any when `job` is 0:
// "progress N" and "job STATE".
QStringList eventsOfJob(const std::string &stream, int job = 0)
{
    QStringList said;
    QByteArray type; // each event is "event: TYPE\ndata: JSON\n\n"
    for (const QByteArray &event : QByteArray::fromStdString(stream).split('\n')) {
        if (event.startsWith("event: "))
            type = event.mid(7);
        if (!event.startsWith("data: ") || (type != "progress" && type != "job"))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(event.mid(6)).object();
        const bool progress = type == "progress";
        if (job != 0 && object[progress ? QStringLiteral("job") : QStringLiteral("id")] != job)
            continue;
        said << (progress ? QStringLiteral("progress %1").arg(object["screen"].toInt())
                          : QStringLiteral("job ") + object["state"].toString());
    }
    return said;
}

TEST_F(RemoteControlEndToEnd, TheEventStreamFollowsASendScreenByScreen)
{
    board(QStringLiteral("a"));
    writeContent();
    startService("# nothing scheduled\n");
    ASSERT_TRUE(idle());

    std::promise<void> listening;
    std::string stream;
    std::thread listener([&] {
        httplib::Client events = client();
        events.Get(
            "/api/v1/events", headers(),
            [&](const httplib::Response &) {
                listening.set_value();
                return true;
            },
            [&](const char *data, std::size_t size) {
                stream.append(data, size);
                // Until the job has ended: the only job of an idle service.
                return !eventsOfJob(stream).contains(QStringLiteral("job done"));
            });
    });
    ASSERT_EQ(listening.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const int job =
        post("/api/v1/boards/a/send", {{"file", "lobby.lt"}, {"all", true}}).json["job"].toInt();
    ASSERT_EQ(ended(job)[QStringLiteral("state")], QStringLiteral("done"));
    listener.join();
    EXPECT_EQ(eventsOfJob(stream, job),
              (QStringList{"job queued", "progress 0", "progress 1", "progress 2", "job done"}));
}

} // namespace
