#include "deadline_server.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <climits>
#include <httplib.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pravikd::http {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often a connection waiting for its next request looks whether the
// server is stopping.
constexpr milliseconds kStopCheck{100};

milliseconds libraryTime(time_t seconds, time_t microseconds)
{
    return milliseconds(qint64(seconds) * 1000 + qint64(microseconds) / 1000);
}

void addressOf(int (*name)(int, sockaddr *, socklen_t *), int fd, std::string &ip, int &port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (name(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (::getnameinfo(reinterpret_cast<sockaddr *>(&address), length, host, sizeof host, service,
                      sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

// A connection's socket as the library reads and writes it, with the request
// under way's deadline. The socket is non-blocking: every wait is a poll()
// bounded by the library's read or write timeout, and a read never waits past
// the deadline.
class DeadlineStream : public httplib::Stream
{
public:
    struct Times
    {
        RequestLimits limits;
        milliseconds read;
        milliseconds write;
    };

    DeadlineStream(socket_t fd, const Times &times) : m_fd(fd), m_times(times)
    {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }

    // Waits up to `idle` for the next request's first byte, which starts its
    // clock; false when none comes or the server stops meanwhile.
    bool awaitRequest(milliseconds idle, const std::atomic<socket_t> &listening)
    {
        const Clock::time_point until = Clock::now() + idle;
        // A client cut off is told so by the library's answer, then let go:
        // what it still trickles would only make another request to cut off.
        if (m_cutOff)
            return false;
        bool arrived = buffered() || pending();
        while (!arrived && listening != INVALID_SOCKET && Clock::now() < until)
            arrived = wait(POLLIN, std::min(until, Clock::now() + kStopCheck));
        if (!arrived || listening == INVALID_SOCKET)
            return false;
        m_headDeadline = Clock::now() + m_times.limits.head;
        m_bodyStart.reset();
        m_bodyBytes = 0;
        return true;
    }

    // What has to happen on the connection before its first request: the TLS
    // handshake.
    virtual bool prepared() { return true; }

    void headRead()
    {
        m_bodyStart = Clock::now();
        m_bodyBytes = 0;
    }

    bool is_readable() const override
    {
        return buffered() || pending() || wait(POLLIN, readUntil());
    }

    bool is_writable() const override { return wait(POLLOUT, Clock::now() + m_times.write); }

    ssize_t read(char *data, size_t size) override
    {
        while (!buffered()) {
            if (Clock::now() >= deadline()) {
                m_cutOff = true;
                return -1;
            }
            short wants = 0;
            const ssize_t got = receive(m_buffer, sizeof m_buffer, wants);
            if (got > 0) {
                m_begin = 0;
                m_end = std::size_t(got);
                continue;
            }
            if (got == 0 || wants == 0)
                return got;
            // Past the read timeout; past the deadline, the loop cuts off.
            if (!wait(wants, readUntil()) && Clock::now() < deadline())
                return -1;
        }
        const std::size_t taken = std::min(size, m_end - m_begin);
        std::copy_n(m_buffer + m_begin, taken, data);
        m_begin += taken;
        if (m_bodyStart)
            m_bodyBytes += qint64(taken);
        return ssize_t(taken);
    }

    // All of it or nothing: the library writes an answer's head in one call
    // and would not write the rest of it.
    ssize_t write(const char *data, size_t size) override
    {
        std::size_t sent = 0;
        while (sent < size) {
            short wants = 0;
            const ssize_t put = transmit(data + sent, size - sent, wants);
            if (put > 0)
                sent += std::size_t(put);
            else if (wants == 0 || !wait(wants, Clock::now() + m_times.write))
                return -1;
        }
        return ssize_t(size);
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        addressOf(::getpeername, m_fd, ip, port);
    }

    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        addressOf(::getsockname, m_fd, ip, port);
    }

    socket_t socket() const override { return m_fd; }

protected:
    // Bytes read or written (> 0), 0 at the connection's end, or -1 with
    // `wants` set to the poll() event to wait for when it would block (0: a
    // failure).
    virtual ssize_t receive(char *data, std::size_t size, short &wants)
    {
        const ssize_t got = ::recv(m_fd, data, size, 0);
        if (got < 0)
            wants = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? POLLIN : 0;
        return got;
    }

    virtual ssize_t transmit(const char *data, std::size_t size, short &wants)
    {
        const ssize_t put = ::send(m_fd, data, size, MSG_NOSIGNAL);
        if (put < 0)
            wants = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? POLLOUT : 0;
        return put;
    }

    virtual bool pending() const { return false; }

    // Until `until` at most: whether the socket is ready for `events` (or
    // broken, which the next read or write then reports).
    bool wait(short events, Clock::time_point until) const
    {
        for (;;) {
            const auto left = std::chrono::ceil<milliseconds>(until - Clock::now()).count();
            pollfd one{m_fd, events, 0};
            const int ready = ::poll(&one, 1, int(std::max<qint64>(left, 0)));
            if (ready > 0)
                return true;
            if (ready == 0 || errno != EINTR)
                return false;
        }
    }

    Clock::time_point deadline() const
    {
        if (!m_bodyStart)
            return m_headDeadline;
        return *m_bodyStart + m_times.limits.head +
               milliseconds(m_bodyBytes * 1000 / std::max<qint64>(m_times.limits.slowestBody, 1));
    }

    // A read waits for the library's read timeout, never past the deadline.
    Clock::time_point readUntil() const
    {
        return std::min(Clock::now() + m_times.read, deadline());
    }

    Clock::time_point headDeadline() const { return m_headDeadline; }

    const socket_t m_fd;

private:
    bool buffered() const { return m_begin < m_end; }

    const Times m_times;
    Clock::time_point m_headDeadline = Clock::now();
    std::optional<Clock::time_point> m_bodyStart;
    qint64 m_bodyBytes = 0;
    bool m_cutOff = false;
    char m_buffer[16 * 1024];
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
};

// The same over TLS; the handshake must be done by the first request's
// deadline.
class TlsStream : public DeadlineStream
{
public:
    TlsStream(socket_t fd, SSL *ssl, const Times &times) : DeadlineStream(fd, times), m_ssl(ssl) {}

    bool prepared() override
    {
        while (!m_shaken) {
            ::ERR_clear_error();
            const int done = ::SSL_accept(m_ssl);
            if (done == 1) {
                m_shaken = true;
                break;
            }
            const short wants = waitingFor(done);
            if (wants == 0 || !wait(wants, headDeadline()))
                return false;
        }
        return true;
    }

protected:
    ssize_t receive(char *data, std::size_t size, short &wants) override
    {
        ::ERR_clear_error();
        const int got = ::SSL_read(m_ssl, data, int(std::min<std::size_t>(size, INT_MAX)));
        if (got > 0)
            return got;
        if (::SSL_get_error(m_ssl, got) == SSL_ERROR_ZERO_RETURN)
            return 0;
        wants = waitingFor(got);
        return -1;
    }

    ssize_t transmit(const char *data, std::size_t size, short &wants) override
    {
        ::ERR_clear_error();
        const int put = ::SSL_write(m_ssl, data, int(std::min<std::size_t>(size, INT_MAX)));
        if (put > 0)
            return put;
        wants = waitingFor(put);
        return -1;
    }

    bool pending() const override { return ::SSL_pending(m_ssl) > 0; }

private:
    short waitingFor(int result) const
    {
        switch (::SSL_get_error(m_ssl, result)) {
        case SSL_ERROR_WANT_READ:
            return POLLIN;
        case SSL_ERROR_WANT_WRITE:
            return POLLOUT;
        default:
            return 0;
        }
    }

    SSL *const m_ssl;
    bool m_shaken = false;
};

// The stream of the request this thread is reading, for requestHeadRead().
thread_local DeadlineStream *t_reading = nullptr;

// The library's server with its connections served through a DeadlineStream.
// Its process_and_close_socket() is the hook the library gives every
// accepted connection to; the loop is the library's own: requests one after
// the other while the client keeps the connection and the server runs.
template <typename Base> class DeadlineServer : public Base
{
public:
    template <typename... Arguments>
    explicit DeadlineServer(const RequestLimits &limits, Arguments &&...arguments)
        : Base(std::forward<Arguments>(arguments)...), m_limits(limits)
    {
    }

protected:
    DeadlineStream::Times times() const
    {
        return {m_limits, libraryTime(this->read_timeout_sec_, this->read_timeout_usec_),
                libraryTime(this->write_timeout_sec_, this->write_timeout_usec_)};
    }

    bool serve(DeadlineStream &stream, const std::function<void(httplib::Request &)> &setup)
    {
        const milliseconds idle(qint64(this->keep_alive_timeout_sec_) * 1000);
        t_reading = &stream;
        bool served = false;
        for (std::size_t left = this->keep_alive_max_count_; left > 0; --left) {
            if (!stream.awaitRequest(idle, this->svr_sock_) || !stream.prepared())
                break;
            bool closed = false;
            served = this->process_request(stream, left == 1, closed, setup);
            if (!served || closed)
                break;
        }
        t_reading = nullptr;
        return served;
    }

    static void closeSocket(socket_t fd)
    {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }

private:
    const RequestLimits m_limits;
};

class PlainServer final : public DeadlineServer<httplib::Server>
{
public:
    using DeadlineServer::DeadlineServer;

private:
    bool process_and_close_socket(socket_t fd) override
    {
        DeadlineStream stream(fd, times());
        const bool served = serve(stream, nullptr);
        closeSocket(fd);
        return served;
    }
};

class TlsServer final : public DeadlineServer<httplib::SSLServer>
{
public:
    using DeadlineServer::DeadlineServer;

private:
    bool process_and_close_socket(socket_t fd) override
    {
        bool served = false;
        SSL *ssl = ::SSL_new(ssl_context());
        if (ssl && ::SSL_set_fd(ssl, fd) == 1) {
            TlsStream stream(fd, ssl, times());
            served = serve(stream, [ssl](httplib::Request &request) { request.ssl = ssl; });
            // A clean end is said to the client; a broken one is not.
            if (served) {
                ::ERR_clear_error();
                ::SSL_shutdown(ssl);
            }
        }
        ::SSL_free(ssl);
        closeSocket(fd);
        return served;
    }
};

} // namespace

std::unique_ptr<httplib::Server> makeDeadlineServer(const RequestLimits &limits,
                                                    const QString &certificate, const QString &key)
{
    if (certificate.isEmpty())
        return std::make_unique<PlainServer>(limits);
    return std::make_unique<TlsServer>(limits, QFile::encodeName(certificate).constData(),
                                       QFile::encodeName(key).constData());
}

void requestHeadRead()
{
    if (t_reading)
        t_reading->headRead();
}

} // namespace pravikd::http
