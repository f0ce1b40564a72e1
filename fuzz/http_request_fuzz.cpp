// Any bytes as one HTTP request to pravikd's remote control: cpp-httplib's
// parser, the server's handlers (the admission before a body, the bounded
// body and multipart readers), the routes and their JSON bodies, against a
// fake service, without a socket. Two tokens are planted, "pvk_fuzz" (an
// operator's) and "pvk_look" (a viewer's), so that the seeds reach every
// route; the failure limit's clock moves a minute on between inputs.

#include "service/http/audit_log.h"
#include "service/http/event_feed.h"
#include "service/http/http_server.h"
#include "service/http/rate_limiter.h"
#include "service/http/remote_api.h"
#include "service/http/static_page.h"
#include "service/http/tokens.h"

#include "tests/http/fake_remote_service.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <httplib.h>

using namespace pravikd::http;

namespace {

// The request's bytes to read, the answer's to forget.
class BytesStream : public httplib::Stream
{
public:
    BytesStream(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool is_readable() const override { return m_at < m_size; }
    bool is_writable() const override { return true; }
    ssize_t read(char *ptr, size_t size) override
    {
        const size_t n = std::min(size, m_size - m_at);
        std::memcpy(ptr, m_data + m_at, n);
        m_at += n;
        return ssize_t(n);
    }
    ssize_t write(const char *, size_t size) override { return ssize_t(size); }
    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        ip = "127.0.0.1";
        port = 8787;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The server's request handling, one request at a time, on the caller's thread.
class ByteServer : public httplib::Server
{
public:
    using httplib::Server::process_request;
};

struct Harness
{
    Harness()
    {
        QFile file(dir.filePath(QStringLiteral("tokens")));
        if (file.open(QIODevice::WriteOnly))
            file.write("fuzz operator " + tokenHash("pvk_fuzz").toHex() + "\nlook viewer " +
                       tokenHash("pvk_look").toHex() + "\n");
        file.close();
        (void)tokens.load();
        (void)audit.open();
        // A stream would wait for events; with the hub closed it is refused at once.
        events.closeAll();
        installHandlers(server, api, ServerOptions{});
    }

    QTemporaryDir dir;
    FakeRemoteService service;
    TokenStore tokens{QDir(dir.path()).filePath(QStringLiteral("tokens")), {}};
    std::chrono::steady_clock::time_point clock{};
    RateLimiter limiter{[this] { return clock; }};
    // The trail goes nowhere: what is written is the audit tests' business,
    // and a disk's flush on every input would slow the fuzzer down to nothing.
    AuditLog audit{QStringLiteral("/dev/null")};
    EventHub events;
    StaticPage page{QStringLiteral(":/no-page")};
    RemoteApi api{{service,
                   tokens,
                   limiter,
                   audit,
                   events,
                   page,
                   [] { return QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC); },
                   {}}};
    ByteServer server;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness *harness = new Harness;
    harness->clock += std::chrono::seconds(61);
    BytesStream stream(data, size);
    bool closed = false;
    harness->server.process_request(stream, true, closed, nullptr);
    harness->service.uploads.clear();
    harness->service.takeCommands();
    return 0;
}
