// Each route of the API over real HTTP against the fake service: its status,
// its JSON, and what it asked the service to do.
#include "http_fixture.h"

#include <QJsonDocument>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

QJsonObject error(const QString &text, int code)
{
    return {{QStringLiteral("error"), text}, {QStringLiteral("code"), code}};
}

struct RouteCase
{
    const char *method;
    const char *target;
    const char *body;
    int status;
    QJsonObject answer;
};

class HttpRoutes : public HttpFixture
{
protected:
    void check(const RouteCase &route)
    {
        SCOPED_TRACE(std::string(route.method) + " " + route.target + " " + route.body);
        const RawAnswer answer = rawExchange(
            control->port(), rawRequest(route.method, route.target, operatorToken, {}, route.body));
        EXPECT_EQ(answer.status, route.status);
        EXPECT_TRUE(answer.hasHeader("Content-Type: application/json")) << answer.head;
        EXPECT_EQ(
            QJsonDocument(QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object())
                .toJson(QJsonDocument::Compact),
            QJsonDocument(route.answer).toJson(QJsonDocument::Compact));
    }
};

TEST_F(HttpRoutes, ReadingTheFleetTheJobsThePlanAndTheContent)
{
    service.busy = QStringList{QStringLiteral("b")};
    const QJsonObject boardA = pravik::service::boardToJson(*service.board(QStringLiteral("a")));
    const QJsonObject boardB = pravik::service::boardToJson(*service.board(QStringLiteral("b")));
    const RouteCase cases[] = {
        {"GET",
         "/api/v1/boards",
         "",
         200,
         {{QStringLiteral("boards"), QJsonArray{boardA, boardB}}}},
        {"GET", "/api/v1/boards/a", "", 200, boardA},
        {"GET", "/api/v1/boards/zz", "", 404, error(QStringLiteral("no board named zz"), 404)},
        {"GET", "/api/v1/jobs/7", "", 200, pravik::service::jobToJson(*service.job(7))},
        {"GET", "/api/v1/jobs/8", "", 404, error(QStringLiteral("no job 8"), 404)},
        {"GET", "/api/v1/jobs/07", "", 404, error(QStringLiteral("no job 07"), 404)},
        {"GET", "/api/v1/plan", "", 200, json(R"({"from": "2026-03-01T12:00:00Z", "hours": 24})")},
        {"GET", "/api/v1/plan?from=2026-10-25T02:30:00+02:00&hours=336", "", 200,
         json(R"({"from": "2026-10-25T02:30:00+02:00", "hours": 336})")},
        {"GET", "/api/v1/plan?hours=337", "", 400,
         error(QStringLiteral("hours is a number from 1 to 336"), 400)},
        {"GET", "/api/v1/plan?hours=0", "", 400,
         error(QStringLiteral("hours is a number from 1 to 336"), 400)},
        {"GET", "/api/v1/plan?from=2026-10-25T02:30:00", "", 400,
         error(QStringLiteral("give from as an ISO time with its offset, as "
                              "2026-10-25T02:30:00+02:00"),
               400)},
        {"GET",
         "/api/v1/content",
         "",
         200,
         {{QStringLiteral("files"),
           QJsonArray{pravik::service::contentToJson(service.content().first())}}}},
        {"GET", "/api/v1/content/lobby.lt/screens/1.png", "", 404,
         error(QStringLiteral("no screen"), 404)},
        {"GET", "/api/v1/content/other.lt/show.gif", "", 404,
         error(QStringLiteral("no file other.lt"), 404)},
        {"GET", "/api/v1/nothing", "", 404, error(QStringLiteral("no such route"), 404)},
        {"GET", "/api/v1/boards/a/", "", 404, error(QStringLiteral("no such route"), 404)},
        {"DELETE", "/api/v1/boards", "", 405,
         error(QStringLiteral("the route takes GET, HEAD"), 405)},
        {"GET", "/api/v1/boards/a/send", "", 405,
         error(QStringLiteral("the route takes POST"), 405)},
    };
    for (const RouteCase &route : cases)
        check(route);
    EXPECT_TRUE(service.takeCommands().isEmpty());
}

