#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace pravikd::http {

class EventFeed;

// One part of a multipart/form-data body: its form name, the file name it
// carries, and its bytes.
struct FormPart
{
    QByteArray name;
    QByteArray filename;
    QByteArray content;
};

// A request as the remote control judges it, apart from any socket: what the
// server read, and what the tests and the fuzzer build by hand.
struct ApiRequest
{
    QByteArray method;
    QByteArray target; // the path and query exactly as sent, still percent-encoded
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::optional<std::vector<FormPart>> parts; // set when the body was multipart/form-data
    QString address;                            // the client's address

    QByteArray header(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const;
    QByteArray path() const;  // the target before its '?'
    QByteArray query() const; // after it
};

// The answer to a request. With `events` set the body is that stream of
// server-sent events, for as long as the client stays.
struct ApiResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    std::shared_ptr<EventFeed> events;
    QString outcome; // what the request came to, for the audit trail

    void addHeader(const QByteArray &name, const QByteArray &value)
    {
        headers.append({name, value});
    }
};

} // namespace pravikd::http
