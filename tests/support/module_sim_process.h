#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// netmodule-sim started for one test: its pty slave is the module's serial
// port, and its log lists every command line it received.
class ModuleSimProcess
{
public:
    static constexpr int kWaitMs = 3000;

    explicit ModuleSimProcess(const QStringList &arguments = {})
    {
        m_process.setProgram(QStringLiteral(NETMODULE_SIM_PATH));
        m_process.setArguments(arguments + QStringList{QStringLiteral("--log"), logPath()});
        m_process.start();
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < kWaitMs)
            m_process.waitForReadyRead(50);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    ~ModuleSimProcess() { stop(); }

    // Ends the simulator with SIGTERM; true when it ended cleanly, with status 0.
    bool stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(kWaitMs)) {
                m_process.kill();
                m_process.waitForFinished(kWaitMs);
            }
        }
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    const QString &device() const { return m_device; }
    QString logPath() const { return m_dir.filePath(QStringLiteral("commands.txt")); }

    // The command lines received so far, without their line ends.
    QStringList commands() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
};
