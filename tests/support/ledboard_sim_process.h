#pragma once

#include "sim_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QThread>

// Runs ledboard-sim for one test: started with the given options plus a log
// file and a folder for the screens it shows, ended with SIGTERM when the test
// is done.
class LedboardSim : public SimProcess
{
public:
    explicit LedboardSim(const QStringList &options)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("screens"));
        start(QStringLiteral(LEDBOARD_SIM_PATH),
              options + QStringList{QStringLiteral("--log"), logPath(), QStringLiteral("--out"),
                                    outDir()});
    }

    // The pty's slave path, or the bound HOST:PORT.
    QString endpoint() const { return m_firstLine; }
    QString udpPort() const { return m_firstLine.section(u':', -1); }
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

    // The frames logged so far, waiting up to `timeoutMs` for at least
    // `count` of them.
    QList<QJsonObject> waitForFrames(qsizetype count, int timeoutMs = 3000) const
    {
        QElapsedTimer timer;
        timer.start();
        QList<QJsonObject> logged = frames();
        while (logged.size() < count && timer.elapsed() < timeoutMs) {
            QThread::msleep(2);
            logged = frames();
        }
        return logged;
    }
};
