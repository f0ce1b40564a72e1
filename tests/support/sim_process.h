#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A simulator run for one test, with a folder of its own for what it writes:
// started with its arguments, the first line it prints (where it listens)
// kept, and ended with SIGTERM when the test is done.
class SimProcess
{
public:
    ~SimProcess() { stop(); }

    // Ends the simulator with SIGTERM; true when it ended cleanly, with status 0.
    bool stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(1000);
            }
        }
        return endedCleanly();
    }

    // True when the simulator ends by itself within timeoutMs, with status 0.
    bool endsWithin(int timeoutMs)
    {
        return (m_process.state() == QProcess::NotRunning ||
                m_process.waitForFinished(timeoutMs)) &&
               endedCleanly();
    }

protected:
    void start(const QString &program, const QStringList &arguments)
    {
        m_process.start(program, arguments);
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning &&
               timer.elapsed() < 5000)
            m_process.waitForReadyRead(50);
        m_firstLine = QString::fromUtf8(m_process.readLine()).trimmed();
    }

    bool endedCleanly() const
    {
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_firstLine;
};
