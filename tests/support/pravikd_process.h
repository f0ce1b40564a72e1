#pragma once

// pravikd run as a process for one test: the environment it starts in (none
// of systemd's), its log on standard error read as it comes, and where its
// remote control listens.
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>

#include <csignal>
#include <sys/types.h>

class PravikdProcess
{
public:
    ~PravikdProcess() { kill(); }

    // Starts the service on `config` with `variables` besides, such as
    // PRAVIKD_TEST_CLOCK (ISO 8601 with an offset) or systemd's NOTIFY_SOCKET;
    // one without a value is left unset.
    bool start(const QString &config, const QMap<QString, QString> &variables = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *unset : {"STATE_DIRECTORY", "CACHE_DIRECTORY", "NOTIFY_SOCKET",
                                  "WATCHDOG_USEC", "WATCHDOG_PID", "PRAVIKD_TEST_CLOCK"})
            environment.remove(QString::fromLatin1(unset));
        for (auto it = variables.begin(); it != variables.end(); ++it) {
            if (!it.value().isEmpty())
                environment.insert(it.key(), it.value());
        }
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(PRAVIKD_PATH), {QStringLiteral("--config"), config});
        return m_process.waitForStarted();
    }

    // Starts the service with its clock at `testClock`, or the wall clock.
    bool startAt(const QString &config, const QString &testClock)
    {
        return start(config, {{QStringLiteral("PRAVIKD_TEST_CLOCK"), testClock}});
    }

    // Waits up to 20 s for the service to have logged `line` `times` times
    // in this run.
    bool logs(const QString &line, qsizetype times = 1)
    {
        return waitFor([&] { return m_log.count(line + u'\n') >= times; });
    }

    // The port its remote control listens on, once it says so within 20 s;
    // 0 when it does not.
    quint16 remotePort()
    {
        const QRegularExpression listening(QStringLiteral("^remote control on [^\\n]*:(\\d+)$"),
                                           QRegularExpression::MultilineOption);
        waitFor([&] { return listening.match(m_log).hasMatch(); });
        return quint16(listening.match(m_log).captured(1).toUInt());
    }

    // What the service logged so far in this run.
    const QString &log()
    {
        readLog();
        return m_log;
    }

    bool signal(int number) const { return ::kill(pid_t(m_process.processId()), number) == 0; }

    // The exit status once the service ended of itself within 20 s, -1 if
    // it did not or crashed.
    int ended()
    {
        if (!m_process.waitForFinished(20000))
            return -1;
        readLog();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // SIGTERM: the exit status once the service ended, -1 if it did not.
    int stop()
    {
        if (m_process.state() == QProcess::NotRunning || !signal(SIGTERM))
            return -1;
        return ended();
    }

    // SIGKILL: no chance to finish anything.
    void kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished();
        readLog();
    }

private:
    void readLog() { m_log += QString::fromUtf8(m_process.readAllStandardError()); }

    template<typename Done>
    bool waitFor(Done done)
    {
        QElapsedTimer timer;
        timer.start();
        readLog();
        while (!done() && timer.elapsed() < 20000 && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(50);
            readLog();
        }
        readLog();
        return done();
    }

    QProcess m_process;
    QString m_log;
};
