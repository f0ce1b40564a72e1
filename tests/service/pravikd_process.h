#pragma once

// pravikd run as a process for one test: its configuration's folder, the
// environment it starts in, and its log on standard error, read as it comes.
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <csignal>
#include <sys/types.h>

class PravikdProcess
{
public:
    ~PravikdProcess() { kill(); }

    // Starts the service on `config`, its clock at `testClock` (ISO 8601 with
    // an offset) or the wall clock when empty, and nothing of systemd's.
    bool start(const QString &config, const QString &testClock = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *unset : {"STATE_DIRECTORY", "CACHE_DIRECTORY", "NOTIFY_SOCKET",
                                  "WATCHDOG_USEC", "WATCHDOG_PID", "PRAVIKD_TEST_CLOCK"})
            environment.remove(QString::fromLatin1(unset));
        if (!testClock.isEmpty())
            environment.insert(QStringLiteral("PRAVIKD_TEST_CLOCK"), testClock);
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(PRAVIKD_PATH), {QStringLiteral("--config"), config});
        return m_process.waitForStarted();
    }

    // Waits up to 20 s for the service to have logged `line` `times` times
    // in this run.
    bool logs(const QString &line, qsizetype times = 1)
    {
        QElapsedTimer timer;
        timer.start();
        const auto enough = [&] { return m_log.count(line + u'\n') >= times; };
        while (!enough() && timer.elapsed() < 20000 && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(50);
            readLog();
        }
        readLog();
        return enough();
    }

    // What the service logged so far in this run.
    const QString &log()
    {
        readLog();
        return m_log;
    }

    bool signal(int number) const { return ::kill(pid_t(m_process.processId()), number) == 0; }

    // SIGTERM: the exit status once the service ended, -1 if it did not.
    int stop()
    {
        if (m_process.state() == QProcess::NotRunning || !signal(SIGTERM) ||
            !m_process.waitForFinished(20000))
            return -1;
        readLog();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
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

    QProcess m_process;
    QString m_log;
};
