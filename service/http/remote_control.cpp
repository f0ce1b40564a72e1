#include "remote_control.h"

#include "audit_log.h"
#include "event_feed.h"
#include "http_server.h"
#include "remote_api.h"
#include "static_page.h"
#include "tokens.h"

#include "pravik/service/remote_service.h"

#include <QDir>
#include <QHostAddress>

#include <csignal>
#include <httplib.h>
#include <sys/socket.h>
#include <thread>

namespace pravikd::http {
namespace {

common::Failure cannot(const QString &text)
{
    return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
}

QString orDefault(const QString &path, const QString &stateFolder, const char *name)
{
    return path.isEmpty() ? QDir(stateFolder).filePath(QString::fromLatin1(name)) : path;
}

class RunningRemoteControl : public RemoteControl
{
public:
    RunningRemoteControl(const RemoteControlConfig &config, pravik::service::RemoteService &service,
                         Log log)
        : m_tokens(orDefault(config.tokens, config.stateFolder, "tokens"), log),
          m_limiter(config.steadyNow ? config.steadyNow
                                     : [] { return std::chrono::steady_clock::now(); }),
          m_audit(orDefault(config.audit, config.stateFolder, "audit.log"),
                  config.auditRotateBytes),
          m_page(config.webRoot),
          m_api({service, m_tokens, m_limiter, m_audit, m_events, m_page,
                 config.now ? config.now : [] { return QDateTime::currentDateTimeUtc(); }, log})
    {
    }

    ~RunningRemoteControl() override
    {
        m_actions.reset();
        m_events.closeAll();
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
    }

    quint16 port() const override { return m_port; }

    common::Status start(const RemoteControlConfig &config, pravik::service::RemoteService &service,
                         const Log &log);

private:
    TokenStore m_tokens;
    RateLimiter m_limiter;
    AuditLog m_audit;
    EventHub m_events;
    StaticPage m_page;
    RemoteApi m_api;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::shared_ptr<void> m_actions;
    quint16 m_port = 0;
};

common::Status RunningRemoteControl::start(const RemoteControlConfig &config,
                                           pravik::service::RemoteService &service, const Log &log)
{
    const QString tokenFile = orDefault(config.tokens, config.stateFolder, "tokens");
    const QString initialToken = QDir(config.stateFolder).filePath(QStringLiteral("initial-token"));
    // On the first start the state folder may not be there yet (the content
    // kept elsewhere, the boards' states not yet saved): the first token
    // needs it now.
    if (!config.stateFolder.isEmpty() && !QDir().mkpath(config.stateFolder))
        return cannot(
            QStringLiteral("%1: the state folder cannot be made").arg(config.stateFolder));
    const common::Expected<bool> first = createFirstToken(tokenFile, initialToken);
    if (!first)
        return first.failure();
    if (*first && log)
        log(LogLevel::Info, QStringLiteral("there was no token file: made %1 with the operator "
                                           "token \"admin\", which is in %2; take it from there "
                                           "and delete that file")
                                .arg(tokenFile, initialToken));
    if (common::Status failure = m_tokens.load())
        return failure;
    if (common::Status failure = m_audit.open())
        return failure;

    const bool tls = !config.certificate.isEmpty();
    m_server = makeDeadlineServer(config.requestLimits, config.certificate, config.key);
    if (!m_server->is_valid())
        return cannot(QStringLiteral("the certificate %1 and the key %2 cannot be used for TLS")
                          .arg(config.certificate, config.key));
    installHandlers(*m_server, m_api, {tls, config.readTimeout, config.keepAliveInterval});
    // The library listens with a backlog of 5: a crowd of browsers connecting
    // at once would wait a second for their SYN to be sent again. The socket
    // is remembered here and given the system's backlog once bound.
    int listening = -1;
    m_server->set_socket_options([&listening](socket_t socket) {
        httplib::default_socket_options(socket);
        listening = socket;
    });

    const std::string host = config.host.toStdString();
    int port = config.port;
    if (port == 0)
        port = m_server->bind_to_any_port(host);
    else if (!m_server->bind_to_port(host, port))
        port = -1;
    if (port <= 0)
        return cannot(QStringLiteral("cannot listen on %1:%2: the port is taken or the address "
                                     "is not this machine's")
                          .arg(config.host)
                          .arg(config.port));
    m_port = quint16(port);
    if (listening >= 0)
        ::listen(listening, SOMAXCONN);
    m_server->set_socket_options(httplib::default_socket_options); // `listening` goes now

    // A client that goes away mid-answer must end its answer, not the service.
    std::signal(SIGPIPE, SIG_IGN);
    m_actions = service.subscribe(
        [this](const pravik::service::ServiceEvent &event) { m_api.auditEvent(event); });
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // Stopping works only once the server has begun to listen.
    while (!m_server->is_running())
        std::this_thread::yield();

    if (log) {
        for (const QString &warning : listenWarnings(config))
            log(LogLevel::Warning, warning);
        log(LogLevel::Info,
            QStringLiteral("the remote control listens on %1://%2:%3")
                .arg(tls ? QStringLiteral("https") : QStringLiteral("http"), config.host)
                .arg(m_port));
    }
    return std::nullopt;
}

} // namespace

bool isLoopbackHost(const QString &host)
{
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QStringList listenWarnings(const RemoteControlConfig &config)
{
    QStringList warnings;
    if (!isLoopbackHost(config.host) && config.certificate.isEmpty())
        warnings << QStringLiteral("the remote control listens on %1 without TLS: tokens and "
                                   "commands cross the network readable by anyone on the way; "
                                   "give a certificate and key, or listen on 127.0.0.1")
                        .arg(config.host);
    return warnings;
}

common::Expected<std::unique_ptr<RemoteControl>>
startRemoteControl(const RemoteControlConfig &config, pravik::service::RemoteService &service,
                   Log log)
{
    auto control = std::make_unique<RunningRemoteControl>(config, service, log);
    if (common::Status failure = control->start(config, service, log))
        return *failure;
    return std::unique_ptr<RemoteControl>(std::move(control));
}

} // namespace pravikd::http
