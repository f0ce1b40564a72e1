#include "content_watcher.h"
#include "modes.h"
#include "service_config.h"
#include "signal_pipe.h"
#include "system_service_clock.h"
#include "systemd_notifier.h"

#include "pravik/service/keeper.h"
#include "pravik/service/keeper_remote.h"

#include "service/http/remote_control.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace pravikd {

// The service itself: the keeper on the wall clock, reloaded by SIGHUP,
// stopped by SIGTERM or SIGINT, told of changed content, its log on standard
// error, where the journal takes it.
int runService(const CommandLine &line, Output &output)
{
    const pravik::service::LogLine log = [&output](const QString &text) {
        output.err << text << Qt::endl;
    };
    const common::Expected<ServiceConfig> config =
        readServiceConfig(line.configFile, systemFolders());
    if (!config) {
        log(config.failure().text);
        return kExitProblems;
    }
    const common::Expected<QDateTime> testStart = testClockStart();
    if (!testStart) {
        log(testStart.failure().text);
        return kExitProblems;
    }
    SignalPipe signalPipe;
    if (!signalPipe.install({SIGHUP, SIGTERM, SIGINT})) {
        log(QStringLiteral("cannot watch for SIGHUP, SIGTERM and SIGINT"));
        return kExitFailed;
    }
    SystemServiceClock clock(*testStart);
    if (testStart->isValid())
        log(QStringLiteral("the clock starts at %1 for a test")
                .arg(testStart->toString(Qt::ISODate)));
    // A fresh installation gets its state and content folders, for the
    // boards' records, the tokens and the display files to come; where one
    // cannot be made, what needs it says so.
    for (const QString &folder : {config->setup.stateFolder, config->setup.contentFolder}) {
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
            log(QStringLiteral("%1: the folder cannot be made").arg(folder));
    }
    pravik::service::Keeper keeper(config->setup, clock, log);
    if (const common::Status failed = keeper.load()) {
        log(QStringLiteral("cannot start: %1").arg(failed->text));
        return kExitProblems;
    }
    // The remote control serves the keeper's copy from its own threads. It
    // listens before the keeper sends anything, so that the audit trail and
    // the event stream hear the first actions too.
    pravik::service::KeeperRemote remote(keeper);
    http::RemoteControlConfig httpConfig;
    httpConfig.host = config->listenHost;
    httpConfig.port = config->listenPort;
    httpConfig.certificate = config->certificate;
    httpConfig.key = config->key;
    httpConfig.stateFolder = config->setup.stateFolder;
    httpConfig.tokens = config->tokens;
    httpConfig.audit = config->audit;
    if (testStart->isValid())
        httpConfig.now = [&clock] { return clock.now(); };
    common::Expected<std::unique_ptr<http::RemoteControl>> control =
        http::startRemoteControl(httpConfig, remote, [&log](http::LogLevel, const QString &text) {
            log(QStringLiteral("remote control: ") + text);
        });
    if (!control) {
        log(QStringLiteral("cannot start the remote control: %1").arg(control.failure().text));
        return kExitFailed;
    }
    log(QStringLiteral("remote control on %1:%2").arg(config->listenHost).arg((*control)->port()));
    keeper.keepBoards();

    ContentWatcher content(config->setup.contentFolder);
    content.watch(keeper.files().schedule);
    QObject::connect(&content, &ContentWatcher::changed, &keeper,
                     &pravik::service::Keeper::contentChanged);

    SystemdNotifier systemd;
    const auto keeping = [&keeper] {
        return QStringLiteral("keeping %1 boards").arg(keeper.states().size());
    };
    QObject::connect(&signalPipe, &SignalPipe::arrived, &keeper, [&](int signalNumber) {
        if (signalNumber == SIGHUP) {
            systemd.reloading();
            // A refused reload keeps the files in use and says why in the log.
            const common::Status refused = keeper.reload();
            if (!refused) {
                content.watch(keeper.files().schedule);
                remote.filesChanged();
            }
            systemd.ready(keeping());
            return;
        }
        log(QStringLiteral("stopping on SIG%1").arg(QLatin1String(sigabbrev_np(signalNumber))));
        systemd.stopping();
        QCoreApplication::quit();
    });
    systemd.ready(keeping());
    QCoreApplication::exec();
    remote.close();
    return kExitOk;
}

} // namespace pravikd
