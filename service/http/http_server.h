#pragma once

#include <chrono>

namespace httplib {
class Server;
}

namespace pravikd::http {

class RemoteApi;

struct ServerOptions
{
    bool tls = false;
    // How long a client may keep the server waiting for the next bytes of its
    // request before it is cut off.
    std::chrono::milliseconds readTimeout{5000};
    // How often a quiet event stream says it is still there.
    std::chrono::milliseconds keepAliveInterval{15000};
};

// Enough threads for the event streams' listeners and the requests besides.
inline constexpr int kServerThreads = 128;

// Makes `server` answer every request through `api`: the request line and
// headers are judged before any body is read, bodies are read up to the
// route's limit, the event stream is kept open, and every answer, the
// library's own errors included, carries the security headers.
void installHandlers(httplib::Server &server, RemoteApi &api, const ServerOptions &options);

} // namespace pravikd::http
