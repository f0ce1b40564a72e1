#include "remote_api.h"

#include "api_answers.h"
#include "audit_log.h"
#include "rate_limiter.h"
#include "static_page.h"

#include "pravik/service/remote_service.h"

namespace pravikd::http {
namespace {

bool isApiPath(const QByteArray &path)
{
    return path == "/api" || path.startsWith("/api/");
}

// Only these leave everything as it was; any other method is a change and
// goes on the audit trail.
// The token's own name and role.
constexpr char kWhoAmIPath[] = "/api/v1/me";

bool onlyLooks(const QByteArray &method)
{
    return method == "GET" || method == "HEAD";
}

// The token of "Authorization: Bearer TOKEN"; empty when there is none.
QByteArray bearerToken(const ApiRequest &request)
{
    const QByteArray value = request.header("Authorization").trimmed();
    const QByteArray scheme = "bearer ";
    if (value.size() <= scheme.size() || value.left(scheme.size()).toLower() != scheme)
        return {};
    return value.mid(scheme.size()).trimmed();
}

qsizetype headerBytes(const ApiRequest &request)
{
    qsizetype bytes = 0;
    for (const auto &[name, value] : request.headers)
        bytes += name.size() + value.size() + 4; // ": " and CR LF
    return bytes;
}

ApiResponse headersTooLarge()
{
    return errorAnswer(
        431, QStringLiteral("the request's headers exceed %1 bytes").arg(kMostHeaderBytes));
}

} // namespace

RemoteApi::RemoteApi(RemoteApiParts parts)
    : m_parts(std::move(parts)), m_context{m_parts.service,
                                           m_parts.audit,
                                           m_parts.events,
                                           m_parts.now,
                                           {}}
{
}

qint64 RemoteApi::bodyLimit(const ApiRequest &request)
{
    return request.method == "POST" && request.path() == kUploadPath ? kUploadLimit : kBodyLimit;
}

RemoteApi::Admission RemoteApi::admit(const ApiRequest &request)
{
    const int wait = m_parts.limiter.secondsLeft(request.address);
    if (wait > 0) {
        ApiResponse response =
            errorAnswer(429, QStringLiteral("too many failed attempts from %1; try again in %2 s")
                                 .arg(request.address)
                                 .arg(wait));
        response.addHeader("Retry-After", QByteArray::number(wait));
        return {std::nullopt, response};
    }
    const QByteArray token = bearerToken(request);
    const std::optional<Caller> caller = m_parts.tokens.authenticate(token);
    if (!caller) {
        m_parts.limiter.recordFailure(request.address);
        ApiResponse response =
            errorAnswer(401, token.isEmpty() ? QStringLiteral("send Authorization: Bearer TOKEN")
                                             : QStringLiteral("the token is not known"));
        response.addHeader("WWW-Authenticate", "Bearer");
        return {std::nullopt, response};
    }
    if (caller->role == Role::Viewer && !onlyLooks(request.method))
        return {caller,
                errorAnswer(403, QStringLiteral("the token %1 may only look").arg(caller->name))};
    return {caller, std::nullopt};
}

ApiResponse RemoteApi::handle(const ApiRequest &request)
{
    if (headerBytes(request) > kMostHeaderBytes)
        return headersTooLarge();
    const QByteArray path = request.path();
    if (StaticPage::isPagePath(path))
        return m_parts.page.answer(request.method, path);
    if (!isApiPath(path))
        return errorAnswer(404, QStringLiteral("not found"));
    const Admission admission = admit(request);
    if (admission.refusal)
        return finish(request, admission.caller, *admission.refusal);
    const std::optional<Caller> caller = admission.caller;
    if (request.body.size() > bodyLimit(request))
        return finish(request, caller, errorAnswer(413, QStringLiteral("the body is too large")));
    // Who the token is: the console shows a viewer no control that changes anything.
    if (path == kWhoAmIPath) {
        if (!onlyLooks(request.method)) {
            ApiResponse refused = errorAnswer(405, QStringLiteral("the route takes GET, HEAD"));
            refused.addHeader("Allow", "GET, HEAD");
            return finish(request, caller, refused);
        }
        return finish(
            request, caller,
            jsonAnswer(200, QJsonObject{{QStringLiteral("token"), caller->name},
                                        {QStringLiteral("role"), roleName(caller->role)}}));
    }
    return finish(request, caller, answerApiRoute(request, m_context));
}

std::optional<ApiResponse> RemoteApi::screen(const ApiRequest &head, qint64 declaredLength)
{
    if (headerBytes(head) > kMostHeaderBytes)
        return headersTooLarge();
    std::optional<Caller> caller;
    if (isApiPath(head.path())) {
        const Admission admission = admit(head);
        if (admission.refusal)
            return finish(head, admission.caller, *admission.refusal);
        caller = admission.caller;
    }
    if (declaredLength > bodyLimit(head))
        return finish(head, caller, errorAnswer(413, QStringLiteral("the body is too large")));
    return std::nullopt;
}

ApiResponse RemoteApi::refuseBody(const ApiRequest &request, int status, const QString &text)
{
    std::optional<Caller> caller;
    if (isApiPath(request.path())) {
        const Admission admission = admit(request);
        if (admission.refusal)
            return finish(request, admission.caller, *admission.refusal);
        caller = admission.caller;
    }
    return finish(request, caller, errorAnswer(status, text));
}

ApiResponse RemoteApi::bodyTooLarge(const ApiRequest &request)
{
    return refuseBody(request, 413, QStringLiteral("the body is too large"));
}

ApiResponse RemoteApi::bodyUnreadable(const ApiRequest &request)
{
    return refuseBody(request, 400, QStringLiteral("the body could not be read"));
}

ApiResponse RemoteApi::finish(const ApiRequest &request, const std::optional<Caller> &caller,
                              ApiResponse response)
{
    // A shut-out address's requests are not written down one by one: the
    // failures that shut it out are.
    if (onlyLooks(request.method) || !isApiPath(request.path()) || response.status == 429)
        return response;
    const QJsonObject entry{
        {QStringLiteral("time"), m_parts.now().toString(Qt::ISODateWithMs)},
        {QStringLiteral("token"), caller ? QJsonValue(caller->name) : QJsonValue()},
        {QStringLiteral("address"), request.address},
        {QStringLiteral("method"), QString::fromLatin1(request.method)},
        {QStringLiteral("route"), QString::fromUtf8(request.path())},
        {QStringLiteral("status"), response.status},
        {QStringLiteral("outcome"), response.outcome}};
    if (!m_parts.audit.append(entry) && m_parts.log)
        m_parts.log(LogLevel::Error, QStringLiteral("the audit trail could not be written: %1 %2 "
                                                    "from %3 came to %4")
                                         .arg(QString::fromLatin1(request.method),
                                              QString::fromUtf8(request.path()), request.address)
                                         .arg(response.status));
    return response;
}

void RemoteApi::auditEvent(const pravik::service::ServiceEvent &event)
{
    if (event.type != QLatin1String("action"))
        return;
    const QJsonObject entry{{QStringLiteral("time"), event.data.value(QStringLiteral("time"))},
                            {QStringLiteral("actor"), QStringLiteral("schedule")},
                            {QStringLiteral("board"), event.data.value(QStringLiteral("board"))},
                            {QStringLiteral("what"), event.data.value(QStringLiteral("what"))}};
    if (!m_parts.audit.append(entry) && m_parts.log)
        m_parts.log(LogLevel::Error, QStringLiteral("the audit trail could not be written"));
}

} // namespace pravikd::http
