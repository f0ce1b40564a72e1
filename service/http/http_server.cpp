#include "http_server.h"

#include "api_answers.h"
#include "deadline_server.h"
#include "remote_api.h"
#include "security_headers.h"

#include "event_feed.h"

#include <httplib.h>

namespace pravikd::http {
namespace {

constexpr std::size_t kRequestsPerConnection = 1000;
// How long a listener's events are gathered into one write: a progress bar
// moves smoothly at this pace.
constexpr std::chrono::milliseconds kEventGathering{50};
// More parts than a display file's screens could name.
constexpr std::size_t kMostParts = 1024;

ApiRequest apiRequest(const httplib::Request &request)
{
    ApiRequest api;
    api.method = QByteArray::fromStdString(request.method);
    api.target = QByteArray::fromStdString(request.target);
    for (const auto &[name, value] : request.headers)
        api.headers.append({QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
    api.address = QString::fromStdString(request.remote_addr);
    return api;
}

bool hasBody(const httplib::Request &request)
{
    return request.has_header("Transfer-Encoding") ||
           (request.has_header("Content-Length") &&
            request.get_header_value("Content-Length") != "0");
}

// The Content-Length as sent; -1 when there is none. A length that is no
// number is left to the library, which refuses it.
qint64 declaredLength(const httplib::Request &request)
{
    bool ok = false;
    const qint64 length =
        QByteArray::fromStdString(request.get_header_value("Content-Length")).toLongLong(&ok);
    return ok ? length : -1;
}

QString libraryRefusal(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("the request could not be read");
    case 413:
        return QStringLiteral("the body is too large");
    case 414:
        return QStringLiteral("the request's path is too long");
    default:
        return QStringLiteral("the request was refused");
    }
}

void streamEvents(httplib::Response &response, std::shared_ptr<EventFeed> feed,
                  std::chrono::milliseconds quiet)
{
    response.set_chunked_content_provider(
        "text/event-stream", [feed, quiet](std::size_t, httplib::DataSink &sink) {
            QByteArray text;
            switch (feed->queue().takeAll(quiet, kEventGathering, text)) {
            case EventQueue::Next::Event:
                return sink.write(text.constData(), std::size_t(text.size()));
            case EventQueue::Next::Quiet:
                text = ": keep-alive\n\n";
                return sink.write(text.constData(), std::size_t(text.size()));
            case EventQueue::Next::End:
                sink.done();
                return true;
            }
            return false;
        });
}

void send(const ApiResponse &answer, httplib::Response &response,
          std::chrono::milliseconds keepAliveInterval)
{
    response.status = answer.status;
    for (const auto &[name, value] : answer.headers)
        response.set_header(name.toStdString(), value.toStdString());
    if (answer.events)
        streamEvents(response, answer.events, keepAliveInterval);
    else
        response.set_content(answer.body.constData(), std::size_t(answer.body.size()),
                             answer.contentType.toStdString());
}

} // namespace

void installHandlers(httplib::Server &server, RemoteApi &api, const ServerOptions &options)
{
    const std::chrono::milliseconds quiet = options.keepAliveInterval;
    server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server.set_read_timeout(options.readTimeout);
    // A browser keeps its connection for the console's polling; the library's
    // default of 5 requests a connection would make it connect again and again.
    server.set_keep_alive_max_count(kRequestsPerConnection);
    // The library writes an answer's head and body apart; with Nagle's wait
    // against the client's delayed acknowledgement every answer took 40 ms.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(std::size_t(kUploadLimit));

    // Everything without a body is answered here, before the library's own
    // routing; a request with a body is let on only once its sender and its
    // size are admitted.
    server.set_pre_routing_handler([&api, quiet](const httplib::Request &request,
                                                 httplib::Response &response) {
        requestHeadRead();
        const ApiRequest head = apiRequest(request);
        if (!hasBody(request)) {
            send(api.handle(head), response, quiet);
            return httplib::Server::HandlerResponse::Handled;
        }
        if (const std::optional<ApiResponse> refusal = api.screen(head, declaredLength(request))) {
            send(*refusal, response, quiet);
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    const auto withBody = [&api, quiet](const httplib::Request &request,
                                        httplib::Response &response,
                                        const httplib::ContentReader &reader) {
        ApiRequest full = apiRequest(request);
        const qint64 limit = RemoteApi::bodyLimit(full);
        qint64 total = 0;
        bool tooLarge = false;
        const auto counted = [&](std::size_t bytes) {
            total += qint64(bytes);
            tooLarge = total > limit;
            return !tooLarge;
        };
        bool read = false;
        if (request.is_multipart_form_data()) {
            std::vector<FormPart> parts;
            read = reader(
                [&](const httplib::MultipartFormData &part) {
                    parts.push_back({QByteArray::fromStdString(part.name),
                                     QByteArray::fromStdString(part.filename),
                                     {}});
                    return parts.size() <= kMostParts;
                },
                [&](const char *data, std::size_t size) {
                    if (parts.empty() || !counted(size))
                        return false;
                    parts.back().content.append(data, qsizetype(size));
                    return true;
                });
            full.parts = std::move(parts);
        } else {
            read = reader([&](const char *data, std::size_t size) {
                if (!counted(size))
                    return false;
                full.body.append(data, qsizetype(size));
                return true;
            });
        }
        if (tooLarge)
            send(api.bodyTooLarge(full), response, quiet);
        else if (!read)
            send(api.bodyUnreadable(full), response, quiet);
        else
            send(api.handle(full), response, quiet);
    };
    server.Post(".*", withBody);
    server.Put(".*", withBody);
    server.Patch(".*", withBody);
    server.Delete(".*", withBody);
    // A GET or OPTIONS that came with a body: the body is not read.
    const auto withoutBody = [&api, quiet](const httplib::Request &request,
                                           httplib::Response &response) {
        send(api.handle(apiRequest(request)), response, quiet);
    };
    server.Get(".*", withoutBody);
    server.Options(".*", withoutBody);

    // The library's own refusals (a request it cannot parse, a line too long)
    // get the API's error body; every answer gets the security headers.
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request &, httplib::Response &response) {
            if (!response.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            ApiResponse answer = errorAnswer(response.status, libraryRefusal(response.status));
            response.set_content(answer.body.constData(), std::size_t(answer.body.size()),
                                 answer.contentType.toStdString());
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request &, httplib::Response &response, std::exception_ptr) {
            response.status = 500;
            response.set_content("{\"error\":\"the server failed on this request\",\"code\":500}",
                                 "application/json; charset=utf-8");
        });
    const bool tls = options.tls;
    server.set_post_routing_handler([tls](const httplib::Request &, httplib::Response &response) {
        for (const auto &[name, value] : securityHeaders(tls)) {
            response.headers.erase(name.toStdString());
            response.set_header(name.toStdString(), value.toStdString());
        }
        response.headers.erase("Set-Cookie");
    });
}

} // namespace pravikd::http
