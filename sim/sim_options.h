#pragma once

#include "board.h"

#include <QString>
#include <QStringList>

namespace LedBoardSim {

struct SimOptions
{
    enum class Transport { Pty, Udp };

    Transport transport = Transport::Pty;
    QString udpHost;
    quint16 udpPort = 0; // 0: any free port, reported on the first output line
    QString logPath;
    QString outDir;
    BoardConfig board;
    int echoDelayMs = 0;
    int baud = 0; // 0: bytes are not paced
};

struct ParsedOptions
{
    SimOptions options;
    bool helpRequested = false;
    QString helpText;
    QString error; // empty when the command line was good
};

// arguments as from QCoreApplication::arguments(), program name first.
ParsedOptions parseSimOptions(const QStringList &arguments);

} // namespace LedBoardSim
