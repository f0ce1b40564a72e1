// A client that trickles its request, a byte at a time, each in good time for
// the read timeout, is cut off once the request as a whole is past its limit:
// the head, the body and the TLS handshake alike. Clients that are merely
// idle between requests, or send a large body steadily, are not.
#include "http_fixture.h"

#include <openssl/ssl.h>

#include <thread>

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kLimit{1000};
constexpr milliseconds kGap{200};

// What became of a request trickled at one byte per kGap.
struct Trickled
{
    std::size_t sent = 0;    // bytes of the request the server took
    std::string received;    // what it sent back, if anything
    bool closed = false;     // whether the server ended the connection
    milliseconds cutAfter{}; // from the first trickled byte to the connection's end
};

// Sends `whole` at once, then `slow` one byte per kGap, until all is sent,
// the server speaks or ends the connection, or four times the limit passed;
// then reads what the server says until it ends the connection, which it
// must do at once, not after waiting for another request.
Trickled trickle(quint16 port, const std::string &whole, const std::string &slow)
{
    Trickled result;
    const int fd = connectTo(port);
    if (fd < 0)
        return result;
    const Clock::time_point start = Clock::now();
    bool open = whole.empty() || ::send(fd, whole.data(), whole.size(), MSG_NOSIGNAL) > 0;
    for (std::size_t i = 0; open && i < slow.size() && Clock::now() - start < 4 * kLimit; ++i) {
        open = ::send(fd, slow.data() + i, 1, MSG_NOSIGNAL) == 1;
        pollfd readable{fd, POLLIN, 0};
        if (open && ::poll(&readable, 1, int(kGap.count())) > 0)
            break;
        result.sent += open ? 1 : 0;
    }
    char buffer[4096];
    pollfd readable{fd, POLLIN, 0};
    while (::poll(&readable, 1, int(2 * kLimit.count())) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        result.closed = n <= 0;
        if (result.closed)
            break;
        result.received.append(buffer, std::size_t(n));
    }
    result.cutAfter = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    ::close(fd);
    return result;
}

// The first bytes a TLS client sends: its ClientHello.
std::string clientHello()
{
    SSL_CTX *context = SSL_CTX_new(TLS_client_method());
    SSL *ssl = SSL_new(context);
    BIO *in = BIO_new(BIO_s_mem());
    BIO *out = BIO_new(BIO_s_mem());
    SSL_set_bio(ssl, in, out);
    SSL_connect(ssl);
    std::string hello(std::size_t(BIO_ctrl_pending(out)), '\0');
    BIO_read(out, hello.data(), int(hello.size()));
    SSL_free(ssl);
    SSL_CTX_free(context);
    return hello;
}

class SlowClients : public HttpFixture
{
protected:
    RemoteControlConfig limited()
    {
        RemoteControlConfig limited = config();
        limited.requestLimits.head = kLimit;
        // Far longer than the gap between two bytes: only the request's
        // limit can end a trickle.
        limited.readTimeout = std::chrono::seconds(10);
        return limited;
    }

    std::string boardsRequest() const
    {
        return "GET /api/v1/boards HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " +
               operatorToken.toStdString() + "\r\n\r\n";
    }
};

TEST_F(SlowClients, ATrickleIsCutOffAtTheRequestsLimit)
{
    const std::string send =
        rawRequest("POST", "/api/v1/send", operatorToken, "Content-Length: 100\r\n");
    const struct
    {
        const char *what;
        bool tls;
        std::string whole;
        std::string slow;
    } cases[] = {
        {"the head", false, {}, boardsRequest()},
        {"the body", false, send, std::string(100, ' ')},
        {"the TLS handshake", true, {}, clientHello()},
    };
    const QString certificate = state.filePath(QStringLiteral("cert.pem"));
    const QString key = state.filePath(QStringLiteral("key.pem"));
    ASSERT_TRUE(writeTestCertificate(certificate, key));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RemoteControlConfig config = limited();
        if (c.tls) {
            config.certificate = certificate;
            config.key = key;
        }
        startServer(config);
        const Trickled trickled = trickle(control->port(), c.whole, c.slow);
        EXPECT_TRUE(trickled.closed);
        EXPECT_LT(trickled.sent, c.slow.size());
        EXPECT_GE(trickled.cutAfter, kLimit);
        EXPECT_EQ(trickled.received.find("HTTP/1.1 2"), std::string::npos);
    }
    EXPECT_TRUE(service.takeCommands().isEmpty());
}

TEST_F(SlowClients, IdleBetweenRequestsAndASteadyLargeBodyAreNotCutOff)
{
    startServer(limited());
    // The clock starts at each request's first byte, not at the connection's.
    httplib::Client client("127.0.0.1", control->port());
    client.set_keep_alive(true);
    EXPECT_EQ(client.Get("/api/v1/boards", bearer(operatorToken))->status, 200);
    std::this_thread::sleep_for(kLimit + kGap);
    const httplib::Result again = client.Get("/api/v1/boards", bearer(operatorToken));
    ASSERT_TRUE(again) << httplib::to_string(again.error());
    EXPECT_EQ(again->status, 200);

    // 48 KiB sent over more than the head's limit, at 40 KiB a second: the
    // body's allowance grows with what it has sent.
    const std::string body =
        R"({"boards": ["a"], "file": "lobby.lt"})" + std::string(48 * 1024, ' ');
    const int fd = connectTo(control->port());
    const std::string head = rawRequest("POST", "/api/v1/send", operatorToken,
                                        "Content-Length: " + std::to_string(body.size()) + "\r\n");
    const std::string request = head + body;
    std::size_t at = 0;
    for (const std::size_t piece : {head.size() + 16 * 1024, std::size_t(16 * 1024)}) {
        ASSERT_EQ(::send(fd, request.data() + at, piece, MSG_NOSIGNAL), ssize_t(piece));
        at += piece;
        std::this_thread::sleep_for(milliseconds(600));
    }
    ASSERT_EQ(::send(fd, request.data() + at, request.size() - at, MSG_NOSIGNAL),
              ssize_t(request.size() - at));
    std::string answer(64, '\0');
    pollfd readable{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&readable, 1, 5000), 1);
    answer.resize(std::size_t(std::max<ssize_t>(::recv(fd, answer.data(), answer.size(), 0), 0)));
    ::close(fd);
    EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 202");
    EXPECT_EQ(service.takeCommands().size(), 1);
}

} // namespace
