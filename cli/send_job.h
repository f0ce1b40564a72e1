#pragma once

#include "board_command_line.h"

#include "pravik/jobs/job_context.h"

#include <functional>

namespace pravik::link {
class BoardLink;
}

namespace pravik::cli {

// One job run against one board from the terminal, alone or as one of many
// boards of a fleet: the board's settings and screens, the link, and how the
// job is shown and stopped.
struct SendJobSetup
{
    const LoadedBoard &board;
    const QString &displayFile;
    const QString &compareFile;
    link::BoardLink &link;
    common::Prompter &prompter;
    jobs::JobView &view;
    const jobs::StopToken &stop;
    jobs::BoardLedger *ledger = nullptr;
};

using SendJob = std::function<jobs::JobResult(jobs::JobContext &)>;

jobs::JobResult runSendJob(const SendJobSetup &setup, const SendJob &job);

// The board the record knows: the link the settings name, or the serial
// device of --link, and the bus address.
QString boardIdentityFor(const LoadedBoard &board);

} // namespace pravik::cli
