#pragma once

#include "deadline_server.h"
#include "rate_limiter.h"
#include "remote_log.h"

#include "common/failure.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

namespace pravik::service {
class RemoteService;
}

namespace pravikd::http {

// Where and how the remote control listens, and where it keeps its files.
struct RemoteControlConfig
{
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 8787; // 0: any free port (tests)
    QString certificate; // with the key: HTTPS; empty: plain HTTP
    QString key;
    QString stateFolder; // where the first token is left for the operator
    QString tokens;      // empty: <state>/tokens
    QString audit;       // empty: <state>/audit.log
    QString webRoot = QStringLiteral(":/pravikd/web");
    std::chrono::milliseconds readTimeout{5000};
    RequestLimits requestLimits;
    std::chrono::milliseconds keepAliveInterval{15000};
    qint64 auditRotateBytes = 1024 * 1024;
    std::function<QDateTime()> now; // empty: the system's clock
    SteadyNow steadyNow;            // empty: the steady clock (the failure limit's minute)
};

// Whether `host` is an address of this machine alone (127.0.0.0/8, ::1).
bool isLoopbackHost(const QString &host);

// What the log is told at every start about where the server listens.
QStringList listenWarnings(const RemoteControlConfig &config);

// The running server; dropping it stops the server, ends every event stream
// and waits for the requests under way.
class RemoteControl
{
public:
    virtual ~RemoteControl() = default;
    virtual quint16 port() const = 0;
};

// Starts the HTTP(S) server of the API and the web console on its own
// threads: makes the first operator token when there is no token file, reads
// the tokens, opens the audit trail, binds the address and serves
// `service` until the handle is dropped. A failure when any of it cannot be.
common::Expected<std::unique_ptr<RemoteControl>>
startRemoteControl(const RemoteControlConfig &config, pravik::service::RemoteService &service,
                   Log log);

} // namespace pravikd::http
