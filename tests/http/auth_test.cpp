// Who may use the API: a token on every route, loopback included; a viewer
// only looks; an address that keeps failing is shut out for a minute; and
// every answer, whoever gets it, carries the security headers and no cookie.
#include "http_fixture.h"

namespace {

struct RouteCase
{
    const char *method;
    const char *path;
    const char *body;
};

// Every route of the API, with a body it would take.
const RouteCase kRoutes[] = {
    {"GET", "/api/v1/boards", ""},
    {"GET", "/api/v1/boards/a", ""},
    {"POST", "/api/v1/boards/a/send", R"({"file": "lobby.lt"})"},
    {"POST", "/api/v1/send", R"({"boards": ["a"], "file": "lobby.lt"})"},
    {"POST", "/api/v1/boards/a/clock", ""},
    {"POST", "/api/v1/boards/a/range", R"({"start": 0, "count": 2})"},
    {"POST", "/api/v1/boards/a/stop", ""},
    {"GET", "/api/v1/jobs/7", ""},
    {"GET", "/api/v1/plan", ""},
    {"GET", "/api/v1/content", ""},
    {"GET", "/api/v1/content/lobby.lt/screens/0.png", ""},
    {"GET", "/api/v1/content/lobby.lt/show.gif", ""},
    {"POST", "/api/v1/content", ""},
    {"GET", "/api/v1/audit", ""},
    {"GET", "/api/v1/events", ""},
    {"GET", "/api/v1/me", ""},
    {"GET", "/api/v1/no-such-route", ""},
};

class HttpAuth : public HttpFixture
{
protected:
    RawAnswer call(const RouteCase &route, const QString &token, const std::string &headers = {})
    {
        return rawExchange(control->port(),
                           rawRequest(route.method, route.path, token, headers, route.body));
    }
};

TEST_F(HttpAuth, EveryRouteRefusesAMissingOrUnknownToken)
{
    const QString unknown = QStringLiteral("pvk_") + QString(32, u'A');
    for (const RouteCase &route : kRoutes) {
        SCOPED_TRACE(std::string(route.method) + " " + route.path);
        for (const QString &token : {QString(), unknown}) {
            const RawAnswer answer = call(route, token);
            EXPECT_EQ(answer.status, 401);
            EXPECT_TRUE(answer.hasHeader("WWW-Authenticate: Bearer"));
            EXPECT_NE(answer.body.find("\"code\":401"), std::string::npos) << answer.body;
        }
        // A scheme other than Bearer is no token either.
        EXPECT_EQ(
            call(route, QString(), "Authorization: Basic " + operatorToken.toStdString() + "\r\n")
                .status,
            401);
        steady.advance(std::chrono::seconds(61)); // three failures a route, never ten a minute
    }
    EXPECT_TRUE(service.takeCommands().isEmpty());
    EXPECT_TRUE(service.uploads.isEmpty());
}

TEST_F(HttpAuth, AViewerMayLookButNotChange)
{
    for (const RouteCase &route : kRoutes) {
        SCOPED_TRACE(std::string(route.method) + " " + route.path);
        if (std::string(route.path) == "/api/v1/events")
            continue; // a stream that stays open; its admission is the same as every GET's
        const int status = call(route, viewerToken).status;
        if (std::string(route.method) == "POST")
            EXPECT_EQ(status, 403);
        else
            EXPECT_NE(status, 403);
        EXPECT_NE(status, 401);
    }
    EXPECT_TRUE(service.takeCommands().isEmpty());
    // The operator may do what the viewer may not.
    EXPECT_EQ(post("/api/v1/boards/a/clock", operatorToken)->status, 202);
    // Each learns who it is, for the console to show only what it may do.
    const RawAnswer viewer = call({"GET", "/api/v1/me", ""}, viewerToken);
    EXPECT_EQ(viewer.status, 200);
    EXPECT_NE(viewer.body.find(R"("role":"viewer")"), std::string::npos) << viewer.body;
    EXPECT_NE(call({"GET", "/api/v1/me", ""}, operatorToken).body.find(R"("role":"operator")"),
              std::string::npos);
}

TEST_F(HttpAuth, TenFailuresShutTheAddressOutForAMinuteWhateverItSendsThen)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(get("/api/v1/boards", QStringLiteral("pvk_wrong"))->status, 401) << i;
    httplib::Result shutOut = get("/api/v1/boards", operatorToken);
    EXPECT_EQ(shutOut->status, 429);
    EXPECT_EQ(shutOut->get_header_value("Retry-After"), "60");
    EXPECT_EQ(post("/api/v1/boards/a/clock", operatorToken)->status, 429);
    EXPECT_EQ(get("/", QString())->status, 200); // the page holds nothing to guess at
    steady.advance(std::chrono::seconds(59));
    EXPECT_EQ(get("/api/v1/boards", operatorToken)->status, 429);
    steady.advance(std::chrono::seconds(1));
    EXPECT_EQ(get("/api/v1/boards", operatorToken)->status, 200);
    EXPECT_EQ(service.takeCommands().size(), 0);
}