TEST_F(HttpRoutes, TheBoardsListFollowsEveryChangeOfABoard)
{
    const auto boardsJson = [this] {
        return QJsonDocument::fromJson(
                   QByteArray::fromStdString(get("/api/v1/boards", viewerToken)->body))
            .object()
            .value(QStringLiteral("boards"))
            .toArray();
    };
    const std::function<void(BoardView &)> changes[] = {
        [](BoardView &board) { board.state.health = pravik::service::Health::Failing; },
        [](BoardView &board) { board.state.lastContact = QDateTime::currentDateTimeUtc(); },
        [](BoardView &board) { board.busy = true; },
        [](BoardView &board) { board.job = 12; },
        [](BoardView &board) { board.link = QStringLiteral("serial:/dev/ttyUSB0"); },
    };
    for (const auto &change : changes) {
        const QJsonArray before = boardsJson();
        service.changeBoard(1, change);
        const QJsonArray after = boardsJson();
        EXPECT_EQ(after[0], before[0]);
        EXPECT_NE(after[1], before[1]);
        EXPECT_EQ(after[1].toObject(), pravik::service::boardToJson(service.boards()[1]));
    }
}

TEST_F(HttpRoutes, CommandsReachTheServiceAsSent)
{
    service.busy = QStringList{QStringLiteral("b")};
    const QString range = QStringLiteral("give \"start\" (0 to 238) and \"count\" (1 to 239), "
                                         "with start + count at most 239");
    const RouteCase cases[] = {
        {"POST", "/api/v1/boards/a/send", R"({"file": "lobby.lt"})", 202, json(R"({"job": 8})")},
        {"POST", "/api/v1/boards/a/send", R"({"file": "lobby.lt", "all": true})", 202,
         json(R"({"job": 9})")},
        {"POST", "/api/v1/boards/a/clock", "", 202, json(R"({"job": 10})")},
        {"POST", "/api/v1/boards/a/range", R"({"start": 238, "count": 1})", 202,
         json(R"({"job": 11})")},
        {"POST", "/api/v1/boards/%61/range", R"({"start": 0, "count": 239})", 202,
         json(R"({"job": 12})")},
        {"POST", "/api/v1/boards/b/stop", "", 200, json(R"({"job": 7})")},
        {"POST", "/api/v1/boards/a/stop", "", 409, error(QStringLiteral("nothing to stop"), 409)},
        {"POST", "/api/v1/boards/b/send", R"({"file": "lobby.lt"})", 409,
         error(QStringLiteral("busy"), 409)},
        {"POST", "/api/v1/boards/a/send", R"({"file": "other.lt"})", 404,
         error(QStringLiteral("no file other.lt"), 404)},
        {"POST", "/api/v1/boards/zz/clock", "", 404, error(QStringLiteral("no board zz"), 404)},
        {"POST", "/api/v1/boards/a/send", R"({"file": "lobby.lt", "all": "yes"})", 400,
         error(QStringLiteral("\"all\" is true or false"), 400)},
        {"POST", "/api/v1/boards/a/send", R"({"file": 3})", 400,
         error(QStringLiteral("give the display file as \"file\": \"NAME.lt\""), 400)},
        {"POST", "/api/v1/boards/a/send", "lobby.lt", 400,
         error(QStringLiteral("the body is no JSON object"), 400)},
        {"POST", "/api/v1/boards/a/range", R"({"start": 238, "count": 2})", 400, error(range, 400)},
        {"POST", "/api/v1/boards/a/range", R"({"start": -1, "count": 1})", 400, error(range, 400)},
        {"POST", "/api/v1/boards/a/range", R"({"start": 0.5, "count": 1})", 400, error(range, 400)},
        {"POST", "/api/v1/boards/a/range", R"({"start": 0, "count": 0})", 400, error(range, 400)},
        {"POST", "/api/v1/send", R"({"boards": ["a", "b", "zz", "a"], "file": "lobby.lt"})", 202,
         json(R"({"jobs": {"a": 13}, "refused": {"b": {"error": "busy", "code": 409},
                  "zz": {"error": "no board zz", "code": 404}}})")},
        {"POST", "/api/v1/send", R"({"boards": ["b", "zz"], "file": "lobby.lt"})", 409,
         json(R"({"jobs": {}, "refused": {"b": {"error": "busy", "code": 409},
                  "zz": {"error": "no board zz", "code": 404}}, "error": "busy", "code": 409})")},
        {"POST", "/api/v1/send", R"({"boards": [], "file": "lobby.lt"})", 400,
         error(QStringLiteral("give the boards as \"boards\": [\"a\", ...]"), 400)},
    };
    for (const RouteCase &route : cases)
        check(route);
    service.stopping = true;
    check({"POST", "/api/v1/boards/a/clock", "", 503,
           error(QStringLiteral("the service is stopping"), 503)});

    const QList<Command> commands = service.takeCommands();
    ASSERT_EQ(commands.size(), 6);
    const struct
    {
        Command::Kind kind;
        const char *board;
        const char *file;
        pravik::schedule::DisplayRange range;
    } expected[] = {
        {Command::Kind::SendChanges, "a", "lobby.lt", {}},
        {Command::Kind::SendAll, "a", "lobby.lt", {}},
        {Command::Kind::SetClock, "a", "", {}},
        {Command::Kind::SendRange, "a", "", {238, 1}},
        {Command::Kind::SendRange, "a", "", {0, 239}},
        {Command::Kind::SendChanges, "a", "lobby.lt", {}},
    };
    for (int i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(commands[i].kind, expected[i].kind);
        EXPECT_EQ(commands[i].board, QLatin1String(expected[i].board));
        EXPECT_EQ(commands[i].file, QLatin1String(expected[i].file));
        EXPECT_EQ(commands[i].range, expected[i].range);
    }
}

