#pragma once

// The remote control started on 127.0.0.1 (a free port) over the fake
// service, with an operator's and a viewer's token, the failure limit on a
// clock the test moves, and clients that speak to it: cpp-httplib's for
// well-formed requests, a raw socket for everything a client should not send.
#include "fake_remote_service.h"
#include "test_files.h"

#include "service/http/remote_control.h"
#include "service/http/tokens.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <httplib.h>
#include <mutex>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace pravikd::http;

// The steady clock of the failure limit, moved by the test.
class ManualSteadyClock
{
public:
    std::chrono::steady_clock::time_point now() const
    {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(m_ms.load()));
    }
    void advance(std::chrono::milliseconds by) { m_ms += by.count(); }

private:
    std::atomic<qint64> m_ms{1'000'000};
};

// What a raw exchange brought back: the status of the first answer, its
// header block and body, and whether the server closed the connection.
struct RawAnswer
{
    int status = 0;
    std::string head;
    std::string body;
    bool closed = false;

    bool hasHeader(const std::string &line) const { return head.find(line) != std::string::npos; }
};

// Whether `bytes` hold a whole answer with a Content-Length.
inline bool answerComplete(const std::string &bytes)
{
    const std::size_t end = bytes.find("\r\n\r\n");
    const std::size_t length = bytes.find("Content-Length: ");
    if (end == std::string::npos || length == std::string::npos || length > end)
        return false;
    return bytes.size() >= end + 4 + std::stoul(bytes.substr(length + 16));
}

// A connection to 127.0.0.1:`port`, or -1.
inline int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends `bytes` and reads until a whole answer came, the server closed the
// connection, or `patience` passed without a byte.
inline RawAnswer rawExchange(quint16 port, const std::string &bytes,
                             std::chrono::milliseconds patience = std::chrono::milliseconds(3000))
{
    RawAnswer answer;
    const int fd = connectTo(port);
    if (fd < 0)
        return answer;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += std::size_t(n);
    }
    std::string all;
    pollfd readable{fd, POLLIN, 0};
    while (::poll(&readable, 1, int(patience.count())) > 0) {
        char buffer[65536];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            answer.closed = true;
            break;
        }
        all.append(buffer, std::size_t(n));
        if (answerComplete(all))
            break;
    }
    ::close(fd);
    const std::size_t end = all.find("\r\n\r\n");
    answer.head = all.substr(0, end);
    answer.body = end == std::string::npos ? std::string() : all.substr(end + 4);
    if (all.rfind("HTTP/1.1 ", 0) == 0)
        answer.status = std::atoi(all.c_str() + 9);
    return answer;
}

// A self-signed certificate for 127.0.0.1, made afresh for each test the way
// the README tells an operator to make one, so that no fixture ever expires.
inline bool writeTestCertificate(const QString &certificateFile, const QString &keyFile)
{
    return runProgram(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                       "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                       "subjectAltName=IP:127.0.0.1", "-keyout", keyFile, "-out",
                       certificateFile})
               .status == 0;
}

inline httplib::Headers bearer(const QString &token)
{
    return {{"Authorization", "Bearer " + token.toStdString()}};
}

class HttpFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        operatorToken = makeToken(QStringLiteral("alice"), Role::Operator);
        viewerToken = makeToken(QStringLiteral("victor"), Role::Viewer);
        startServer(config());
    }

    QString makeToken(const QString &name, Role role)
    {
        const common::Expected<QString> token = createToken(tokenFile(), name, role);
        EXPECT_TRUE(token.ok());
        return token ? *token : QString();
    }

    QString tokenFile() const { return state.filePath(QStringLiteral("tokens")); }
    QString auditFile() const { return state.filePath(QStringLiteral("audit.log")); }

    RemoteControlConfig config()
    {
        RemoteControlConfig config;
        config.port = 0;
        config.stateFolder = state.path();
        config.webRoot = QStringLiteral(":/test-web");
        config.steadyNow = [this] { return steady.now(); };
        config.now = [] { return QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC); };
        return config;
    }

    void startServer(const RemoteControlConfig &config)
    {
        control.reset();
        common::Expected<std::unique_ptr<RemoteControl>> started =
            startRemoteControl(config, service, [this](LogLevel, const QString &message) {
                const std::lock_guard lock(logMutex);
                logged << message;
            });
        ASSERT_TRUE(started.ok()) << started.failure().text.toStdString();
        control = std::move(*started);
    }

    httplib::Client client() const
    {
        httplib::Client client("127.0.0.1", control->port());
        client.set_read_timeout(10);
        return client;
    }

    httplib::Result get(const std::string &path, const QString &token)
    {
        return client().Get(path, token.isNull() ? httplib::Headers() : bearer(token));
    }

    httplib::Result post(const std::string &path, const QString &token,
                         const std::string &body = "{}")
    {
        return client().Post(path, token.isNull() ? httplib::Headers() : bearer(token), body,
                             "application/json");
    }

    // An HTTP/1.1 request as the bytes on the wire.
    std::string rawRequest(const std::string &method, const std::string &target,
                           const QString &token, const std::string &extraHeaders = {},
                           const std::string &body = {}) const
    {
        std::string request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        if (!token.isNull())
            request += "Authorization: Bearer " + token.toStdString() + "\r\n";
        if (!body.empty())
            request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
        return request + extraHeaders + "Connection: close\r\n\r\n" + body;
    }

    QStringList log()
    {
        const std::lock_guard lock(logMutex);
        return logged;
    }

    QTemporaryDir stateDir;
    QDir state{stateDir.path()};
    FakeRemoteService service;
    ManualSteadyClock steady;
    QString operatorToken;
    QString viewerToken;
    std::mutex logMutex;
    QStringList logged;
    std::unique_ptr<RemoteControl> control;
};
