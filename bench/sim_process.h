#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The board simulator for one measurement: started with the given options,
// its first line (the pty path or the bound address) kept, ended at the end.
struct SimProcess
{
    QProcess process;
    QString endpoint;

    bool start(const QString &program, const QStringList &options)
    {
        process.start(program, options);
        if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
            return false;
        endpoint = QString::fromUtf8(process.readLine()).trimmed();
        return !endpoint.isEmpty();
    }

    ~SimProcess()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
};
