#pragma once

#include "board_command_line.h"
#include "fleet_file.h"

#include <optional>

namespace pravik::cli {

struct FleetOptions
{
    bool onlyChanges = false;
    std::optional<bool> answer; // to the start question; asked once when not given
    int jobs = 0;               // links at a time; 0: every link at once
    bool json = false;
};

// Sends the display file to every board of the fleet, each with the same job
// as a send to one board. Boards on different links run at the same time:
// each UDP board in a thread of its own over one socket per local port, each
// serial line in a thread of its own, the boards sharing a line or an address
// one after the other. A failing board keeps nobody else waiting. Prints a
// progress line per board when standard output is a terminal, then the
// table (or JSON); returns the exit status.
int runFleetSend(const LoadedBoard &board, const QString &displayFile,
                 const QList<FleetBoard> &boards, const FleetOptions &options, Terminal &terminal);

} // namespace pravik::cli
