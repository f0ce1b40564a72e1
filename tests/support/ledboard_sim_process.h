#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

// Runs ledboard-sim for one test: started with the given options plus a log
// file and a folder for the screens it shows, ended with SIGTERM when the test
// is done.
class LedboardSim
{
public:
    explicit LedboardSim(const QStringList &options)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("screens"));
        m_process.start(QStringLiteral(LEDBOARD_SIM_PATH),
                        options + QStringList{QStringLiteral("--log"), logPath(),
                                              QStringLiteral("--out"), outDir()});
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning &&
               timer.elapsed() < 5000)
            m_process.waitForReadyRead(50);
        m_endpoint = QString::fromUtf8(m_process.readLine()).trimmed();
    }

    ~LedboardSim() { stop(); }

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

    // The pty's slave path, or the bound HOST:PORT.
    QString endpoint() const { return m_endpoint; }
    QString udpPort() const { return m_endpoint.section(u':', -1); }
    QString outDir() const { return m_dir.filePath(QStringLiteral("screens")); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("frames.jsonl")); }

    QList<QJsonObject> frames() const
    {
        QList<QJsonObject> result;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return result;
        for (const QByteArray &line : log.readAll().split('\n')) {
            if (!line.trimmed().isEmpty())
                result << QJsonDocument::fromJson(line).object();
        }
        return result;
    }

    // "command screen" of each frame logged from frame `from` on, in hex; a
    // display command as "01 START COUNT".
    QStringList commands(qsizetype from = 0) const
    {
        QStringList seen;
        const QList<QJsonObject> logged = frames();
        for (qsizetype i = from; i < logged.size(); ++i) {
            // FA FA address, then the command and its payload.
            const QStringList bytes = logged[i]["raw"].toString().split(u' ');
            seen << (bytes.value(3) == QStringLiteral("01")
                         ? QStringLiteral("01 %1 %2").arg(bytes.value(8), bytes.value(9))
                         : QStringLiteral("%1 %2").arg(bytes.value(3), bytes.value(4)));
        }
        return seen;
    }

    // The frames logged so far, waiting up to 3 s for at least `count` of them.
    QList<QJsonObject> waitForFrames(int count) const
    {
        QElapsedTimer timer;
        timer.start();
        QList<QJsonObject> logged = frames();
        while (logged.size() < count && timer.elapsed() < 3000) {
            QThread::msleep(5);
            logged = frames();
        }
        return logged;
    }

private:
    bool endedCleanly() const
    {
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_endpoint;
};
