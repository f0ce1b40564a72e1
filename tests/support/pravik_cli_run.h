#pragma once

// Running pravik-cli the way a script does, and naming a simulator as its
// --link: what the command-line tests and the fault cases share.
#include "ledboard_sim_process.h"
#include "test_files.h"

inline const QString kExampleFile = QStringLiteral(EXAMPLES_DIR "/demo.lt");

inline ProgramRun runPravikCli(const QStringList &arguments, const QByteArray &input = {},
                               const std::function<void()> &inChild = {})
{
    return runProgram(QStringLiteral(PRAVIK_CLI_PATH), arguments, input, 60000, inChild);
}

inline QString serialLink(const LedboardSim &sim)
{
    return QStringLiteral("serial:%1@9600").arg(sim.endpoint());
}

inline QString udpLink(const LedboardSim &sim)
{
    return QStringLiteral("udp:127.0.0.2:%1").arg(sim.udpPort());
}
