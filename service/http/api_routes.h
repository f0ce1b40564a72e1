#pragma once

#include "board_list_cache.h"
#include "http_exchange.h"

#include <QDateTime>
#include <functional>

namespace pravik::service {
class RemoteService;
}

namespace pravikd::http {

class AuditLog;
class EventHub;

// What the routes work with.
struct RouteContext
{
    pravik::service::RemoteService &service;
    AuditLog &audit;
    EventHub &events;
    std::function<QDateTime()> now;
    BoardListCache boards;
};

inline constexpr qint64 kBodyLimit = 64 * 1024;
inline constexpr qint64 kUploadLimit = 32 * 1024 * 1024;
inline constexpr char kUploadPath[] = "/api/v1/content";

// The answer of the /api/v1 route the request names, for a caller already
// admitted: 404 for no route, 405 (with Allow) for a method the route does not
// take, else the route's own answer.
ApiResponse answerApiRoute(const ApiRequest &request, RouteContext &context);

} // namespace pravikd::http
