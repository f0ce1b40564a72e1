// What a client cannot make the server do: reach a file outside the content
// folder, send more than a route takes, send headers beyond 8 KiB, or hold a
// thread by stopping halfway through its request.
#include "http_fixture.h"

namespace {

class HttpLimits : public HttpFixture
{
};

TEST_F(HttpLimits, PathTricksNeverReachTheService)
{
    const char *const targets[] = {
        "/api/v1/content/../../etc/passwd/show.gif",
        "/api/v1/content/%2e%2e/secret.lt/show.gif",
        "/api/v1/content/%2E%2E%2Fsecret.lt/show.gif",
        "/api/v1/content/shop%2F..%2F..%2Fsecret.lt/screens/0.png",
        "/api/v1/content/%252e%252e%252fsecret.lt/show.gif",
        "/api/v1/content/%2Fetc%2Fpasswd/show.gif",
        "/api/v1/content//etc/passwd/show.gif",
        "/api/v1/content/C:%5Csecret.lt/show.gif",
        "/api/v1/content/..%5Csecret.lt/show.gif",
        "/api/v1/content/lobby.lt%00.png/show.gif",
        "/api/v1/content/lobby%zz.lt/show.gif",
        "/api/v1/content/./lobby.lt/show.gif",
    };
    for (const char *target : targets) {
        SCOPED_TRACE(target);
        const RawAnswer answer =
            rawExchange(control->port(), rawRequest("GET", target, operatorToken));
        EXPECT_TRUE(answer.status == 400 || answer.status == 404) << answer.status;
        EXPECT_EQ(answer.body.find("GIF89a"), std::string::npos);
    }
    EXPECT_EQ(service.filesAsked, QStringList());
    const char *const files[] = {"../lobby.lt", "/srv/lobby.lt", "a\\\\b.lt",
                                 "%2e%2e/x.lt", "a/./b.lt",      ""};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        const std::string body = std::string(R"({"file": ")") + file + "\"}";
        EXPECT_EQ(post("/api/v1/boards/a/send", operatorToken, body)->status, 400);
    }
    EXPECT_TRUE(service.takeCommands().isEmpty());
    // A file named plainly or with its '/' encoded once is asked for.
    EXPECT_EQ(get("/api/v1/content/lobby.lt/show.gif", operatorToken)->status, 200);
    EXPECT_EQ(get("/api/v1/content/sub%2Flobby.lt/show.gif", operatorToken)->status, 404);
    EXPECT_EQ(service.filesAsked,
              (QStringList{QStringLiteral("lobby.lt"), QStringLiteral("sub/lobby.lt")}));
}

TEST_F(HttpLimits, BodiesBeyondTheRoutesLimitAre413)
{
    const std::string justRight(64 * 1024, ' ');
    const struct
    {
        const char *what;
        std::string request;
        int status;
    } cases[] = {
        {"64 KiB of JSON", rawRequest("POST", "/api/v1/send", operatorToken, {}, justRight), 400},
        {"a byte more", rawRequest("POST", "/api/v1/send", operatorToken, {}, justRight + " "),
         413},
        {"a byte more, chunked",
         rawRequest("POST", "/api/v1/boards/a/send", operatorToken,
                    "Transfer-Encoding: chunked\r\n") +
             "10001\r\n" + justRight + " \r\n0\r\n\r\n",
         413},
        {"an upload said to be over 32 MiB",
         rawRequest("POST", "/api/v1/content", operatorToken,
                    "Content-Length: 33554433\r\nContent-Type: multipart/form-data; "
                    "boundary=x\r\n"),
         413},
        {"a page's request with a body", rawRequest("POST", "/", QString(), {}, justRight + " "),
         413},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rawExchange(control->port(), c.request).status, c.status);
    }
    // An upload of more than 32 MiB that does not say so beforehand.
    const std::string part = "--x\r\nContent-Disposition: form-data; name=\"display\"; "
                             "filename=\"big.lt\"\r\n\r\n";
    const std::string big = part + std::string(32 * 1024 * 1024 + 1, 'a') + "\r\n--x--\r\n";
    std::string chunked;
    for (std::size_t at = 0; at < big.size(); at += 1 << 20) {
        const std::string piece = big.substr(at, 1 << 20);
        chunked += QByteArray::number(qulonglong(piece.size()), 16).toStdString() + "\r\n" + piece +
                   "\r\n";
    }
    const RawAnswer upload =
        rawExchange(control->port(), rawRequest("POST", "/api/v1/content", operatorToken,
                                                "Transfer-Encoding: chunked\r\nContent-Type: "
                                                "multipart/form-data; boundary=x\r\n") +
                                         chunked + "0\r\n\r\n");
    EXPECT_EQ(upload.status, 413);
    EXPECT_TRUE(service.uploads.isEmpty());
}

TEST_F(HttpLimits, HeadersBeyond8KiBAreRefused)
{
    std::string many;
    for (int i = 0; i < 90; ++i)
        many += "X-Filler-" + std::to_string(i) + ": " + std::string(90, 'x') + "\r\n";
    std::string fewer;
    for (int i = 0; i < 70; ++i)
        fewer += "X-Filler-" + std::to_string(i) + ": " + std::string(90, 'x') + "\r\n";
    const std::string oneLine = "X-Filler: " + std::string(8200, 'x') + "\r\n";
    EXPECT_EQ(
        rawExchange(control->port(), rawRequest("GET", "/api/v1/boards", operatorToken, fewer))
            .status,
        200);
    EXPECT_EQ(rawExchange(control->port(), rawRequest("GET", "/api/v1/boards", operatorToken, many))
                  .status,
              431);
    // One line beyond the bound is the library's to refuse, before any route.
    EXPECT_EQ(rawExchange(control->port(),
                          rawRequest("POST", "/api/v1/boards/a/clock", operatorToken, oneLine))
                  .status,
              400);
    EXPECT_TRUE(service.takeCommands().isEmpty());
}

TEST_F(HttpLimits, AClientThatStopsHalfwayIsCutOff)
{
    RemoteControlConfig quick = config();
    quick.readTimeout = std::chrono::milliseconds(200);
    startServer(quick);
    const struct
    {
        const char *what;
        std::string bytes;
    } halves[] = {
        {"in the request line", "GET /api/v1/boa"},
        {"in the headers", "GET /api/v1/boards HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Half: "},
        {"in the body",
         rawRequest("POST", "/api/v1/send", operatorToken, "Content-Length: 100\r\n") +
             "{\"boards\": "},
    };
    for (const auto &half : halves) {
        SCOPED_TRACE(half.what);
        // Far longer than the timeout, so only a server that never cuts off
        // fails. It closes the connection, or answers that it could not read.
        const RawAnswer answer =
            rawExchange(control->port(), half.bytes, std::chrono::milliseconds(20000));
        EXPECT_TRUE(answer.closed || answer.status == 400) << answer.head;
    }
    EXPECT_TRUE(service.takeCommands().isEmpty());
}

} // namespace
