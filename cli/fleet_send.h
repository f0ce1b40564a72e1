#pragma once

#include "board_command_line.h"

#include "pravik/fleet/fleet_file.h"

#include <optional>

namespace pravik::cli {

struct FleetOptions
{
    bool onlyChanges = false;
    std::optional<bool> answer; // to the start question; asked once when not given
    int jobs = 0;               // links at a time; 0: every link at once
    bool json = false;
};

// Sends the display file to every board of the fleet (see fleet::sendToFleet).
// Prints a progress line per board when standard output is a terminal, what
// each board had to tell on standard error, then the table (or JSON);
// returns the exit status.
int runFleetSend(const LoadedBoard &board, const QString &displayFile,
                 const QList<fleet::FleetBoard> &boards, const FleetOptions &options,
                 Terminal &terminal);

} // namespace pravik::cli
