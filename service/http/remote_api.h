#pragma once

#include "api_routes.h"
#include "http_exchange.h"
#include "remote_log.h"
#include "tokens.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace pravik::service {
class RemoteService;
struct ServiceEvent;
} // namespace pravik::service

namespace pravikd::http {

class AuditLog;
class EventHub;
class RateLimiter;
class StaticPage;

// Everything the remote control answers with, owned elsewhere.
struct RemoteApiParts
{
    pravik::service::RemoteService &service;
    TokenStore &tokens;
    RateLimiter &limiter;
    AuditLog &audit;
    EventHub &events;
    const StaticPage &page;
    std::function<QDateTime()> now;
    Log log;
};

// The request's headers together, names and values, at most: the library
// bounds each line alone.
inline constexpr qsizetype kMostHeaderBytes = 8 * 1024;

// The remote control's answers, apart from sockets: the page to anyone; the
// API to a token, after the address's failures, the token and its role are
// checked, with every request that would change something on the audit trail
// before it is answered. The server calls it; so do the tests and the fuzzer.
class RemoteApi
{
public:
    explicit RemoteApi(RemoteApiParts parts);

    // The whole answer to a request whose body has been read.
    ApiResponse handle(const ApiRequest &request);

    // Before a body is read, from the request line and headers: the refusal of
    // a sender that is not admitted or a body (of `declaredLength` bytes, -1:
    // not said) larger than the route takes; nothing when the body may come.
    std::optional<ApiResponse> screen(const ApiRequest &head, qint64 declaredLength);
    // When the body turned out larger than the route takes, or could not be read.
    ApiResponse bodyTooLarge(const ApiRequest &request);
    ApiResponse bodyUnreadable(const ApiRequest &request);

    static qint64 bodyLimit(const ApiRequest &request);

    // Puts an action of the schedule (an "action" event) on the audit trail.
    void auditEvent(const pravik::service::ServiceEvent &event);

private:
    // Who sent the request, when the token says, and the refusal when the
    // request may not go on.
    struct Admission
    {
        std::optional<Caller> caller;
        std::optional<ApiResponse> refusal;
    };
    Admission admit(const ApiRequest &request);
    ApiResponse finish(const ApiRequest &request, const std::optional<Caller> &caller,
                       ApiResponse response);
    ApiResponse refuseBody(const ApiRequest &request, int status, const QString &text);

    RemoteApiParts m_parts;
    RouteContext m_context;
};

} // namespace pravikd::http