TEST_F(HttpRoutes, PicturesAndThePageComeAsTheirTypes)
{
    const struct
    {
        const char *target;
        const char *token;
        const char *type;
        std::string body;
    } cases[] = {
        {"/api/v1/content/lobby.lt/screens/0.png", "operator", "image/png", "\x89PNG screen 0"},
        {"/api/v1/content/lobby.lt/show.gif", "operator", "image/gif", "GIF89a show"},
        {"/", nullptr, "text/html; charset=utf-8",
         readFileBytes(":/test-web/index.html").toStdString()},
        {"/app.js", nullptr, "text/javascript; charset=utf-8",
         readFileBytes(":/test-web/app.js").toStdString()},
        {"/app.css", nullptr, "text/css; charset=utf-8",
         readFileBytes(":/test-web/app.css").toStdString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        httplib::Result result = get(c.target, c.token ? operatorToken : QString());
        EXPECT_EQ(result->status, 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.type);
        EXPECT_EQ(result->body, c.body);
    }
    // The page's icon is not in this build; a page's path takes no POST.
    EXPECT_EQ(get("/favicon.svg", QString())->status, 404);
    EXPECT_EQ(get("/index.html", QString())->status, 404);
    EXPECT_EQ(post("/", QString())->status, 405);
}

TEST_F(HttpRoutes, AnUploadHandsTheDisplayFileAndItsPicturesToTheService)
{
    const httplib::MultipartFormDataItems upload = {
        {"display", "[comm]\r\n", "shop.lt", "application/octet-stream"},
        {"picture", "BM one", "C:\\pics\\a.bmp", "image/bmp"},
        {"picture", "BM two", "pics/b.bmp", "image/bmp"},
    };
    httplib::Result stored = client().Post("/api/v1/content", bearer(operatorToken), upload);
    EXPECT_EQ(stored->status, 201);
    EXPECT_EQ(stored->body, R"({"file":"shop.lt"})");
    ASSERT_EQ(service.uploads.size(), 1);
    EXPECT_EQ(service.uploads[0].name, QStringLiteral("shop.lt"));
    EXPECT_EQ(service.uploads[0].display, QByteArray("[comm]\r\n"));
    const QMap<QString, QByteArray> pictures{{QStringLiteral("C:\\pics\\a.bmp"), "BM one"},
                                             {QStringLiteral("pics/b.bmp"), "BM two"}};
    EXPECT_EQ(service.uploads[0].pictures, pictures);

    const struct
    {
        const char *what;
        httplib::MultipartFormDataItems parts;
    } refusedUploads[] = {
        {"no display file", {{"picture", "BM", "a.bmp", ""}}},
        {"two display files", {{"display", "x", "a.lt", ""}, {"display", "y", "b.lt", ""}}},
        {"a display file that leaves the folder", {{"display", "x", "../shop.lt", ""}}},
        {"an absolute display file", {{"display", "x", "/srv/shop.lt", ""}}},
        {"a part of another name", {{"display", "x", "a.lt", ""}, {"other", "y", "b", ""}}},
        {"a picture twice",
         {{"display", "x", "a.lt", ""},
          {"picture", "1", "p.bmp", ""},
          {"picture", "2", "p.bmp", ""}}},
    };
    for (const auto &c : refusedUploads) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(client().Post("/api/v1/content", bearer(operatorToken), c.parts)->status, 400);
    }
    EXPECT_EQ(post("/api/v1/content", operatorToken, "{}")->status, 400);
    EXPECT_EQ(service.uploads.size(), 1);

    service.uploadRefusal =
        refused(Refusal::BadRequest, QStringLiteral("the picture a.bmp is not in the upload"));
    httplib::Result missing =
        client().Post("/api/v1/content", bearer(operatorToken), {{"display", "x", "a.lt", ""}});
    EXPECT_EQ(missing->status, 400);
    EXPECT_EQ(missing->body, R"({"code":400,"error":"the picture a.bmp is not in the upload"})");
}

} // namespace
