#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <memory>

namespace httplib {
class Server;
}

namespace pravikd::http {

// How long a client may take over a request. The library's own read timeout
// holds for one read only, so a client that trickles a byte every few
// seconds would keep a server thread for ever; these bound the whole
// request. The head must be whole within `head` of the request's first
// byte; the body then gets the same again plus one second for every
// `slowestBody` bytes it has sent, so a large upload over a slow line gets
// through while a trickle does not.
struct RequestLimits
{
    std::chrono::milliseconds head{10000};
    qint64 slowestBody = 16 * 1024; // bytes a second
};

// A server, HTTPS with a certificate and key, HTTP without, whose
// connections are cut off when a request takes longer than `limits` allow.
// The TLS handshake counts as part of the first request's head.
std::unique_ptr<httplib::Server> makeDeadlineServer(const RequestLimits &limits,
                                                    const QString &certificate = {},
                                                    const QString &key = {});

// Said by the server's handler on the request's own thread once the head is
// read and judged: from here on the body's allowance holds.
void requestHeadRead();

} // namespace pravikd::http
