#pragma once

#include "board_plan.h"

#include "pravik/fleet/fleet_file.h"
#include "pravik/fleet/fleet_runner.h"
#include "pravik/jobs/stop_token.h"

#include <QElapsedTimer>
#include <functional>

namespace pravik::service {

// One piece of work for a board, as the keeper hands it to the fleet runner.
struct WorkOrder
{
    int job = 0; // the job it is
    fleet::FleetBoard board;
    BoardWork work;
    bool everything = false; // every screen, not only what the board's record lacks
    QString contentFolder;
    QString recordFolder;
    // The service's time when the work was given, and its zone: the board's
    // clock is set from them.
    QDateTime given;
    QTimeZone zone;
};

// What the work did: what the board acknowledged, or the failure that
// stopped it (after what it did before).
struct WorkDone
{
    bool clockSet = false;
    bool contentSent = false; // the order's content is on the board now
    bool contacted = false;   // the board answered anything
    bool stopped = false;     // the service stopped the work
    common::Status failure;
};

// Reports a screen on the wire (from 0) and how many the file has.
using WorkProgress = std::function<void(int screen, int screens)>;

// Does the work on the calling thread (one of the fleet runner's), over the
// board's line: the clock first, then the display file's changes and its
// display command or range, only what the board's record says it lacks.
WorkDone doWork(const WorkOrder &order, fleet::FleetLink &link, const jobs::StopToken &stop,
                const WorkProgress &progress = {});

} // namespace pravik::service
