#pragma once

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

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
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_endpoint = QString::fromUtf8(m_process.readLine()).trimmed();
    }

    ~LedboardSim() { stop(); }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(1000);
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

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_endpoint;
};