TEST_F(HttpAuth, OnlyFailuresWithinAMinuteCount)
{
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(get("/api/v1/boards", operatorToken)->status, 200);
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(get("/api/v1/boards", QString())->status, 401);
    EXPECT_EQ(get("/api/v1/boards", operatorToken)->status, 200);
    steady.advance(std::chrono::seconds(60));
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(get("/api/v1/boards", QString())->status, 401);
    EXPECT_EQ(get("/api/v1/boards", operatorToken)->status, 200);
}

TEST_F(HttpAuth, EveryAnswerCarriesTheSecurityHeadersAndNoCookie)
{
    const std::string hugeLine = "X-Filler: " + std::string(9000, 'x') + "\r\n";
    const struct
    {
        const char *what;
        std::string request;
    } cases[] = {
        {"page", rawRequest("GET", "/", QString())},
        {"script", rawRequest("GET", "/app.js", QString())},
        {"no page", rawRequest("GET", "/secret", QString())},
        {"API", rawRequest("GET", "/api/v1/boards", operatorToken)},
        {"API 404", rawRequest("GET", "/api/v1/boards/zz", operatorToken)},
        {"API 405", rawRequest("DELETE", "/api/v1/boards", operatorToken)},
        {"API 401", rawRequest("GET", "/api/v1/boards", QString())},
        {"API 413",
         rawRequest("POST", "/api/v1/send", operatorToken, "Content-Length: 100000\r\n")},
        {"library 400", "NONSENSE\r\n\r\n"},
        {"library 400, header line", rawRequest("GET", "/", QString(), hugeLine)},
        {"library 414", rawRequest("GET", "/" + std::string(9000, 'a'), QString())},
        {"preflight", rawRequest("OPTIONS", "/api/v1/boards", operatorToken,
                                 "Origin: http://elsewhere\r\nAccess-Control-Request-Method: "
                                 "POST\r\n")},
    };
    const char *expected[] = {
        "Content-Security-Policy: default-src 'none'; script-src 'self'; style-src 'self'; "
        "img-src 'self' blob: data:; connect-src 'self'; base-uri 'none'; form-action 'none'; "
        "frame-ancestors 'none'",
        "X-Frame-Options: DENY",
        "X-Content-Type-Options: nosniff",
        "Referrer-Policy: no-referrer",
        "Cache-Control: no-store",
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const RawAnswer answer = rawExchange(control->port(), c.request);
        EXPECT_GT(answer.status, 0);
        for (const char *header : expected)
            EXPECT_TRUE(answer.hasHeader(header)) << answer.head;
        EXPECT_FALSE(answer.hasHeader("Set-Cookie"));
        EXPECT_FALSE(answer.hasHeader("Access-Control-"));
        EXPECT_FALSE(answer.hasHeader("Strict-Transport-Security"));
        if (answer.status >= 400) {
            EXPECT_NE(answer.body.find("\"code\":" + std::to_string(answer.status)),
                      std::string::npos)
                << answer.body;
        }
    }
}

} // namespace
