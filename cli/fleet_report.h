#pragma once

#include "pravik/fleet/board_outcome.h"
#include "pravik/fleet/fleet_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace pravik::cli {

// One line per board under a heading: board, result, screens sent, time,
// and the message that stopped a failed board.
QString fleetTable(const QList<fleet::FleetBoard> &boards,
                   const QList<fleet::BoardOutcome> &outcomes);

// The same as one JSON object, with the exit status.
QByteArray fleetJson(const QList<fleet::FleetBoard> &boards,
                     const QList<fleet::BoardOutcome> &outcomes, int status);

// 0 when every board succeeded, else the code of the first board in the file
// that did not.
int fleetExitStatus(const QList<fleet::BoardOutcome> &outcomes);

} // namespace pravik::cli
