#pragma once

#include "sim_process.h"

#include <QFile>

// netmodule-sim started for one test: its pty slave is the module's serial
// port, and its log lists every command line it received.
class ModuleSimProcess : public SimProcess
{
public:
    explicit ModuleSimProcess(const QStringList &arguments = {})
    {
        start(QStringLiteral(NETMODULE_SIM_PATH),
              arguments + QStringList{QStringLiteral("--log"), logPath()});
    }

    const QString &device() const { return m_firstLine; }
    QString logPath() const { return m_dir.filePath(QStringLiteral("commands.txt")); }

    // The command lines received so far, without their line ends.
    QStringList commands() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
};
